#include "voice/VoiceMessageStore.h"
#include "support/VoiceImages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

// Marks the sample area so that a test sees what a load left untouched;
// quiet, as the peak limiting may walk one byte past an odd data length.
constexpr char OldSampleByte = 1;

class VoiceStoreFiles : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    // Slots side by side as in the program's table, on the heap: a run past
    // the end of the first shows in the second.
    std::unique_ptr<VoiceMessageTable> table = std::make_unique<VoiceMessageTable>();
};

QByteArray EmptyHeader() {
    return QByteArray(EmptyVoiceHeader.data(), EmptyVoiceHeader.size());
}

TEST_F(VoiceStoreFiles, StartUpFillOfASlot) {
    // PCM, mono, 8000 samples per second, 16000 bytes per second, block
    // align 2, 16 bits, no data.
    EXPECT_EQ(EmptyHeader(), QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
                                        "\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0data\0\0\0\0",
                                        44));

    // A 300000-byte file: its first 15 seconds, with the lengths rewritten.
    QByteArray tooLong = QuietVoiceImage(300000 - 44);
    QByteArray cut = tooLong.left(240044);
    qToLittleEndian<quint32>(240036, cut.data() + 4);
    qToLittleEndian<quint32>(240000, cut.data() + 40);

    struct Case {
        const char* name;
        std::optional<QByteArray> file; // none: no file at all
        bool loaded;
        QByteArray slotStart; // what the slot then begins with
        qint32 durationMs;
        QString durationText;
    };
    const Case cases[] = {
        {"missing", std::nullopt, false, EmptyHeader(), 0, "0"},
        {"43 bytes", EmptyHeader().left(43), false, EmptyHeader(), 0, "0"},
        {"header only", EmptyHeader(), true, EmptyHeader(), 0, "0"},
        {"15 bytes of data", QuietVoiceImage(15), true, QuietVoiceImage(15), 0, "0"},
        {"16 bytes of data", QuietVoiceImage(16), true, QuietVoiceImage(16), 1, "0"},
        {"4.5 seconds", QuietVoiceImage(72000), true, QuietVoiceImage(72000), 4500, "4.5"},
        {"4.55 seconds", QuietVoiceImage(72800), true, QuietVoiceImage(72800), 4550, "4.6"},
        {"a full slot", QuietVoiceImage(240000), true, QuietVoiceImage(240000), 15000, "15"},
        {"300000 bytes", tooLong, true, cut, 15000, "15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceMessageSlot& slot = (*table)[0];
        slot.fill(OldSampleByte);
        const QString path = c.file ? Write(QStringLiteral("VoiceMessage1.ornexwav"), *c.file)
                                    : dir.filePath("none");

        EXPECT_EQ(FillVoiceSlot(slot, path), c.loaded);
        EXPECT_EQ(SlotBytes(slot, c.slotStart.size()), c.slotStart);
        // Whatever the message does not cover keeps its old bytes.
        EXPECT_EQ(slot.back(), c.slotStart.size() < 240044 ? OldSampleByte : c.slotStart.back());
        EXPECT_EQ(VoiceDurationMs(slot), c.durationMs);
        EXPECT_EQ(VoiceDurationText(VoiceDurationMs(slot), QLocale::c()), c.durationText);
        QFile::remove(path);
    }
}

TEST(VoiceStore, DurationTextRoundsToTenthsInTheUsersNotation) {
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        qint32 ms;
        QLocale locale;
        QString text;
    };
    const Case cases[] = {
        {0, QLocale::c(), "0"},      {49, QLocale::c(), "0"},     {50, QLocale::c(), "0.1"},
        {4449, QLocale::c(), "4.4"}, {4550, QLocale::c(), "4.6"}, {10000, QLocale::c(), "10"},
        {15000, QLocale::c(), "15"}, {4500, german, "4,5"},       {15000, german, "15"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VoiceDurationText(c.ms, c.locale), c.text) << c.ms;
    }
    EXPECT_EQ(VoiceMessageItemText(4, "4,5", true), "Input &4 Message (4,5 sec)");
    EXPECT_EQ(VoiceMessageItemText(8, "15", false), "Input 8 Message (15 sec)");
}

TEST(VoiceStore, PeakLimitingScalesLoudMessagesOnly) {
    struct Case {
        const char* name;
        std::vector<qint16> samples;
        std::vector<qint16> limited;
    };
    const Case cases[] = {
        {"at the limit", {1536, -1536, 7, -5}, {1536, -1536, 7, -5}},
        // Halved, each product truncated toward zero.
        {"peak 3072", {3072, -5, 7, -3072, 1}, {1536, -2, 3, -1536, 0}},
        // -32768 counts as 32768: the factor is 1536/32768.
        {"lone -32768", {-32768, 1000, -1000, 1536}, {-1536, 46, -46, 72}},
    };
    auto table = std::make_unique<VoiceMessageTable>();
    VoiceMessageSlot& slot = (*table)[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = int(2 * c.samples.size());
        PutVoiceImage(slot, VoiceImage(bytes, [&](int i) { return c.samples[i]; }));
        LimitVoicePeak(slot);
        EXPECT_EQ(SlotBytes(slot, 44 + bytes),
                  VoiceImage(bytes, [&](int i) { return c.limited[i]; }));
    }

    // A header-only message walks no samples, however loud the old ones.
    PutVoiceImage(slot, VoiceImage(8, [](int) { return qint16(30000); }));
    PutVoiceImage(slot, EmptyHeader());
    const QByteArray before = SlotBytes(slot, 52);
    LimitVoicePeak(slot);
    EXPECT_EQ(SlotBytes(slot, 52), before);
}

// A file no longer than a slot is loaded as it is, whatever RIFF length its
// header states; the message then ends with the slot, not beyond it.
TEST_F(VoiceStoreFiles, AnOversizedRiffLengthStaysWithinTheSlot) {
    for (const quint32 riffLength : {240037u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(riffLength);
        QByteArray loud = VoiceImage(240000, [](int i) { return qint16(i % 2 ? 3072 : -3072); });
        qToLittleEndian<quint32>(riffLength, loud.data() + 4);
        VoiceMessageSlot& next = (*table)[1];
        PutVoiceImage(next, VoiceImage(100, [](int) { return qint16(20000); }));
        const QByteArray nextBefore = SlotBytes(next, next.size());

        VoiceMessageSlot& slot = (*table)[0];
        ASSERT_TRUE(FillVoiceSlot(slot, Write("VoiceMessage1.ornexwav", loud)));

        EXPECT_EQ(RiffLength(slot), riffLength);
        EXPECT_EQ(VoiceMessageSize(slot), 240044u);
        // Limited up to its last sample, and the next slot untouched.
        EXPECT_EQ(qFromLittleEndian<qint16>(slot.data() + 240042), 1536);
        EXPECT_EQ(SlotBytes(next, next.size()), nextBefore);
        const QString exported = dir.filePath("Volume_Adjusted_Message_1.wav");
        ASSERT_TRUE(ExportVoiceMessage(slot, exported));
        EXPECT_EQ(Read(exported), SlotBytes(slot, 240044));
    }
}

TEST_F(VoiceStoreFiles, ExportWritesTheMessageAndNothingBeyond) {
    VoiceMessageSlot& slot = (*table)[2];
    slot.fill(OldSampleByte);
    const QString path = dir.filePath(ExportFileName(3));
    EXPECT_TRUE(path.endsWith("/Volume_Adjusted_Message_3.wav"));

    PutVoiceImage(slot, QuietVoiceImage(72000));
    ASSERT_TRUE(ExportVoiceMessage(slot, path));
    EXPECT_EQ(Read(path), QuietVoiceImage(72000));

    // A shorter message replaces the file.
    PutVoiceImage(slot, EmptyHeader());
    ASSERT_TRUE(ExportVoiceMessage(slot, path));
    EXPECT_EQ(Read(path), EmptyHeader());

    EXPECT_FALSE(ExportVoiceMessage(slot, dir.filePath("no/such/folder.wav")));
}

} // namespace
