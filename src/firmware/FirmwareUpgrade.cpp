#include "firmware/FirmwareUpgrade.h"

#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "firmware/BootloaderCommands.h"
#include "firmware/Crc16Xmodem.h"
#include "firmware/FindBootloaderPort.h"
#include "platform/ComPort.h"

#include <QThread>

#include <optional>

namespace {

// Mutes the traffic log for the whole upgrade: the blocks are binary and
// would fill it with noise.
class MutedLog {
public:
    explicit MutedLog(DeviceTransport& link) : mLink(link) { mLink.SetFirmwareUpgradeActive(true); }
    ~MutedLog() { mLink.SetFirmwareUpgradeActive(false); }
    MutedLog(const MutedLog&) = delete;
    MutedLog& operator=(const MutedLog&) = delete;

private:
    DeviceTransport& mLink;
};

QString Hex4(std::uint16_t value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

class Upgrade {
public:
    Upgrade(DeviceTransport& link, DeviceSearch& search, const QByteArray& image,
            const UpgradeProgress& progress)
        : mLink(link), mPort(link.Port()), mSearch(search), mImage(image), mProgress(progress) {}

    UpgradeResult Run() {
        const UpgradeResult result = Steps();
        // After a restart the port belongs to a device that has gone: left
        // open, it would pass for a live link to a dialler that comes back
        // under its name. A bootloader left waiting is not disturbed by the
        // close, and another attempt then need not wait for "rst boot" to
        // go unanswered by it.
        mPort.SetConnected(false);
        return result;
    }

private:
    UpgradeResult Steps();
    bool ReachBootloader();
    bool Send(const QByteArray& command, bool flush = true);
    bool Acknowledged(const QByteArray& command, char letter);
    bool WriteBlock(const FirmwareBlock& block);
    std::optional<QString> CheckFlash();
    void RestartProcessor();
    void Show(const QString& text) const {
        if (mProgress) {
            mProgress(text);
        }
    }

    DeviceTransport& mLink;
    ComPort& mPort;
    DeviceSearch& mSearch;
    const QByteArray& mImage;
    const UpgradeProgress& mProgress;
    QString mBootloaderPort;
};

UpgradeResult Upgrade::Steps() {
    Show(QStringLiteral("Upgrading firmware: restarting the ORNEX into its bootloader"));
    // A dialler already waiting in its bootloader does not answer; the
    // bootloader is then found at once.
    ResetToBootloader(mLink, UpgradeTiming::RestartIntoBootloader);
    const MutedLog muted(mLink);
    // Closed whatever the close reports: the dialler is restarting.
    mPort.SetConnected(false);

    if (!ReachBootloader()) {
        return {UpgradeOutcome::BootloaderNotReached, QString()};
    }
    Show(QStringLiteral("Upgrading firmware: erasing the flash"));
    if (!Acknowledged(EraseCommand(), 'X')) {
        // The flash is either untouched or erased: a restart brings back the
        // old firmware, or the bootloader when the application area is empty.
        RestartProcessor();
        return {UpgradeOutcome::BootloaderNotReached, QString()};
    }

    const QList<FirmwareBlock> blocks = FirmwareBlocks(static_cast<std::uint32_t>(mImage.size()));
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        Show(QStringLiteral("Upgrading firmware: block %1 of %2").arg(i + 1).arg(blocks.size()));
        if (!WriteBlock(blocks[i])) {
            return {UpgradeOutcome::WriteFailed,
                    QStringLiteral("block %1 of %2 was not written").arg(i + 1).arg(blocks.size())};
        }
    }

    Show(QStringLiteral("Upgrading firmware: checking the flash"));
    if (const std::optional<QString> mismatch = CheckFlash()) {
        return {UpgradeOutcome::WriteFailed, *mismatch};
    }
    Show(QStringLiteral("Upgrading firmware: restarting the ORNEX"));
    RestartProcessor();
    return {UpgradeOutcome::Upgraded, QString()};
}

bool Upgrade::ReachBootloader() {
    const qint64 searchEnd = DeviceTransport::DeadlineAfter(UpgradeTiming::BootloaderSearchMs);
    DeviceSearchResult found = FindBootloaderPort(mSearch);
    while (!found.Found() && !found.Conflict && !DeviceTransport::DeadlinePassed(searchEnd)) {
        QThread::msleep(UpgradeTiming::SearchIntervalMs);
        found = FindBootloaderPort(mSearch);
    }
    // Two bootloaders: which one is the dialler's cannot be told.
    if (!found.Found()) {
        return false;
    }
    mBootloaderPort = found.PortName;
    try {
        mPort.SetPort(found.PortName);
    } catch (const ComPortError&) {
        mPort.SetConnected(false);
    }
    // The system may list the port a moment before it can be opened.
    const qint64 openEnd = DeviceTransport::DeadlineAfter(UpgradeTiming::PortOpenMs);
    for (;;) {
        try {
            mPort.Open();
        } catch (const ComPortError&) {
        }
        if (mPort.Connected() || DeviceTransport::DeadlinePassed(openEnd)) {
            return mPort.Connected();
        }
        QThread::msleep(UpgradeTiming::SearchIntervalMs);
    }
}

bool Upgrade::Send(const QByteArray& command, bool flush) {
    return mLink.WriteToDevice(command, flush) == static_cast<quint32>(command.size());
}

bool Upgrade::Acknowledged(const QByteArray& command, char letter) {
    if (!Send(command)) {
        return false;
    }
    char reply[BootloaderReplyLength] = {};
    return mLink.ReadFromDevice(reply, BootloaderReplyLength, UpgradeTiming::ReplyMs) ==
               BootloaderReplyLength &&
           QByteArray(reply, BootloaderReplyLength) == BootloaderReply(letter);
}

bool Upgrade::WriteBlock(const FirmwareBlock& block) {
    if (!Send(LoadBufferCommand(block.Size))) {
        return false;
    }
    QThread::msleep(UpgradeTiming::DataPauseMs);
    if (!Send(mImage.mid(block.Offset, block.Size), false)) {
        return false;
    }
    QThread::msleep(UpgradeTiming::DataPauseMs);
    return Acknowledged(SelectBufferCommand(), 'Y') &&
           Acknowledged(CopyToFlashCommand(block.Address, block.Size), 'Y');
}

std::optional<QString> Upgrade::CheckFlash() {
    const auto size = static_cast<std::uint32_t>(mImage.size());
    if (!Send(ChecksumCommand(size))) {
        return QStringLiteral("the flash could not be checked");
    }
    QByteArray reply(ChecksumReplyLength, '\0');
    if (mLink.ReadFromDevice(reply.data(), ChecksumReplyLength, UpgradeTiming::ReplyMs) <
        ChecksumReplyLength) {
        return QStringLiteral("the ORNEX did not report the checksum of its flash");
    }
    const std::optional<std::uint16_t> written = ParseChecksumReply(reply);
    if (!written) {
        return QStringLiteral("the ORNEX reported the checksum of its flash in a wrong form");
    }
    const std::uint16_t expected = Crc16Xmodem(mImage);
    if (*written != expected) {
        return QStringLiteral("the flash holds checksum %1 where the image has %2")
            .arg(Hex4(*written), Hex4(expected));
    }
    return std::nullopt;
}

void Upgrade::RestartProcessor() {
    Send(ResetCommand());
    // Waiting for the bootloader's port to go keeps the supervisor from
    // taking a dialler that comes back under the same name for the port it
    // has already seen.
    const qint64 end = DeviceTransport::DeadlineAfter(UpgradeTiming::BootloaderLeaveMs);
    while (FindBootloaderPort(mSearch).PortName == mBootloaderPort &&
           !DeviceTransport::DeadlinePassed(end)) {
        QThread::msleep(UpgradeTiming::SearchIntervalMs);
    }
}

} // namespace

UpgradeResult UpgradeFirmware(DeviceTransport& link, DeviceSearch& search, const QByteArray& image,
                              const UpgradeProgress& progress) {
    return Upgrade(link, search, image, progress).Run();
}

QString UpgradeFailureText(const UpgradeResult& result) {
    switch (result.Outcome) {
    case UpgradeOutcome::Upgraded:
        break;
    case UpgradeOutcome::BootloaderNotReached:
        return QStringLiteral("Error entering bootloader to upgrade firmware!");
    case UpgradeOutcome::WriteFailed:
        return QStringLiteral("The firmware upgrade failed: %1.\r\n\r\nThe ORNEX is waiting in "
                              "its bootloader. Press Reflash to try again.")
            .arg(result.Failure);
    }
    return QString();
}
