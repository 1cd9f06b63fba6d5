#pragma once

#include "platform/DeviceSearch.h"

// A device search that reports one attached dialler on the simulator's
// pseudo-terminal and nothing else, so the program connects to the simulated
// dialler exactly as it would to a real one.
class DemoDeviceSearch : public DeviceSearch {
public:
    // `portPath` is the simulator's terminal, for example /dev/pts/4.
    explicit DemoDeviceSearch(QString portPath);

    // The name the program shows for the port, for example "pts/4".
    QString PortName() const { return mPortName; }

    DeviceSearchResult FindDevice(const UsbIdentity& identity) override;
    QStringList SerialPortNames() override;
    QString PortPath(const QString& portName) const override;

private:
    QString mPortPath;
    QString mPortName;
};
