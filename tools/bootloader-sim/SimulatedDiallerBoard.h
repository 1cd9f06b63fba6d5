#pragma once

#include "BootloaderPtyServer.h"
#include "DiallerPtyServer.h"
#include "SimulatedUsbBus.h"

#include <mutex>

// The dialler's hardware as the USB bus sees it: either the dialler's
// application or its boot program runs, each with a port of its own.
//
// "rst boot N;" takes the dialler off the bus and, N milliseconds later,
// puts the bootloader on it. A reset through the bootloader's reset register
// takes the bootloader off and starts what the flash holds: the dialler with
// the new firmware version when an image was written, the dialler as it was
// when the flash was left alone, or the bootloader again when the
// application area is erased (the boot program then stays). A bootloader
// port that vanishes comes back at once, as after the cable was pulled and
// plugged in again.
//
//     FakeTreeBus bus(devices);
//     SimulatedDiallerBoard board(bus);
//     board.SetUpgradedVersion(3, 26);
//     board.PowerUp();
class SimulatedDiallerBoard {
public:
    explicit SimulatedDiallerBoard(SimulatedUsbBus& bus);
    ~SimulatedDiallerBoard();
    SimulatedDiallerBoard(const SimulatedDiallerBoard&) = delete;
    SimulatedDiallerBoard& operator=(const SimulatedDiallerBoard&) = delete;

    // The dialler runs and is on the bus.
    void PowerUp();
    // The boot program runs and is on the bus, as when an earlier upgrade
    // was interrupted.
    void PowerUpInBootloader();

    // The version the dialler reports once an image has been written; 3.26
    // unless told otherwise.
    void SetUpgradedVersion(int major, int minor);
    // A dialler whose boot program does not start: "rst boot N;" restarts
    // the dialler itself.
    void SetBootloaderMissing(bool missing);

    DiallerPtyServer& Dialler() { return mDialler; }
    BootloaderPtyServer& Bootloader() { return mBootloader; }
    // The port path of whichever runs now; empty for the other.
    QString DiallerPort() const;
    QString BootloaderPort() const;

private:
    void DiallerRestarted();
    void BootloaderLeft(BootloaderPtyServer::Exit exit);
    void ShowDialler(const QString& path);
    void ShowBootloader(const QString& path);

    SimulatedUsbBus& mBus;
    mutable std::mutex mMutex;
    // One above the simulated dialler's own 3.25.
    int mUpgradedMajor = 3;
    int mUpgradedMinor = 26;
    bool mBootloaderMissing = false;
    QString mDiallerPort;
    QString mBootloaderPort;
    // Last, so that their threads end before the state above goes.
    DiallerPtyServer mDialler;
    BootloaderPtyServer mBootloader;
};
