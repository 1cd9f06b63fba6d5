#include "support/FakeDeviceTree.h"

#include "platform/LinuxDeviceSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

void WriteAttribute(const QString& path, const QByteArray& value) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(value + '\n');
}

void Link(const QString& target, const QString& link) {
    ASSERT_TRUE(QFile::link(target, link)) << link.toStdString();
}

} // namespace

FakeDeviceTree::FakeDeviceTree() {
    EXPECT_TRUE(mRoot.isValid());
    QDir root(mRoot.path());
    EXPECT_TRUE(root.mkpath(QStringLiteral("sys/class/tty")));
    EXPECT_TRUE(root.mkpath(QStringLiteral("dev")));
}

QString FakeDeviceTree::Sys() const {
    return mRoot.filePath(QStringLiteral("sys"));
}

QString FakeDeviceTree::Dev() const {
    return mRoot.filePath(QStringLiteral("dev"));
}

void FakeDeviceTree::AddDialler(const QString& tty, const QString& portPath) {
    AddUsbPort(tty, "2341", "804d", "TEMBA ORNEX", portPath);
}

void FakeDeviceTree::AddUsbPort(const QString& tty, const QByteArray& vendorId,
                                const QByteArray& productId, const QByteArray& product,
                                const QString& portPath) {
    ++mUsbCount;
    const QString device = Sys() + QStringLiteral("/devices/pci0000:00/usb1/1-%1").arg(mUsbCount);
    const QString interface = device + QStringLiteral("/1-%1:1.0").arg(mUsbCount);
    const QString ttyFolder = interface + QStringLiteral("/tty/") + tty;
    ASSERT_TRUE(QDir().mkpath(ttyFolder));
    WriteAttribute(device + QStringLiteral("/idVendor"), vendorId);
    WriteAttribute(device + QStringLiteral("/idProduct"), productId);
    WriteAttribute(device + QStringLiteral("/product"), product);
    WriteAttribute(interface + QStringLiteral("/bInterfaceClass"), "02");
    Link(interface, ttyFolder + QStringLiteral("/device"));
    Link(ttyFolder, Sys() + QStringLiteral("/class/tty/") + tty);
    Link(portPath, Dev() + QLatin1Char('/') + tty);
}

void FakeDeviceTree::RemovePort(const QString& tty) {
    EXPECT_TRUE(QFile::remove(Sys() + QStringLiteral("/class/tty/") + tty));
    EXPECT_TRUE(QFile::remove(Dev() + QLatin1Char('/') + tty));
}

void FakeDeviceTree::RedirectPort(const QString& tty, const QString& portPath) {
    const QString link = Dev() + QLatin1Char('/') + tty;
    EXPECT_TRUE(QFile::remove(link));
    Link(portPath, link);
}

std::unique_ptr<DeviceSearch> FakeDeviceTree::Search() const {
    return std::make_unique<LinuxDeviceSearch>(Sys(), Dev());
}

QString UniqueTtyName(const QString& portPath) {
    return QStringLiteral("ttyACM") + QFileInfo(portPath).fileName();
}
