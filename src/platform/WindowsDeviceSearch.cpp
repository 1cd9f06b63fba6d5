#include "platform/WindowsDeviceSearch.h"

#include "platform/WindowsSetupApi.h"

DeviceSearchResult WindowsDeviceSearch::FindDevice(const UsbIdentity& identity) {
    QStringList names;
    for (const int port : WindowsSetupApi::FindDevicePorts(identity.VendorId, identity.ProductId,
                                                            identity.Description.toStdWString())) {
        names << QStringLiteral("COM%1").arg(port);
    }
    return CombineFoundPorts(names);
}

QStringList WindowsDeviceSearch::SerialPortNames() {
    QStringList names;
    for (const std::wstring& name : WindowsSetupApi::SerialPortNames()) {
        names << QString::fromStdWString(name);
    }
    return names;
}

QString WindowsDeviceSearch::PortPath(const QString& portName) const {
    // The serial port turns "COM5" into the device path itself.
    return portName;
}
