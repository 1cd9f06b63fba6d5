#include "DemoDialler.h"

#include "DemoDeviceSearch.h"
#include "DemoSite.h"

DemoDialler::DemoDialler() {
    mSimulator.SetFirmwareVersion(3, 25, 2);
    mSimulator.SetSettings(DemoSite());
    mSimulator.SetOutput(1, true);
    mSimulator.SetOutput(2, false);
}

std::unique_ptr<DeviceSearch> DemoDialler::MakeSearch() const {
    return std::make_unique<DemoDeviceSearch>(mSimulator.PortName());
}

QString DemoDialler::PortName() const {
    return DemoDeviceSearch(mSimulator.PortName()).PortName();
}
