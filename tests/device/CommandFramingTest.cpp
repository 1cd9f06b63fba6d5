#include "LinkFixture.h"

#include "device/CommandFraming.h"

#include <QRegularExpression>

using Framing = LinkFixture;

namespace {

DiallerLineBehaviour With(const std::function<void(DiallerLineBehaviour&)>& change) {
    DiallerLineBehaviour behaviour;
    change(behaviour);
    return behaviour;
}

} // namespace

TEST_F(Framing, AnEchoBehindOnePromptIsAccepted) {
    dialler.SetBehaviour(With([](auto& b) { b.PromptBeforeEcho = true; }));
    EXPECT_TRUE(SendCommand(transport, "ver;"));
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"ver;"});
}

TEST_F(Framing, AnEchoBehindTwoPromptsIsRejected) {
    dialler.SetBehaviour(With([](auto& b) { b.ExtraPrompt = true; }));
    EXPECT_FALSE(SendCommand(transport, "ver;"));
}

TEST_F(Framing, APromptAfterTheFirstEchoedCharacterIsAMismatch) {
    dialler.SetBehaviour(With([](auto& b) {
        b.WrongEchoAt = 1;
        b.WrongEchoByte = '>';
    }));
    EXPECT_FALSE(SendCommand(transport, "ver;"));
}

TEST_F(Framing, AWrongSecondEchoByteIsRejectedAndTheRestIsDrainedBeforeTheNextCommand) {
    dialler.SetBehaviour(With([](auto& b) { b.WrongEchoAt = 1; }));
    EXPECT_FALSE(SendCommand(transport, "sts,out,1;"));
    dialler.SetBehaviour({});
    ASSERT_TRUE(WaitUntilWaiting(8 + 6));
    EXPECT_TRUE(SendCommand(transport, "ver;"));
    // The failed exchange's leftovers show in red in front of the next command.
    EXPECT_EQ(log.Transcript(), QStringLiteral("<sts,out,1;>\n[s?s,out,1;1:OFF]\n<ver;>\n[ver;]"));
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(portCheckRestarts, 0);
}

TEST_F(Framing, TheEchoTimeoutAppliesToEachByte) {
    // 300 ms per byte: the whole echo takes longer than one byte may.
    dialler.SetBehaviour(With([](auto& b) { b.ByteDelayMs = 300; }));
    EXPECT_TRUE(SendCommand(transport, "ver;", 1000));
}

TEST_F(Framing, AMissingEchoFailsAtTheFirstByte) {
    dialler.SetBehaviour(With([](auto& b) { b.Silent = true; }));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(SendCommand(transport, "save all;", 300));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"save all;"});
}

TEST_F(Framing, TheDefaultEchoTimeoutGrowsWithTheCommand) {
    EXPECT_EQ(DefaultEchoTimeoutMs(4), 2000);
    EXPECT_EQ(DefaultEchoTimeoutMs(9), 3250);
}

TEST_F(Framing, ACommandOnAClosedPortFails) {
    port.SetConnected(false);
    EXPECT_FALSE(SendCommand(transport, "ver;"));
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}

TEST_F(Framing, TheConfirmationMustMatchExactly) {
    EXPECT_TRUE(SendCommand(transport, "del,0,all;"));
    EXPECT_TRUE(ExpectSuccess(transport));

    dialler.SetBehaviour(With([](auto& b) { b.LowerCaseReplies = true; }));
    EXPECT_TRUE(SendCommand(transport, "del,0,all;"));
    EXPECT_FALSE(ExpectSuccess(transport));

    dialler.SetBehaviour(With([](auto& b) { b.RefusedCommands = {"del,"}; }));
    EXPECT_TRUE(SendCommand(transport, "del,0,all;"));
    EXPECT_FALSE(ExpectSuccess(transport));
}

TEST_F(Framing, AConfirmationPrecededByALineFeedIsRejected) {
    dialler.SetBehaviour(With([](auto& b) { b.NoiseBeforeReply = "\n"; }));
    EXPECT_TRUE(SendCommand(transport, "pin,1,1234;"));
    EXPECT_FALSE(ExpectSuccess(transport));
}

TEST_F(Framing, ConfirmationLinesEndingInCrLfSpoilTheNextOne) {
    dialler.SetBehaviour(With([](auto& b) { b.CrLfLineEnds = true; }));
    EXPECT_TRUE(SendCommand(transport, "save all;"));
    QByteArray line;
    EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("Starting Save...\r"));
    EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("\nSave Complete!\r"));
}

TEST_F(Framing, AReplyLineMustEndWithinItsLongestLength) {
    dialler.Inject(QByteArray(25, 'x') + '\r');
    QByteArray line;
    EXPECT_FALSE(ReadResponseLine(transport, line, 25, 1000));

    EXPECT_EQ(Read(1), QByteArray("\r"));
    dialler.Inject(QByteArray(24, 'y') + '\r');
    EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray(24, 'y') + '\r');
}

TEST_F(Framing, AReplyLineAllowsItsTimeoutForEachByte) {
    dialler.SetOutput(2, true);
    dialler.SetBehaviour(With([](auto& b) {
        b.SlowLine = "2:ON\r";
        b.SlowLineByteDelayMs = 400;
    }));
    EXPECT_TRUE(SendCommand(transport, "sts,out,2;"));
    QByteArray line;
    EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("2:ON\r"));
}

TEST_F(Framing, AReplyLineThatStopsFails) {
    dialler.SetBehaviour(With([](auto& b) {
        b.SlowLine = "1:OFF\r";
        b.SlowLineBytes = 1;
        b.SlowLineByteDelayMs = 1500;
    }));
    EXPECT_TRUE(SendCommand(transport, "sts,out,1;"));
    QByteArray line;
    EXPECT_FALSE(ReadResponseLine(transport, line, 25, 500));
}

TEST_F(Framing, TheVersionQueryReturnsTheLineWithoutItsCarriageReturn) {
    dialler.SetFirmwareVersion(3, 14, 2);
    QByteArray line;
    EXPECT_TRUE(QueryVersion(transport, line));
    EXPECT_EQ(line, QByteArray("SW 3.14, HW 2"));
}

TEST_F(Framing, TheFirstByteOfTheVersionReplyNeverEndsIt) {
    dialler.SetVersionReply("\rSW 3.9, HW 7\r");
    QByteArray line;
    EXPECT_TRUE(QueryVersion(transport, line));
    EXPECT_EQ(line, QByteArray("\rSW 3.9, HW 7"));
}

TEST_F(Framing, AVersionReplyThatDoesNotEndInTheBufferFails) {
    dialler.SetVersionReply(QByteArray(199, 'v') + '\r');
    QByteArray line;
    EXPECT_FALSE(QueryVersion(transport, line));
    dialler.SetVersionReply(QByteArray(198, 'v') + '\r');
    EXPECT_TRUE(QueryVersion(transport, line));
    EXPECT_EQ(line.size(), 198);
}

TEST_F(Framing, SavingToFlashStampsBothLinesInTheLog) {
    EXPECT_TRUE(SaveAllToFlash(transport));
    EXPECT_EQ(dialler.FlashSaves(), 1);
    const QRegularExpression stamped(QStringLiteral(
        "^<save all;>\n\\[save all;Starting Save\\.\\.\\.\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\]\n"
        "\\[Save Complete!\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\]\n$"));
    EXPECT_TRUE(stamped.match(log.Transcript()).hasMatch()) << log.Transcript().toStdString();
}

TEST_F(Framing, ARefusedSaveFailsAndStillStampsItsLine) {
    dialler.SetBehaviour(With([](auto& b) { b.RefusedCommands = {"save"}; }));
    EXPECT_FALSE(SaveAllToFlash(transport));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("\\[save all;Error\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\]\n$"))
            .match(log.Transcript())
            .hasMatch())
        << log.Transcript().toStdString();
}

TEST_F(Framing, NoTimeStampWhileTheLogIsMuted) {
    transport.SetFirmwareUpgradeActive(true);
    EXPECT_TRUE(SaveAllToFlash(transport));
    EXPECT_TRUE(log.IsEmpty());
}

TEST_F(Framing, TheResetToTheBootloaderIsConfirmed) {
    EXPECT_TRUE(ResetToBootloader(transport, 3000));
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"rst boot 3000;"});
}

TEST(LogTimeStamp, HasTwoDigitFieldsAndThreeDigitMilliseconds) {
    EXPECT_EQ(LogTimeStamp(QTime(14, 3, 7, 45)), QStringLiteral("14:03:07.045\r\n"));
    EXPECT_EQ(LogTimeStamp(QTime(0, 0, 0, 0)), QStringLiteral("00:00:00.000\r\n"));
}
