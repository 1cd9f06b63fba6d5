#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// What a USB device tells the system about itself, and what the search matches
// on. The vendor ID alone is not enough: the maker's vendor ID is shared with
// other boards, so the product string reported by the bus is compared as well.
struct UsbIdentity {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    QString Description; // compared ignoring case
};

// The outcome of one search for a device.
struct DeviceSearchResult {
    // The port's name as the system names it ("ttyACM0", "COM5"); empty when
    // no matching device is attached.
    QString PortName;
    // Two matching devices sit on different ports. Which one was meant cannot
    // be told, so no port is given.
    bool Conflict = false;

    bool Found() const { return !PortName.isEmpty(); }
    bool operator==(const DeviceSearchResult&) const = default;
};

// Sums up the ports of every matching device seen during one search: the same
// port reported twice (a device listed under two entries) is still one device.
DeviceSearchResult CombineFoundPorts(const QStringList& portNames);

// Looks for attached USB serial devices. The windows get one of these handed
// in, so tests can give them a search over a fake device tree or a stub.
class DeviceSearch {
public:
    virtual ~DeviceSearch() = default;

    // The serial port of the attached device with this identity.
    virtual DeviceSearchResult FindDevice(const UsbIdentity& identity) = 0;
    // The names of the system's serial ports, in no particular order; empty
    // when the system's list cannot be read.
    virtual QStringList SerialPortNames() = 0;
    // What the serial port is opened with for a name this search gave out.
    virtual QString PortPath(const QString& portName) const = 0;
};

// A search that finds no device and no port. Windows built without a search
// of their own get it, so that a window made in a test never looks at, let
// alone opens, a port of the machine it runs on.
class NoDeviceSearch : public DeviceSearch {
public:
    DeviceSearchResult FindDevice(const UsbIdentity&) override { return {}; }
    QStringList SerialPortNames() override { return {}; }
    QString PortPath(const QString& portName) const override { return portName; }
};

// A search that reports one port, named by the user, for every device it is
// asked about, whatever is attached: for a dialler whose USB adapter reports
// another identity, or a system whose device list does not carry it (Wine).
// The port is opened as the system's search would open a port of that name;
// a name that is a path already ("/dev/ttyUSB0") is opened as it is.
class FixedPortSearch : public DeviceSearch {
public:
    explicit FixedPortSearch(const QString& portName);

    DeviceSearchResult FindDevice(const UsbIdentity&) override { return {mPortName, false}; }
    QStringList SerialPortNames() override { return {mPortName}; }
    QString PortPath(const QString& portName) const override;

private:
    QString mPortName;
    std::unique_ptr<DeviceSearch> mSystem; // for the path of a port's name
};

// The search over this machine's devices.
std::unique_ptr<DeviceSearch> CreateSystemDeviceSearch();
