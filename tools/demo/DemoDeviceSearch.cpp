#include "DemoDeviceSearch.h"

#include "device/FindDiallerPort.h"

DemoDeviceSearch::DemoDeviceSearch(QString portPath) : mPortPath(std::move(portPath)) {
    mPortName = mPortPath.startsWith(QLatin1String("/dev/")) ? mPortPath.mid(5) : mPortPath;
}

DeviceSearchResult DemoDeviceSearch::FindDevice(const UsbIdentity& identity) {
    const UsbIdentity& dialler = DiallerUsbIdentity;
    const bool isDialler =
        identity.VendorId == dialler.VendorId && identity.ProductId == dialler.ProductId &&
        identity.Description.compare(dialler.Description, Qt::CaseInsensitive) == 0;
    return isDialler ? DeviceSearchResult{mPortName, false} : DeviceSearchResult{};
}

QStringList DemoDeviceSearch::SerialPortNames() {
    return {mPortName};
}

QString DemoDeviceSearch::PortPath(const QString& portName) const {
    return portName == mPortName ? mPortPath : QString();
}
