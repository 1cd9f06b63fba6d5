#pragma once

#include "SimulatedUsbBus.h"
#include "support/FakeDeviceTree.h"

#include <mutex>

// The simulated board's ports in a fake device tree, each under a tty name
// made from its pseudo-terminal (UniqueTtyName), with the dialler's or the
// bootloader's USB identity.
class FakeTreeBus : public SimulatedUsbBus {
public:
    explicit FakeTreeBus(FakeDeviceTree& tree) : mTree(tree) {}

    void Attach(Device device, const QString& portPath) override {
        const std::lock_guard lock(mMutex);
        if (device == Device::Dialler) {
            mTree.AddDialler(UniqueTtyName(portPath), portPath);
        } else {
            mTree.AddUsbPort(UniqueTtyName(portPath), "2341", "004d", "ORNEX Bootloader", portPath);
        }
    }
    void Detach(Device, const QString& portPath) override {
        const std::lock_guard lock(mMutex);
        mTree.RemovePort(UniqueTtyName(portPath));
    }

private:
    std::mutex mMutex;
    FakeDeviceTree& mTree;
};
