#include "platform/LinuxDeviceSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

struct UsbAttributes {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    QString Product;
};

QByteArray ReadAttribute(const QDir& device, const char* name) {
    QFile file(device.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Attribute files are a single short line; the cap keeps a stray large
    // file from being read whole.
    return file.read(4096);
}

std::optional<std::uint16_t> ReadHexAttribute(const QDir& device, const char* name) {
    bool ok = false;
    const uint value = ReadAttribute(device, name).trimmed().toUInt(&ok, 16);
    if (!ok || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// The USB device a tty belongs to: for a CDC port the "device" link leads to
// the USB interface, whose parent is the device; other drivers add levels in
// between, hence the walk.
std::optional<UsbAttributes> UsbParentOf(const QString& ttyFolder) {
    const QString target = QFileInfo(ttyFolder + QStringLiteral("/device")).canonicalFilePath();
    if (target.isEmpty()) {
        return std::nullopt;
    }
    QDir folder(target);
    do {
        if (folder.exists(QStringLiteral("idVendor")) &&
            folder.exists(QStringLiteral("idProduct"))) {
            const auto vendor = ReadHexAttribute(folder, "idVendor");
            const auto product = ReadHexAttribute(folder, "idProduct");
            if (!vendor || !product) {
                return std::nullopt;
            }
            QByteArray description = ReadAttribute(folder, "product");
            if (description.endsWith('\n')) {
                description.chop(1);
            }
            return UsbAttributes{*vendor, *product, QString::fromUtf8(description)};
        }
    } while (folder.cdUp());
    return std::nullopt;
}

} // namespace

LinuxDeviceSearch::LinuxDeviceSearch(QString sysRoot, QString devRoot)
    : mSysRoot(std::move(sysRoot)), mDevRoot(std::move(devRoot)) {}

QStringList LinuxDeviceSearch::SerialPortNames() {
    // Virtual consoles and pseudo-terminals have no "device" link; every port
    // backed by hardware has one.
    const QDir ttyClass(mSysRoot + QStringLiteral("/class/tty"));
    QStringList names;
    const QStringList entries =
        ttyClass.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : entries) {
        if (QFileInfo::exists(ttyClass.filePath(name) + QStringLiteral("/device"))) {
            names << name;
        }
    }
    return names;
}

DeviceSearchResult LinuxDeviceSearch::FindDevice(const UsbIdentity& identity) {
    const QDir ttyClass(mSysRoot + QStringLiteral("/class/tty"));
    QStringList matches;
    for (const QString& name : SerialPortNames()) {
        const auto usb = UsbParentOf(ttyClass.filePath(name));
        if (usb && usb->VendorId == identity.VendorId && usb->ProductId == identity.ProductId &&
            usb->Product.compare(identity.Description, Qt::CaseInsensitive) == 0) {
            matches << name;
        }
    }
    return CombineFoundPorts(matches);
}

QString LinuxDeviceSearch::PortPath(const QString& portName) const {
    return mDevRoot + QLatin1Char('/') + portName;
}
