#include "settings/SettingsBlockCollector.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Block36("VER:1\rCON:1,0123456781,SMS\rLEN:0036\r");

// Feeds the bytes after "VER:" and returns the progress after each one.
std::vector<BlockProgress> FeedAfterStart(SettingsBlockCollector& collector,
                                          const QByteArray& block) {
    std::vector<BlockProgress> progress;
    for (qsizetype i = 4; i < block.size(); ++i) {
        progress.push_back(collector.Feed(block.at(i)));
    }
    return progress;
}

// A block of `size` bytes: the "VER:" line, filler lines, and `last` (a
// "LEN:" line of 9 bytes).
QByteArray BlockOfSize(int size, const QByteArray& last) {
    QByteArray block("VER:3.25\r");
    while (block.size() + last.size() < size) {
        const int room = size - int(block.size()) - int(last.size());
        block += QByteArray(std::min(room, 100) - 1, 'A') + '\r';
    }
    return block + last;
}

} // namespace

TEST(SettingsBlockCollector, CompletesExactlyAtTheStatedLength) {
    ASSERT_EQ(Block36.size(), 36);
    SettingsBlockCollector collector;
    const auto progress = FeedAfterStart(collector, Block36);
    for (std::size_t i = 0; i + 1 < progress.size(); ++i) {
        EXPECT_EQ(progress[i], BlockProgress::NeedMore) << i;
    }
    EXPECT_EQ(progress.back(), BlockProgress::Complete);
    EXPECT_EQ(collector.Block(), Block36);
    // Nothing more is taken once complete.
    EXPECT_EQ(collector.Feed('x'), BlockProgress::Complete);
    EXPECT_EQ(collector.Block(), Block36);
}

TEST(SettingsBlockCollector, AWrongCountNeverCompletes) {
    for (const char* count : {"0035", "0037"}) {
        QByteArray block = Block36;
        block.replace(31, 4, count);
        SettingsBlockCollector collector;
        const auto progress = FeedAfterStart(collector, block + "LEN:0099\rmore\r");
        EXPECT_EQ(progress.back(), BlockProgress::NeedMore) << count;
    }
}

TEST(SettingsBlockCollector, AMismatchedLengthLineIsAnOrdinaryLine) {
    const QByteArray block("VER:1\rLEN:0005\rLEN:0024\r");
    SettingsBlockCollector collector;
    EXPECT_EQ(FeedAfterStart(collector, block).back(), BlockProgress::Complete);
    EXPECT_EQ(collector.Block(), block);
}

TEST(SettingsBlockCollector, CountMustBeFourDigits) {
    // "002<" would count 0*1000 + 0*100 + 2*10 + 12 = 32 if the characters
    // were taken as digits regardless.
    const QByteArray block = BlockOfSize(32, "LEN:002<\r");
    ASSERT_EQ(block.size(), 32);
    SettingsBlockCollector collector;
    EXPECT_EQ(FeedAfterStart(collector, block).back(), BlockProgress::NeedMore);
}

TEST(SettingsBlockCollector, LargestBlockIsAccepted) {
    const QByteArray block = BlockOfSize(9999, "LEN:9999\r");
    ASSERT_EQ(block.size(), 9999);
    SettingsBlockCollector collector;
    EXPECT_EQ(FeedAfterStart(collector, block).back(), BlockProgress::Complete);
    EXPECT_EQ(collector.Block().size(), 9999);
}

TEST(SettingsBlockCollector, GivesUpAtTheTenThousandthByte) {
    const QByteArray block = BlockOfSize(10000, "LEN:9999\r");
    SettingsBlockCollector collector;
    const auto progress = FeedAfterStart(collector, block);
    EXPECT_EQ(progress[progress.size() - 2], BlockProgress::NeedMore);
    EXPECT_EQ(progress.back(), BlockProgress::Overflow);
    EXPECT_EQ(collector.Feed('\r'), BlockProgress::Overflow);
}

TEST(ScanSettingsBlock, SkipsNoiseAndStopsAtTheBlocksEnd) {
    const ScannedBlock scanned =
        ScanSettingsBlock(QByteArrayLiteral("dnld all;\r\nVE\0VEVE") + Block36 + "trailing");
    EXPECT_EQ(scanned.Progress, BlockProgress::Complete);
    EXPECT_EQ(scanned.Block, Block36);
    EXPECT_EQ(ScanSettingsBlock("no start here").Progress, BlockProgress::NeedMore);
    EXPECT_EQ(ScanSettingsBlock(Block36.left(35)).Progress, BlockProgress::NeedMore);
}
