#include "DemoUsbBus.h"

#include "device/FindDiallerPort.h"
#include "firmware/FindBootloaderPort.h"

namespace {

bool Matches(const UsbIdentity& wanted, const UsbIdentity& device) {
    return wanted.VendorId == device.VendorId && wanted.ProductId == device.ProductId &&
           wanted.Description.compare(device.Description, Qt::CaseInsensitive) == 0;
}

} // namespace

void DemoUsbBus::Attach(Device device, const QString& portPath) {
    const std::lock_guard lock(mMutex);
    mPorts.insert(device, portPath);
}

void DemoUsbBus::Detach(Device device, const QString& portPath) {
    const std::lock_guard lock(mMutex);
    if (mPorts.value(device) == portPath) {
        mPorts.remove(device);
    }
}

DeviceSearchResult DemoUsbBus::FindDevice(const UsbIdentity& identity) const {
    const std::lock_guard lock(mMutex);
    for (auto port = mPorts.cbegin(); port != mPorts.cend(); ++port) {
        const UsbIdentity& device =
            port.key() == Device::Dialler ? DiallerUsbIdentity : BootloaderUsbIdentity;
        if (Matches(identity, device)) {
            return {PortNameOf(port.value()), false};
        }
    }
    return {};
}

QStringList DemoUsbBus::SerialPortNames() const {
    const std::lock_guard lock(mMutex);
    QStringList names;
    for (const QString& path : mPorts) {
        names << PortNameOf(path);
    }
    return names;
}

QString DemoUsbBus::PortPath(const QString& portName) const {
    const std::lock_guard lock(mMutex);
    for (const QString& path : mPorts) {
        if (PortNameOf(path) == portName) {
            return path;
        }
    }
    return QString();
}

QString DemoUsbBus::PortNameOf(const QString& portPath) {
    return portPath.startsWith(QLatin1String("/dev/")) ? portPath.mid(5) : portPath;
}
