#include "LinkFixture.h"

#include <QDateTime>

using Transport = LinkFixture;

TEST_F(Transport, FlushReadsStaleBytesAndLogsThemRedBeforeTheBlueWrite) {
    dialler.Inject("1:ON\r");
    ASSERT_TRUE(WaitUntilWaiting(5));
    EXPECT_EQ(transport.WriteToDevice("ver;", true), 4u);
    EXPECT_EQ(log.Transcript(), QStringLiteral("[1:ON]\n<ver;>"));
    EXPECT_FALSE(transport.RxContinues());
    // Only the echo and the reply wait now.
    EXPECT_EQ(Read(4), QByteArray("ver;"));
}

TEST_F(Transport, WithoutFlushStaleBytesStayWaiting) {
    dialler.Inject("xy");
    ASSERT_TRUE(WaitUntilWaiting(2));
    EXPECT_EQ(transport.WriteToDevice("sts,out,1;", false), 10u);
    EXPECT_EQ(Read(2), QByteArray("xy"));
    EXPECT_EQ(log.Transcript(), QStringLiteral("<sts,out,1;>\n[xy]"));
}

TEST_F(Transport, ReadsContinueOneLineUntilAWriteStartsANewOne) {
    dialler.Inject("ab");
    ASSERT_TRUE(WaitUntilWaiting(2));
    EXPECT_EQ(Read(1), QByteArray("a"));
    EXPECT_EQ(Read(1), QByteArray("b"));
    transport.WriteToDevice("out,1,on;", false);
    EXPECT_EQ(Read(9), QByteArray("out,1,on;"));
    EXPECT_EQ(Read(5), QByteArray("1:ON\r"));
    dialler.Inject("z");
    EXPECT_EQ(Read(1), QByteArray("z"));
    // A carriage return ends the line; what follows continues the new one.
    EXPECT_EQ(log.Transcript(), QStringLiteral("[ab]\n<out,1,on;>\n[out,1,on;1:ON]\n[z]"));
}

TEST_F(Transport, AShortReadWaitsOutItsTimeoutAndLeavesTheBytesWaiting) {
    dialler.Inject("ab");
    ASSERT_TRUE(WaitUntilWaiting(2));
    char buffer[3] = {};
    // The deadline runs on the wall clock, as the dialler's timeouts do.
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    EXPECT_LT(transport.ReadFromDevice(buffer, 3, 1000), 3u);
    EXPECT_GE(QDateTime::currentMSecsSinceEpoch() - started, 1000);
    EXPECT_EQ(port.InputCount(), 2);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(portCheckRestarts, 0);
    EXPECT_EQ(Read(2), QByteArray("ab"));
}

TEST_F(Transport, APortVanishingDuringAReadFailsItClosesThePortAndSchedulesTheSupervisor) {
    dialler.HangUpAfter(200);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Read(1, 10000), QByteArray());
    // The hang-up ends the wait; the timeout does not.
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(portCheckRestarts, 1);

    // Later operations fail quietly on the closed port.
    EXPECT_EQ(transport.WriteToDevice("ver;", true), 0u);
    EXPECT_EQ(Read(1, 10), QByteArray());
    EXPECT_EQ(portCheckRestarts, 1);
    EXPECT_EQ(log.Transcript(), QString());
}

TEST_F(Transport, AWriteAfterTheLineHasGoneFailsAndSchedulesTheSupervisor) {
    dialler.HangUp();
    EXPECT_EQ(transport.WriteToDevice("ver;", true), 0u);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(portCheckRestarts, 1);
    EXPECT_TRUE(log.IsEmpty());
}

TEST_F(Transport, NothingIsLoggedWhileHiddenOrMutedButRxContinuesStillChanges) {
    auto exchange = [this] {
        transport.WriteToDevice("sts,out,2;", true);
        EXPECT_FALSE(transport.RxContinues());
        EXPECT_EQ(Read(15), QByteArray("sts,out,2;2:OFF"));
        EXPECT_TRUE(transport.RxContinues());
        Read(1);
    };
    log.Shown = false;
    EXPECT_FALSE(transport.TrafficLogActive());
    exchange();
    log.Shown = true;
    transport.SetVoiceDataSending(true);
    EXPECT_FALSE(transport.TrafficLogActive());
    exchange();
    transport.SetVoiceDataSending(false);
    transport.SetFirmwareUpgradeActive(true);
    EXPECT_FALSE(transport.TrafficLogActive());
    EXPECT_TRUE(transport.TrafficLogShown());
    exchange();
    EXPECT_TRUE(log.IsEmpty());

    transport.SetFirmwareUpgradeActive(false);
    EXPECT_TRUE(transport.TrafficLogActive());
    exchange();
    EXPECT_EQ(log.Transcript(), QStringLiteral("<sts,out,2;>\n[sts,out,2;2:OFF]\n"));
}

TEST_F(Transport, ClearingTheLogKeepsRxContinuesAndTheNextBytesStartTheFirstLine) {
    dialler.Inject("old");
    EXPECT_EQ(Read(3), QByteArray("old"));
    transport.ClearTrafficLog();
    EXPECT_TRUE(log.IsEmpty());
    EXPECT_TRUE(transport.RxContinues());
    dialler.Inject("new\r");
    EXPECT_EQ(Read(4), QByteArray("new\r"));
    EXPECT_EQ(log.Transcript(), QStringLiteral("[new]\n"));
}

TEST_F(Transport, BytesThatAreNotTextShowAsSymbolsWithoutBreakingTheLog) {
    dialler.Inject(QByteArray("A\0\n\t\x7f\x85\xe9\r", 8));
    EXPECT_EQ(Read(8).size(), 8);
    EXPECT_EQ(log.Text(), QString::fromUtf8("A\u2400\u240A\u2409\u2421\uFFFD\u00E9\n"));
}

TEST_F(Transport, TextAppendedToTheLastLineStandsBehindTheDiallersLine) {
    transport.AppendToLastLogLine(QStringLiteral("first"));
    EXPECT_EQ(log.Text(), QStringLiteral("first"));
    transport.ClearTrafficLog();

    dialler.Inject("Starting Save...\r");
    Read(17);
    transport.AppendToLastLogLine(QStringLiteral("14:03:07.045\r\n"));
    dialler.Inject("Save Complete!\r");
    Read(15);
    transport.AppendToLastLogLine(QStringLiteral("14:03:09.311\r\n"));
    transport.AppendToLastLogLine(QStringLiteral("Time taken = 2 seconds"));
    EXPECT_EQ(log.Transcript(),
              QStringLiteral("[Starting Save...14:03:07.045]\n"
                             "[Save Complete!14:03:09.311Time taken = 2 seconds]\n"));
}

TEST_F(Transport, AWriteToAClosedPortSendsAndLogsNothing) {
    dialler.Inject("x");
    Read(1);
    port.SetConnected(false);
    EXPECT_EQ(transport.WriteToDevice("ver;", true), 0u);
    EXPECT_TRUE(transport.RxContinues());
    EXPECT_EQ(log.Transcript(), QStringLiteral("[x]"));
    EXPECT_EQ(portCheckRestarts, 0);
}

TEST(Deadlines, CountWallClockMilliseconds) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 deadline = DeviceTransport::DeadlineAfter(60000);
    EXPECT_GE(deadline - now, 60000);
    EXPECT_LT(deadline - now, 70000);
    EXPECT_FALSE(DeviceTransport::DeadlinePassed(deadline));
    EXPECT_TRUE(DeviceTransport::DeadlinePassed(DeviceTransport::DeadlineAfter(0)));
    EXPECT_TRUE(DeviceTransport::DeadlinePassed(DeviceTransport::DeadlineAfter(-5)));
}
