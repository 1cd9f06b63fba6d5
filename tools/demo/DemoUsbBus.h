#pragma once

#include "SimulatedUsbBus.h"
#include "platform/DeviceSearch.h"

#include <QMap>

#include <mutex>

// The demo's USB bus: the simulated dialler's and bootloader's
// pseudo-terminals, whichever of the two is running, and nothing else of the
// machine. Ports are named as the program shows them, the path after
// "/dev/" ("pts/4").
class DemoUsbBus : public SimulatedUsbBus {
public:
    void Attach(Device device, const QString& portPath) override;
    void Detach(Device device, const QString& portPath) override;

    DeviceSearchResult FindDevice(const UsbIdentity& identity) const;
    QStringList SerialPortNames() const;
    QString PortPath(const QString& portName) const;

    static QString PortNameOf(const QString& portPath);

private:
    mutable std::mutex mMutex;
    QMap<Device, QString> mPorts; // device -> port path
};
