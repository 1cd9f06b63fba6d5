#include "firmware/Crc16Xmodem.h"

#include <gtest/gtest.h>

namespace {

struct CrcCase {
    QByteArray bytes;
    std::uint16_t crc;
};

// Published check values of CRC-16/XMODEM, and values that a reflected or
// preset register, or a wrong polynomial, would get wrong.
TEST(Crc16Xmodem, MatchesTheKnownValues) {
    const CrcCase cases[] = {
        {QByteArray(), 0x0000},
        {QByteArray("123456789"), 0x31C3},
        {QByteArray("A"), 0x58E5},
        {QByteArray(1, '\0'), 0x0000},
        {QByteArray(1, char(0xFF)), 0x1EF0},
        {QByteArray(4, char(0xFF)), 0x99CF},
    };
    for (const CrcCase& c : cases) {
        EXPECT_EQ(Crc16Xmodem(c.bytes), c.crc) << c.bytes.toHex().constData();
    }
}

} // namespace
