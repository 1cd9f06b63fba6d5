#include "platform/ComPort.h"
#include "DiallerPtyServer.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTest>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

bool WaitUntilWaiting(ComPort& port, qint64 count) {
    for (int i = 0; i < 100 && port.InputCount() < count; ++i) {
        port.WaitForInput(50);
    }
    return port.InputCount() >= count;
}

// The process's descriptors that lead to the file at `path`.
QSet<int> DescriptorsOf(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    QSet<int> found;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& name : fds.entryList(QDir::Files | QDir::System)) {
        if (QFileInfo(fds.filePath(name)).symLinkTarget() == target) {
            found.insert(name.toInt());
        }
    }
    return found;
}

} // namespace

TEST(ComPort, OpensAPseudoTerminalWhoseModemLinesCannotBeSet) {
    // A pseudo-terminal refuses DTR and RTS; the port must stay open anyway.
    DiallerPtyServer dialler;
    ComPort port;
    port.SetPort(dialler.PortName());
    ASSERT_NO_THROW(port.Open());
    EXPECT_TRUE(port.Connected());
    ASSERT_NO_THROW(port.Open()); // opening an open port does nothing

    const QByteArray command = "ver;";
    EXPECT_EQ(port.Write(command.constData(), command.size()), command.size());
    ASSERT_TRUE(WaitUntilWaiting(port, 4));
    char echo[4] = {};
    EXPECT_EQ(port.Read(echo, 4), 4);
    EXPECT_EQ(QByteArray(echo, 4), command);

    port.Close();
    EXPECT_FALSE(port.Connected());
}

TEST(ComPort, OpeningAMissingPortRaises) {
    ComPort port;
    EXPECT_EQ(port.Port(), QStringLiteral("COM1"));
    port.SetPort(QStringLiteral("/dev/ornex-no-such-port"));
    EXPECT_THROW(port.Open(), ComPortError);
    EXPECT_FALSE(port.Connected());
}

TEST(ComPort, RenamingAnOpenPortReopensItUnderTheNewName) {
    DiallerPtyServer first;
    DiallerPtyServer second;
    ComPort port;
    port.SetPort(first.PortName());
    port.Open();
    port.SetPort(second.PortName());
    EXPECT_TRUE(port.Connected());
    const QByteArray command = "sts,out,1;";
    port.Write(command.constData(), command.size());
    ASSERT_TRUE(WaitUntilWaiting(port, command.size()));
    EXPECT_TRUE(first.ReceivedCommands().isEmpty());
    EXPECT_EQ(second.ReceivedCommands(), QList<QByteArray>{command});

    // A name that cannot be opened leaves the port closed.
    EXPECT_THROW(port.SetPort(QStringLiteral("/dev/ornex-no-such-port")), ComPortError);
    EXPECT_FALSE(port.Connected());
}

TEST(ComPort, ALostDescriptorMakesTheCloseRaiseAndTheRenameStillTakesTheNewName) {
    DiallerPtyServer first;
    DiallerPtyServer second;
    ComPort port;
    port.SetPort(first.PortName());
    const QSet<int> before = DescriptorsOf(first.PortName());
    port.Open();
    const QSet<int> opened = DescriptorsOf(first.PortName()) - before;
    ASSERT_EQ(opened.size(), 1);
    ::close(*opened.begin()); // the system takes the port away underneath

    EXPECT_THROW(port.SetPort(second.PortName()), ComPortError);
    // The status texts read the name at once; it must be the chosen port.
    EXPECT_EQ(port.Port(), second.PortName());
    EXPECT_FALSE(port.Connected());
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST(ComPort, CountsBytesThatQtBufferedWhileTheEventLoopRan) {
    DiallerPtyServer dialler;
    ComPort port;
    port.SetPort(dialler.PortName());
    port.Open();
    dialler.Inject("abc");
    // Between exchanges the event loop runs and QSerialPort reads on its own.
    QTest::qWait(200);
    dialler.Inject("de");
    ASSERT_TRUE(WaitUntilWaiting(port, 5));
    char bytes[5] = {};
    EXPECT_EQ(port.Read(bytes, 5), 5);
    EXPECT_EQ(QByteArray(bytes, 5), QByteArray("abcde"));
}

TEST(ComPort, AHangUpRaisesAndThePortPathDisappears) {
    DiallerPtyServer dialler;
    ComPort port;
    port.SetPort(dialler.PortName());
    port.Open();
    dialler.HangUp();
    EXPECT_THROW(port.WaitForInput(1000), ComPortError);
    EXPECT_THROW(port.InputCount(), ComPortError);
    port.SetConnected(false);
    EXPECT_FALSE(QFileInfo::exists(dialler.PortName()));
    EXPECT_THROW(port.Open(), ComPortError);
}

TEST(ComPort, ThePortSurvivesTheProgramClosingAndReopeningIt) {
    DiallerPtyServer dialler;
    ComPort port;
    port.SetPort(dialler.PortName());
    port.Open();
    port.Close();
    port.Open();
    const QByteArray command = "ver;";
    port.Write(command.constData(), command.size());
    EXPECT_TRUE(WaitUntilWaiting(port, 4 + 14));
}
