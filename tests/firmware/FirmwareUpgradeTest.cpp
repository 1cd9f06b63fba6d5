#include "firmware/FirmwareUpgrade.h"
#include "BootloaderCommandModel.h"
#include "FakeTreeBus.h"
#include "FirmwareImages.h"
#include "SimulatedDiallerBoard.h"
#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "firmware/Crc16Xmodem.h"
#include "platform/ComPort.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <gtest/gtest.h>

namespace {

constexpr int WaitMs = 10000;

// The upgrade over the transport, against the simulated dialler and its
// bootloader in a fake device tree, without the window.
class FirmwareUpgradeExchange : public ::testing::Test {
protected:
    FirmwareUpgradeExchange() {
        port.SetPathResolver([this](const QString& name) { return search->PortPath(name); });
    }

    UpgradeResult Upgrade(const QByteArray& image) {
        progress.clear();
        return UpgradeFirmware(link, *search, image,
                               [this](const QString& text) { progress << text; });
    }

    // The port open on the dialler, as the supervisor leaves it.
    void ConnectToDialler() {
        port.SetPort(UniqueTtyName(board.DiallerPort()));
        port.Open();
    }

    bool WaitForDialler() {
        return QTest::qWaitFor([this] { return !board.DiallerPort().isEmpty(); }, WaitMs);
    }
    bool WaitForBootloader() {
        return QTest::qWaitFor([this] { return !board.BootloaderPort().isEmpty(); }, WaitMs);
    }

    static bool Sent(const QList<QByteArray>& commands, char letter) {
        return std::any_of(commands.begin(), commands.end(),
                           [letter](const QByteArray& c) { return c.startsWith(letter); });
    }

    FakeDeviceTree devices;
    FakeTreeBus bus{devices};
    SimulatedDiallerBoard board{bus};
    std::unique_ptr<DeviceSearch> search = devices.Search();
    ComPort port;
    DeviceTransport link{port};
    QStringList progress;
};

TEST_F(FirmwareUpgradeExchange, WritesTheImageBlockByBlockAndRestartsTheDiallerIntoIt) {
    // The pauses around each block's data keep it in a USB packet of its own.
    board.Bootloader().SetUsbPacketRule(true);
    board.PowerUp();
    ConnectToDialler();
    const QByteArray image = TestImage(MakersImageSize);

    const UpgradeResult result = Upgrade(image);

    EXPECT_EQ(result.Outcome, UpgradeOutcome::Upgraded) << result.Failure.toStdString();
    EXPECT_EQ(board.Dialler().ReceivedCommands().last(), "rst boot 3000;");
    QList<QByteArray> expected{"X00002000#"};
    for (int block = 0; block < 14; ++block) {
        expected << "S20002400,00001000#"
                 << "Y20002400,0#"
                 << QString::asprintf("Y%08X,00001000#", 0x2000 + 0x1000 * block).toLatin1();
    }
    expected << "S20002400,00000B60#"
             << "Y20002400,0#"
             << "Y00010000,00000B60#"
             << "Z00002000,0000EB60#"
             << "WE000ED0C,05FA0004#";
    EXPECT_EQ(board.Bootloader().ReceivedCommands(), expected);
    EXPECT_TRUE(board.Bootloader().Application(MakersImageSize) == image);
    EXPECT_TRUE(progress.contains("Upgrading firmware: block 1 of 15"));
    EXPECT_TRUE(progress.contains("Upgrading firmware: block 15 of 15"));
    EXPECT_FALSE(link.FirmwareUpgradeActive());
    EXPECT_FALSE(port.Connected());

    // The restarted dialler runs the new firmware.
    ASSERT_TRUE(WaitForDialler());
    port.SetPort(UniqueTtyName(board.DiallerPort()));
    port.Open();
    QByteArray version;
    ASSERT_TRUE(QueryVersion(link, version));
    EXPECT_EQ(version, "SW 3.26, HW 1");
}

TEST_F(FirmwareUpgradeExchange, AnImageOfWholeBlocksSendsNoEmptyBlock) {
    board.PowerUpInBootloader();
    const QByteArray image = TestImage(2 * 4096);

    EXPECT_EQ(Upgrade(image).Outcome, UpgradeOutcome::Upgraded);

    EXPECT_EQ(
        board.Bootloader().ReceivedCommands(),
        (QList<QByteArray>{"X00002000#", "S20002400,00001000#", "Y20002400,0#",
                           "Y00002000,00001000#", "S20002400,00001000#", "Y20002400,0#",
                           "Y00003000,00001000#", "Z00002000,00002000#", "WE000ED0C,05FA0004#"}));
    EXPECT_TRUE(board.Bootloader().Application(2 * 4096) == image);
}

// A failure while writing must not restart the processor: it would start a
// half-written image. The bootloader stays and another attempt succeeds.
TEST_F(FirmwareUpgradeExchange, AFailureLeavesTheBootloaderWaitingForAnotherAttempt) {
    struct Case {
        const char* what;
        BootloaderFaults faults;
        UpgradeOutcome outcome;
        bool restarted;
        QString failure;
    };
    const QByteArray image = TestImage(MakersImageSize);
    const auto hex4 = [](unsigned value) {
        return QStringLiteral("%1").arg(value & 0xFFFF, 4, 16, QChar('0')).toUpper();
    };
    const std::uint16_t crc = Crc16Xmodem(image);
    const Case cases[] = {
        {"erase answered without line ends",
         {.EraseWithoutLineEnds = true},
         UpgradeOutcome::BootloaderNotReached,
         true,
         QString()},
        {"erase slower than a second",
         {.EraseDelayMs = 1500},
         UpgradeOutcome::BootloaderNotReached,
         true,
         QString()},
        {"copy of block 3 lost",
         {.LostCopyOfBlock = 3},
         UpgradeOutcome::WriteFailed,
         false,
         "block 3 of 15 was not written"},
        {"selection of the buffer for block 3 lost",
         {.LostSelectOfBlock = 3},
         UpgradeOutcome::WriteFailed,
         false,
         "block 3 of 15 was not written"},
        {"checksum answer a byte short",
         {.ChecksumAnswerShort = true},
         UpgradeOutcome::WriteFailed,
         false,
         "the ORNEX did not report the checksum of its flash"},
        {"checksum answer under another letter",
         {.ChecksumAnswerMisnamed = true},
         UpgradeOutcome::WriteFailed,
         false,
         "the ORNEX reported the checksum of its flash in a wrong form"},
        {"wrong checksum",
         {.WrongChecksum = true},
         UpgradeOutcome::WriteFailed,
         false,
         "the flash holds checksum " + hex4(crc + 1u) + " where the image has " + hex4(crc)},
        {"checksum answer with its line ends swapped",
         {.ChecksumLineEndsSwapped = true},
         UpgradeOutcome::WriteFailed,
         false,
         "the ORNEX reported the checksum of its flash in a wrong form"},
        {"port vanishes in block 2",
         {.VanishInBlock = 2},
         UpgradeOutcome::WriteFailed,
         false,
         "block 2 of 15 was not written"},
    };
    board.PowerUpInBootloader();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.Bootloader().ClearReceivedCommands();
        board.Bootloader().SetFaults(c.faults);

        const UpgradeResult result = Upgrade(image);

        EXPECT_EQ(result.Outcome, c.outcome);
        EXPECT_EQ(result.Failure, c.failure);
        const QList<QByteArray> received = board.Bootloader().ReceivedCommands();
        EXPECT_EQ(Sent(received, 'W'), c.restarted);
        EXPECT_EQ(Sent(received, 'S'), c.outcome == UpgradeOutcome::WriteFailed);
        EXPECT_FALSE(port.Connected());
        // An erased application area keeps the boot program running after
        // the restart; in every case it is there for the next attempt.
        ASSERT_TRUE(WaitForBootloader());
        EXPECT_TRUE(board.DiallerPort().isEmpty());
    }

    board.Bootloader().SetFaults({});
    const UpgradeResult again = Upgrade(image);
    EXPECT_EQ(again.Outcome, UpgradeOutcome::Upgraded) << again.Failure.toStdString();
    EXPECT_TRUE(board.Bootloader().Application(MakersImageSize) == image);
    EXPECT_TRUE(WaitForDialler());
}

TEST_F(FirmwareUpgradeExchange, ABootloaderWhosePortWillNotOpenIsLeftAlone) {
    devices.AddUsbPort("ttyACMgone", "2341", "004d", "ORNEX Bootloader",
                       devices.Dev() + "/no-such-port");

    EXPECT_EQ(Upgrade(TestImage(MakersImageSize)).Outcome, UpgradeOutcome::BootloaderNotReached);

    EXPECT_EQ(port.Port(), "ttyACMgone");
    EXPECT_FALSE(port.Connected());
}

TEST_F(FirmwareUpgradeExchange, WithoutABootloaderNothingIsWrittenAfterTheRestartCommand) {
    board.SetBootloaderMissing(true);
    board.PowerUp();
    ConnectToDialler();
    const QString diallerPort = port.Port();

    EXPECT_EQ(Upgrade(TestImage(MakersImageSize)).Outcome, UpgradeOutcome::BootloaderNotReached);

    // No other port was ever opened, so nothing could be written to one.
    EXPECT_EQ(port.Port(), diallerPort);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(board.Dialler().ReceivedCommands().last(), "rst boot 3000;");
    EXPECT_TRUE(board.Bootloader().ReceivedCommands().isEmpty());
}

// Not a timing goal: at the dialler's line speed the acknowledgements still
// come within their second, and the time taken is reported beside the floor
// of the pauses and the wire.
TEST_F(FirmwareUpgradeExchange, WorksAtTheLineSpeedOfTheDialler) {
    constexpr int Baud = 256000;
    board.Bootloader().SetPacingBaud(Baud);
    board.Bootloader().SetUsbPacketRule(true);
    board.PowerUpInBootloader();
    const QByteArray image = TestImage(MakersImageSize);

    QElapsedTimer timer;
    timer.start();
    const UpgradeResult result = Upgrade(image);
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(result.Outcome, UpgradeOutcome::Upgraded) << result.Failure.toStdString();
    EXPECT_TRUE(board.Bootloader().Application(MakersImageSize) == image);
    qint64 wireBytes = image.size();
    for (const QByteArray& command : board.Bootloader().ReceivedCommands()) {
        wireBytes += command.size();
    }
    // Acknowledgements: one "X", two "Y" per block, and the 12-byte checksum.
    wireBytes += 3 + 15 * 2 * 3 + 12;
    // The pause after each block's data passes while the data is still on
    // the wire (the system takes the whole block at once), so the upgrade
    // may beat the sum of the pauses and the wire time.
    const double wireMs = wireBytes * 10 * 1000.0 / Baud;
    std::printf("Upgrade of %d bytes at %d baud: %lld ms; 15 x 100 ms of pauses plus %lld bytes "
                "on the wire (%.0f ms) add up to %.0f ms\n",
                MakersImageSize, Baud, static_cast<long long>(elapsed),
                static_cast<long long>(wireBytes), wireMs, 1500 + wireMs);
    RecordProperty("elapsed_ms", static_cast<int>(elapsed));
}

// The bootloader's USB packet, which the pauses around a block's data keep
// apart from the commands: what arrives within the window after a command's
// "#" or after the end of the data is lost.
TEST(BootloaderPacketRule, DropsWhatSharesAPacketWithACommandOrTheEndOfTheData) {
    struct Case {
        const char* name;
        int dataAfterCommandMs;
        int commandAfterDataMs;
        bool acknowledged;
    };
    const Case cases[] = {
        {"both apart", 50, 50, true},
        {"data right behind the command", 0, 50, false},
        {"data just inside the window", 4, 50, false},
        {"next command right behind the data", 50, 0, false},
        {"next command just inside the window", 50, 4, false},
        {"both just outside the window", 5, 5, true},
    };
    const QByteArray data = TestImage(16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BootloaderCommandModel bootloader;
        QByteArray replies;
        const auto feed = [&](const QByteArray& bytes, std::chrono::steady_clock::time_point at) {
            for (const char byte : bytes) {
                replies += bootloader.Take(byte, at).Reply;
            }
        };
        auto at = std::chrono::steady_clock::now();
        feed("S20002400,00000010#", at);
        at += std::chrono::milliseconds(c.dataAfterCommandMs);
        feed(data, at);
        at += std::chrono::milliseconds(c.commandAfterDataMs);
        feed("Y20002400,0#", at);

        EXPECT_EQ(replies, c.acknowledged ? "Y\n\r" : "");
        EXPECT_EQ(bootloader.Ram.mid(0x2400, 16) == data, c.dataAfterCommandMs >= 5);
    }
}

} // namespace
