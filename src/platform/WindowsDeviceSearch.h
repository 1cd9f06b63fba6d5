#pragma once

#include "platform/DeviceSearch.h"

// The device search on Windows: the Win32 search with its results turned into
// port names such as "COM5".
class WindowsDeviceSearch : public DeviceSearch {
public:
    DeviceSearchResult FindDevice(const UsbIdentity& identity) override;
    QStringList SerialPortNames() override;
    QString PortPath(const QString& portName) const override;
};
