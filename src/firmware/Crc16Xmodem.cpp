#include "firmware/Crc16Xmodem.h"

#include <array>

namespace {

constexpr std::uint16_t Polynomial = 0x1021;

// The remainder of each byte value shifted through the top of the register,
// so that the checksum takes one look-up per byte instead of eight shifts.
constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned value = 0; value < table.size(); ++value) {
        unsigned crc = value << 8;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) != 0 ? (crc << 1) ^ Polynomial : crc << 1;
        }
        table[value] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> Table = MakeTable();

} // namespace

std::uint16_t Crc16Xmodem(const char* bytes, qsizetype count) {
    std::uint16_t crc = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        crc = static_cast<std::uint16_t>(Table[((crc >> 8) ^ byte) & 0xFF] ^ (crc << 8));
    }
    return crc;
}
