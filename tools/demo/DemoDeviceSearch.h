#pragma once

#include "platform/DeviceSearch.h"

class DemoUsbBus;

// A device search over the demo's bus: it reports the simulated dialler, or
// its bootloader while that runs, and nothing else, so the program finds
// them exactly as it would find real ones.
class DemoDeviceSearch : public DeviceSearch {
public:
    // The bus must outlive the search.
    explicit DemoDeviceSearch(const DemoUsbBus& bus) : mBus(bus) {}

    DeviceSearchResult FindDevice(const UsbIdentity& identity) override;
    QStringList SerialPortNames() override;
    QString PortPath(const QString& portName) const override;

private:
    const DemoUsbBus& mBus;
};
