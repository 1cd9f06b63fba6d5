#include "DemoDeviceSearch.h"

#include "DemoUsbBus.h"

DeviceSearchResult DemoDeviceSearch::FindDevice(const UsbIdentity& identity) {
    return mBus.FindDevice(identity);
}

QStringList DemoDeviceSearch::SerialPortNames() {
    return mBus.SerialPortNames();
}

QString DemoDeviceSearch::PortPath(const QString& portName) const {
    return mBus.PortPath(portName);
}
