#pragma once

#include "DiallerSimulator.h"
#include "platform/DeviceSearch.h"

#include <memory>

// A simulated dialler set up as a believable site (firmware 3.25 on the 4G
// hardware, a dozen contacts, named inputs, one output on), and the device
// search that shows it to the program as the one attached dialler.
class DemoDialler {
public:
    DemoDialler(); // throws std::runtime_error when no pseudo-terminal is free

    // A search for the window; the dialler must outlive it.
    std::unique_ptr<DeviceSearch> MakeSearch() const;
    // The port's name as the window shows it, for example "pts/4".
    QString PortName() const;
    // The terminal the program opens, for example /dev/pts/4.
    QString PortPath() const { return mSimulator.PortName(); }

    DiallerSimulator& Simulator() { return mSimulator; }

private:
    DiallerSimulator mSimulator;
};
