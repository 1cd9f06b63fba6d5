#include "SimulatedDiallerBoard.h"

SimulatedDiallerBoard::SimulatedDiallerBoard(SimulatedUsbBus& bus) : mBus(bus) {
    mDialler.SetRestartObserver([this] { DiallerRestarted(); });
    mBootloader.SetExitObserver([this](BootloaderPtyServer::Exit exit) { BootloaderLeft(exit); });
}

SimulatedDiallerBoard::~SimulatedDiallerBoard() {
    // A restart being carried out finishes first; none follows.
    mDialler.SetRestartObserver(nullptr);
    mBootloader.SetExitObserver(nullptr);
}

void SimulatedDiallerBoard::PowerUp() {
    ShowDialler(mDialler.PortName());
}

void SimulatedDiallerBoard::PowerUpInBootloader() {
    ShowBootloader(mBootloader.Start());
}

void SimulatedDiallerBoard::SetUpgradedVersion(int major, int minor) {
    const std::lock_guard lock(mMutex);
    mUpgradedMajor = major;
    mUpgradedMinor = minor;
}

void SimulatedDiallerBoard::SetBootloaderMissing(bool missing) {
    const std::lock_guard lock(mMutex);
    mBootloaderMissing = missing;
}

QString SimulatedDiallerBoard::DiallerPort() const {
    const std::lock_guard lock(mMutex);
    return mDiallerPort;
}

QString SimulatedDiallerBoard::BootloaderPort() const {
    const std::lock_guard lock(mMutex);
    return mBootloaderPort;
}

void SimulatedDiallerBoard::ShowDialler(const QString& path) {
    {
        const std::lock_guard lock(mMutex);
        mDiallerPort = path;
    }
    mBus.Attach(SimulatedUsbBus::Device::Dialler, path);
}

void SimulatedDiallerBoard::ShowBootloader(const QString& path) {
    {
        const std::lock_guard lock(mMutex);
        mBootloaderPort = path;
    }
    mBus.Attach(SimulatedUsbBus::Device::Bootloader, path);
}

void SimulatedDiallerBoard::DiallerRestarted() {
    QString gone;
    bool bootloaderMissing = false;
    {
        const std::lock_guard lock(mMutex);
        gone = mDiallerPort;
        mDiallerPort.clear();
        bootloaderMissing = mBootloaderMissing;
    }
    mBus.Detach(SimulatedUsbBus::Device::Dialler, gone);
    if (bootloaderMissing) {
        ShowDialler(mDialler.Replug());
    } else {
        ShowBootloader(mBootloader.Start());
    }
}

void SimulatedDiallerBoard::BootloaderLeft(BootloaderPtyServer::Exit exit) {
    QString gone;
    int major = 0;
    int minor = 0;
    {
        const std::lock_guard lock(mMutex);
        gone = mBootloaderPort;
        mBootloaderPort.clear();
        major = mUpgradedMajor;
        minor = mUpgradedMinor;
    }
    mBus.Detach(SimulatedUsbBus::Device::Bootloader, gone);
    if (exit == BootloaderPtyServer::Exit::Vanished || mBootloader.ApplicationErased()) {
        ShowBootloader(mBootloader.Start());
        return;
    }
    if (mBootloader.ApplicationWritten()) {
        mDialler.WithDialler([&](DiallerCommandModel& dialler) {
            dialler.FirmwareMajor = major;
            dialler.FirmwareMinor = minor;
        });
    }
    ShowDialler(mDialler.Replug());
}
