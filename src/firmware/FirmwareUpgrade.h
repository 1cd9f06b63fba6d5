#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

class DeviceSearch;
class DeviceTransport;

namespace UpgradeTiming {
// "rst boot 3000;" asks the dialler to restart into its bootloader.
constexpr int RestartIntoBootloader = 3000;
// How long the bootloader may take to show up, and its port to open.
constexpr qint32 BootloaderSearchMs = 5000;
constexpr qint32 PortOpenMs = 2000;
// Every acknowledgement and the checksum answer.
constexpr qint32 ReplyMs = 1000;
// The pauses before and after a block's data. The bootloader drops whatever
// shares a USB packet with the end of the data, so the next command must not
// follow it too closely.
constexpr int DataPauseMs = 50;
// After the final reset the bootloader's port goes away; the restarted
// dialler may get the same port name on some systems, so the upgrade ends
// only once the bootloader has left and the connection supervisor sees the
// dialler come back as a new port.
constexpr qint32 BootloaderLeaveMs = 3000;
// Between two looks at the device list and two attempts to open the port.
constexpr int SearchIntervalMs = 50;
} // namespace UpgradeTiming

enum class UpgradeOutcome {
    // Written, checked and restarted into the new firmware.
    Upgraded,
    // The bootloader was not reached or refused to erase. Nothing was
    // written; the dialler runs on, or is restarted from its unchanged or
    // erased flash (the bootloader keeps running on an erased one).
    BootloaderNotReached,
    // Writing or checking the flash failed. The half-written image is not
    // started: the bootloader keeps running and waits for another attempt.
    WriteFailed,
};

struct UpgradeResult {
    UpgradeOutcome Outcome = UpgradeOutcome::Upgraded;
    // What failed, for the message ("block 3 of 15 was not acknowledged").
    QString Failure;
};

// Receives a short text at each step, for the status bar.
using UpgradeProgress = std::function<void(const QString& text)>;

// Writes `image` into the dialler's flash: restarts the dialler into its
// bootloader, finds the bootloader with `search` and opens its port in the
// transport's port, erases the application area, writes the image block by
// block, has the bootloader check the written flash against the image's CRC
// and, only when all of that succeeded or nothing was written, restarts the
// processor. The traffic log is muted throughout. Blocks the calling thread
// for several seconds without spending processor time on the waits. The
// port is left closed, named after the bootloader when one was found.
UpgradeResult UpgradeFirmware(DeviceTransport& link, DeviceSearch& search, const QByteArray& image,
                              const UpgradeProgress& progress);

// The message for a failed upgrade.
QString UpgradeFailureText(const UpgradeResult& result);
