#pragma once

#include "platform/DeviceSearch.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A device tree in a temporary folder, laid out as the kernel lays out /sys
// and /dev, for windows that search for the dialler in tests:
//
//     <root>/sys/class/tty/<tty>             link to the tty's own folder
//     <tty folder>/device                    link to the USB interface
//     <USB device>/idVendor, idProduct, product
//     <root>/dev/<tty>                       link to the port it stands for
//
// The /dev link leads to a real port, usually a simulated dialler's
// pseudo-terminal, so a window that finds the dialler here also opens it:
//
//     DiallerPtyServer dialler;
//     FakeDeviceTree devices;
//     devices.AddDialler(QStringLiteral("ttyACM0"), dialler.PortName());
//     TMainForm form(devices.Search());
//
// Failures to build the tree are test failures.
class FakeDeviceTree {
public:
    FakeDeviceTree();

    // A USB serial port with the dialler's identity (2341:804d, "TEMBA ORNEX").
    void AddDialler(const QString& tty, const QString& portPath);
    // A USB serial port of any identity; the IDs are written as the kernel
    // writes them, four hexadecimal digits.
    void AddUsbPort(const QString& tty, const QByteArray& vendorId, const QByteArray& productId,
                    const QByteArray& product, const QString& portPath);
    // Unplugs: the tty leaves the class list and /dev.
    void RemovePort(const QString& tty);
    // The tty's /dev entry now leads to another port, as when a device comes
    // back under the same name.
    void RedirectPort(const QString& tty, const QString& portPath);

    // A search over this tree; it may outlive the tree object but not its use.
    std::unique_ptr<DeviceSearch> Search() const;

    QString Sys() const;
    QString Dev() const;

private:
    QTemporaryDir mRoot;
    int mUsbCount = 0;
};

// A tty name for the simulated dialler on `portPath` ("/dev/pts/7" gives
// "ttyACM7"). Each running simulator holds its own pseudo-terminal, so the
// names of simulators that run at the same time, also in other test programs
// on this machine, differ; the serial library's lock files are named after
// them.
QString UniqueTtyName(const QString& portPath);
