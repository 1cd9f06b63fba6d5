#pragma once

#include "platform/DeviceSearch.h"

// Finds USB serial devices through the kernel's device tree, so no udev daemon
// or library is needed: every tty that belongs to a device is listed under
// <sys>/class/tty with a "device" link, and the USB device it hangs off is the
// first folder above that link that carries idVendor and idProduct.
class LinuxDeviceSearch : public DeviceSearch {
public:
    // The roots are parameters so that tests can build a tree of their own.
    explicit LinuxDeviceSearch(QString sysRoot = QStringLiteral("/sys"),
                               QString devRoot = QStringLiteral("/dev"));

    DeviceSearchResult FindDevice(const UsbIdentity& identity) override;
    QStringList SerialPortNames() override;
    QString PortPath(const QString& portName) const override;

private:
    QString mSysRoot;
    QString mDevRoot;
};
