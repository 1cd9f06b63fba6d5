#pragma once

#include "DemoUsbBus.h"
#include "SimulatedDiallerBoard.h"
#include "platform/DeviceSearch.h"

#include <QTemporaryDir>

#include <memory>

// A simulated dialler set up as a believable site (firmware 3.25 on the 4G
// hardware, a dozen contacts, named inputs, one output on), with its
// bootloader, and the device search that shows it to the program as the one
// attached dialler. Reflash works: a generated firmware image is offered
// where the program looks for installed ones, and after the upgrade the
// dialler reports version 3.26.
class DemoDialler {
public:
    static constexpr int UpgradedMajor = 3;
    static constexpr int UpgradedMinor = 26;
    // As large as the maker's image, so that the upgrade takes as long.
    static constexpr int ImageSize = 60256;

    DemoDialler(); // throws std::runtime_error when no pseudo-terminal is free
    ~DemoDialler();
    DemoDialler(const DemoDialler&) = delete;
    DemoDialler& operator=(const DemoDialler&) = delete;

    // A search for the window; the dialler must outlive it.
    std::unique_ptr<DeviceSearch> MakeSearch() const;
    // The dialler's port as the window shows it, for example "pts/4".
    QString PortName() const;
    // The terminal the program opens, for example /dev/pts/4.
    QString PortPath() const { return mBoard.DiallerPort(); }
    // The generated image Reflash writes.
    QByteArray Image() const { return mImage; }

    DiallerPtyServer& Simulator() { return mBoard.Dialler(); }
    BootloaderPtyServer& Bootloader() { return mBoard.Bootloader(); }

private:
    void OfferImage();

    QByteArray mImage;
    QTemporaryDir mDataFolder;
    QByteArray mDataDirsBefore;
    bool mDataDirsWereSet = false;
    DemoUsbBus mBus;
    SimulatedDiallerBoard mBoard{mBus};
};
