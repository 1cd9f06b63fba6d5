#pragma once

#include <QString>

// Where a simulated board shows its USB serial ports: a fake device tree in
// the tests, the demo's device search in ornex-demo. The simulators' threads
// call it, so an implementation guards its own state.
class SimulatedUsbBus {
public:
    enum class Device {
        Dialler,    // 2341:804D "TEMBA ORNEX"
        Bootloader, // 2341:004D "ORNEX Bootloader"
    };

    virtual ~SimulatedUsbBus() = default;
    // The device's port, with this path, is now listed.
    virtual void Attach(Device device, const QString& portPath) = 0;
    // The port with this path is no longer listed.
    virtual void Detach(Device device, const QString& portPath) = 0;
};
