#include "firmware/BootloaderCommands.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Every address and size as eight upper-case digits: the bootloader reads
// lower-case digits as well, but a missing digit moves the size into the
// address.
TEST(BootloaderCommands, AreWrittenAsTheBootloaderReadsThem) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {EraseCommand(), "X00002000#"},
        {LoadBufferCommand(4096), "S20002400,00001000#"},
        {LoadBufferCommand(2912), "S20002400,00000B60#"},
        {SelectBufferCommand(), "Y20002400,0#"},
        {CopyToFlashCommand(0x2000, 4096), "Y00002000,00001000#"},
        {CopyToFlashCommand(0x10000, 2912), "Y00010000,00000B60#"},
        {ChecksumCommand(60256), "Z00002000,0000EB60#"},
        {ResetCommand(), "WE000ED0C,05FA0004#"},
        {BootloaderReply('Y'), "Y\n\r"},
    };
    for (const auto& [built, expected] : cases) {
        EXPECT_EQ(built, expected);
    }
}

TEST(BootloaderCommands, ChecksumReplyIsReadOnlyInItsWholeForm) {
    const std::pair<QByteArray, std::optional<std::uint16_t>> cases[] = {
        {"Z0000EB60#\n\r", 0xEB60},
        {"Z0000eb60#\n\r", 0xEB60},
        {"Z00000000#\n\r", 0x0000},
        // Line ends swapped, missing or replaced: the reply is not what was asked.
        {"Z0000EB60#\r\n", std::nullopt},
        {"Z0000EB60#\n", std::nullopt},
        {"Z0000EB60\n\r#", std::nullopt},
        {"Y0000EB60#\n\r", std::nullopt},
        {"Z0000EG60#\n\r", std::nullopt},
        {"Z 000EB60#\n\r", std::nullopt},
        // A CRC-16 has no more than four digits' worth.
        {"Z0001EB60#\n\r", std::nullopt},
        {"Z0000EB60#\n\rX", std::nullopt},
    };
    for (const auto& [reply, crc] : cases) {
        EXPECT_EQ(ParseChecksumReply(reply), crc) << reply.toHex().constData();
    }
}

TEST(BootloaderCommands, ImageGoesInFullBlocksAndOneForTheRest) {
    const QList<FirmwareBlock> blocks = FirmwareBlocks(60256);
    ASSERT_EQ(blocks.size(), 15);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(blocks[i], (FirmwareBlock{4096u * i, 0x2000u + 4096u * i, 4096}));
    }
    EXPECT_EQ(blocks[14], (FirmwareBlock{57344, 0x10000, 2912}));

    // No empty block behind an image that fills its last block.
    EXPECT_EQ(FirmwareBlocks(8192),
              (QList<FirmwareBlock>{{0, 0x2000, 4096}, {4096, 0x3000, 4096}}));
    EXPECT_EQ(FirmwareBlocks(4097), (QList<FirmwareBlock>{{0, 0x2000, 4096}, {4096, 0x3000, 1}}));
    EXPECT_EQ(FirmwareBlocks(1), (QList<FirmwareBlock>{{0, 0x2000, 1}}));
    EXPECT_TRUE(FirmwareBlocks(0).isEmpty());
}

} // namespace
