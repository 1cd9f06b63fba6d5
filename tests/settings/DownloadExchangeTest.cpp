#include "settings/DownloadExchange.h"
#include "LinkFixture.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

const QByteArray Block36("VER:1\rCON:1,0123456781,SMS\rLEN:0036\r");
const QByteArray Refusal("Error\r");

// A block of `size` bytes: the "VER:" line, filler lines and `last`.
QByteArray BlockOfSize(int size, const QByteArray& last) {
    QByteArray block("VER:3.25\r");
    while (block.size() + last.size() < size) {
        const int room = size - int(block.size()) - int(last.size());
        block += QByteArray(std::min(room, 100) - 1, 'A') + '\r';
    }
    return block + last;
}

// The dialler answers "dnld all;" with `bytes` and then refuses it, so that
// "Error\r" follows whatever the test makes it send.
class DownloadLink : public LinkFixture {
protected:
    void Answer(const QByteArray& bytes) {
        DiallerLineBehaviour behaviour;
        behaviour.NoiseBeforeReply = bytes;
        behaviour.RefusedCommands = {"dnld"};
        dialler.SetBehaviour(behaviour);
    }

    // What the download left unread in the port.
    QByteArray LeftOver(qint64 count) {
        EXPECT_TRUE(WaitUntilWaiting(count));
        return Read(static_cast<quint32>(port.InputCount()));
    }

    const SettingsReply untouched{"untouched"};
};

} // namespace

TEST_F(DownloadLink, FindsTheBlockBehindNoiseAndStopsAtItsEnd) {
    Answer(QByteArrayLiteral(">VE\0VERVE:\r\nV") + Block36);
    SettingsReply reply = untouched;
    ASSERT_TRUE(DownloadSettings(transport, reply));
    EXPECT_EQ(reply, QStringList({"VER:1", "CON:1,0123456781,SMS", "LEN:0036"}));
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"dnld all;"}));
    // Nothing behind the block was taken.
    EXPECT_EQ(LeftOver(Refusal.size()), Refusal);
    // Every byte is in the traffic log.
    EXPECT_TRUE(log.Text().contains("CON:1,0123456781,SMS\nLEN:0036\n"));
}

// Each case waits out a second of silence.
TEST_F(DownloadLink, ACountOneOffNeverCompletesAndFailsAfterASecondOfSilence) {
    for (const char* count : {"0035", "0037"}) {
        QByteArray block = Block36;
        block.replace(31, 4, count);
        Answer(block);
        SettingsReply reply = untouched;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(DownloadSettings(transport, reply)) << count;
        // Failed only once the line had been silent for about a second.
        EXPECT_GE(timer.elapsed(), 900) << count;
        EXPECT_EQ(reply, untouched);
        // The refusal behind the block was read as one more line of it.
        EXPECT_EQ(port.InputCount(), 0);
    }
}

TEST_F(DownloadLink, TheLargestBlockIsAccepted) {
    const QByteArray block = BlockOfSize(9999, "LEN:9999\r");
    ASSERT_EQ(block.size(), 9999);
    Answer(block);
    SettingsReply reply;
    ASSERT_TRUE(DownloadSettings(transport, reply));
    EXPECT_EQ(reply.first(), "VER:3.25");
    EXPECT_EQ(reply.last(), "LEN:9999");
    EXPECT_EQ(reply.join('\r').size() + 1, 9999);
    EXPECT_EQ(LeftOver(Refusal.size()), Refusal);
}

TEST_F(DownloadLink, ABlockNotCompleteByItsTenThousandthByteIsRefusedThere) {
    // Its "LEN:" line would come just behind the 10000th byte.
    const QByteArray block = BlockOfSize(10000, "\r") + "LEN:9999\r";
    Answer(block);
    SettingsReply reply = untouched;
    EXPECT_FALSE(DownloadSettings(transport, reply));
    EXPECT_EQ(reply, untouched);
    // Reading stopped at the 10000th byte, without waiting for silence.
    EXPECT_EQ(LeftOver(9 + Refusal.size()), "LEN:9999\r" + Refusal);
}

TEST_F(DownloadLink, AFailedEchoFailsTheDownload) {
    DiallerLineBehaviour behaviour;
    behaviour.WrongEchoAt = 2;
    dialler.SetBehaviour(behaviour);
    SettingsReply reply = untouched;
    EXPECT_FALSE(DownloadSettings(transport, reply));
    EXPECT_EQ(reply, untouched);
}

TEST(DownloadProblemsText, ListsTheFirstEightAndCountsTheRest) {
    QStringList problems;
    for (int i = 1; i <= 10; ++i) {
        problems << QStringLiteral("Problem %1.").arg(i);
    }
    const QString text = DownloadProblemsText(problems);
    EXPECT_TRUE(text.startsWith("Some settings from ORNEX could not be taken as they were:\r\n\r\n"
                                "Problem 1.\r\n\r\nProblem 2.\r\n\r\n"));
    EXPECT_TRUE(text.contains("Problem 8.\r\n\r\nThere were 2 more such settings.\r\n\r\n"));
    EXPECT_FALSE(text.contains("Problem 9."));
    EXPECT_TRUE(text.endsWith("Please check these settings before sending them to ORNEX."));

    EXPECT_TRUE(
        DownloadProblemsText(problems.mid(0, 9)).contains("There was 1 more such setting."));
    EXPECT_FALSE(DownloadProblemsText(problems.mid(0, 8)).contains("more such"));
}
