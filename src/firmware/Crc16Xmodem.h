#pragma once

#include <QByteArray>

#include <cstdint>

// CRC-16/XMODEM (polynomial 0x1021, initial value 0, no reflection, no final
// XOR), the checksum the dialler's bootloader reports for a range of its
// flash. "123456789" gives 0x31C3.
std::uint16_t Crc16Xmodem(const char* bytes, qsizetype count);

inline std::uint16_t Crc16Xmodem(const QByteArray& bytes) {
    return Crc16Xmodem(bytes.constData(), bytes.size());
}
