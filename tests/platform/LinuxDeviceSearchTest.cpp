#include "platform/LinuxDeviceSearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const UsbIdentity Dialler{0x2341, 0x804D, QStringLiteral("TEMBA ORNEX")};
const UsbIdentity Bootloader{0x2341, 0x004D, QStringLiteral("ORNEX Bootloader")};

// A device tree laid out the way the kernel lays it out: the class entry is a
// link to the tty's own folder, whose "device" link leads to the USB
// interface (or further below it), and the USB device sits above that.
class FakeDeviceTree {
public:
    FakeDeviceTree() {
        EXPECT_TRUE(mRoot.isValid());
        QDir root(mRoot.path());
        EXPECT_TRUE(root.mkpath(QStringLiteral("sys/class/tty")));
        EXPECT_TRUE(root.mkpath(QStringLiteral("dev")));
        Write(root.filePath(QStringLiteral("port-stand-in")), "");
    }

    LinuxDeviceSearch Search() const { return LinuxDeviceSearch(Sys(), Dev()); }

    // A port of a USB device; `levels` folders between the interface and the
    // tty's device link, as drivers other than the CDC one add.
    void AddUsbPort(const QString& tty, const char* vendor, const char* product,
                    const char* productString, int levels = 0) {
        const QString device =
            Sys() + QStringLiteral("/devices/pci0000:00/usb1/1-%1").arg(++mUsbCount);
        QString parent = device + QStringLiteral("/1-%1:1.0").arg(mUsbCount);
        for (int i = 0; i < levels; ++i) {
            parent += QStringLiteral("/%1").arg(tty);
        }
        ASSERT_TRUE(QDir().mkpath(parent));
        Write(device + QStringLiteral("/idVendor"), QByteArray(vendor) + '\n');
        Write(device + QStringLiteral("/idProduct"), QByteArray(product) + '\n');
        Write(device + QStringLiteral("/product"), QByteArray(productString) + '\n');
        Write(device + QStringLiteral("/1-%1:1.0/bInterfaceClass").arg(mUsbCount), "02\n");
        AddTty(tty, parent);
    }

    // A port whose device is not on USB, like the built-in serial ports.
    void AddPlatformPort(const QString& tty) {
        const QString device = Sys() + QStringLiteral("/devices/platform/serial8250");
        ASSERT_TRUE(QDir().mkpath(device));
        AddTty(tty, device);
    }

    // A tty that no device backs, like a virtual console.
    void AddVirtualTty(const QString& tty) {
        const QString folder = Sys() + QStringLiteral("/devices/virtual/tty/") + tty;
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::link(folder, Sys() + QStringLiteral("/class/tty/") + tty));
    }

    QString Sys() const { return mRoot.filePath(QStringLiteral("sys")); }
    QString Dev() const { return mRoot.filePath(QStringLiteral("dev")); }

private:
    void AddTty(const QString& tty, const QString& deviceFolder) {
        const QString folder = deviceFolder + QStringLiteral("/tty/") + tty;
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::link(deviceFolder, folder + QStringLiteral("/device")));
        ASSERT_TRUE(QFile::link(folder, Sys() + QStringLiteral("/class/tty/") + tty));
        ASSERT_TRUE(QFile::link(mRoot.filePath(QStringLiteral("port-stand-in")),
                                Dev() + QLatin1Char('/') + tty));
    }

    static void Write(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir mRoot;
    int mUsbCount = 0;
};

} // namespace

TEST(LinuxDeviceSearch, ListsOnlyTtysBackedByADevice) {
    FakeDeviceTree tree;
    tree.AddVirtualTty(QStringLiteral("tty0"));
    tree.AddVirtualTty(QStringLiteral("ptmx"));
    tree.AddPlatformPort(QStringLiteral("ttyS0"));
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "TEMBA ORNEX");
    EXPECT_EQ(tree.Search().SerialPortNames(), QStringList({"ttyACM0", "ttyS0"}));
}

TEST(LinuxDeviceSearch, FindsTheDiallerAmongOtherPorts) {
    FakeDeviceTree tree;
    tree.AddVirtualTty(QStringLiteral("tty0"));
    tree.AddPlatformPort(QStringLiteral("ttyS0"));
    // Same IDs, other board: only the product string tells them apart.
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "Arduino Zero");
    tree.AddUsbPort(QStringLiteral("ttyACM1"), "0403", "804d", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM2"), "2341", "804e", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM3"), "2341", "804D", "TEMBA ORNEX");

    auto search = tree.Search();
    const DeviceSearchResult result = search.FindDevice(Dialler);
    EXPECT_EQ(result, (DeviceSearchResult{QStringLiteral("ttyACM3"), false}));

    const QString path = search.PortPath(result.PortName);
    EXPECT_EQ(path, tree.Dev() + QStringLiteral("/ttyACM3"));
    QFile port(path);
    EXPECT_TRUE(port.open(QIODevice::ReadWrite));
}

TEST(LinuxDeviceSearch, ComparesTheProductStringIgnoringCaseOnly) {
    FakeDeviceTree tree;
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "Temba Ornex");
    EXPECT_EQ(tree.Search().FindDevice(Dialler).PortName, QStringLiteral("ttyACM0"));

    FakeDeviceTree other;
    other.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "TEMBA ORNEX 2");
    other.AddUsbPort(QStringLiteral("ttyACM1"), "2341", "804d", "TEMBA");
    EXPECT_EQ(other.Search().FindDevice(Dialler), DeviceSearchResult());
}

TEST(LinuxDeviceSearch, WalksUpPastDriverFolders) {
    FakeDeviceTree tree;
    tree.AddUsbPort(QStringLiteral("ttyUSB0"), "2341", "804d", "TEMBA ORNEX", 2);
    EXPECT_EQ(tree.Search().FindDevice(Dialler).PortName, QStringLiteral("ttyUSB0"));
}

TEST(LinuxDeviceSearch, TwoDiallersOnDifferentPortsAreAConflict) {
    FakeDeviceTree tree;
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM7"), "2341", "804d", "temba ornex");
    EXPECT_EQ(tree.Search().FindDevice(Dialler), (DeviceSearchResult{QString(), true}));
}

TEST(LinuxDeviceSearch, TheIdentitySoughtIsAParameter) {
    FakeDeviceTree tree;
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "2341", "804d", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM1"), "2341", "004d", "ORNEX Bootloader");
    auto search = tree.Search();
    EXPECT_EQ(search.FindDevice(Dialler).PortName, QStringLiteral("ttyACM0"));
    EXPECT_EQ(search.FindDevice(Bootloader).PortName, QStringLiteral("ttyACM1"));
}

TEST(LinuxDeviceSearch, SkipsDevicesWithUnreadableIds) {
    FakeDeviceTree tree;
    tree.AddUsbPort(QStringLiteral("ttyACM0"), "23x1", "804d", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM1"), "2341", "", "TEMBA ORNEX");
    tree.AddUsbPort(QStringLiteral("ttyACM2"), "12341", "804d", "TEMBA ORNEX");
    EXPECT_EQ(tree.Search().FindDevice(Dialler), DeviceSearchResult());
}

TEST(LinuxDeviceSearch, MissingTreeFindsNothing) {
    QTemporaryDir empty;
    LinuxDeviceSearch search(empty.filePath(QStringLiteral("sys")), empty.path());
    EXPECT_TRUE(search.SerialPortNames().isEmpty());
    EXPECT_EQ(search.FindDevice(Dialler), DeviceSearchResult());
}

TEST(CombineFoundPorts, SamePortTwiceIsOneDeviceOtherPortIsAConflict) {
    EXPECT_EQ(CombineFoundPorts({}), DeviceSearchResult());
    EXPECT_EQ(CombineFoundPorts({"COM5", "COM5"}),
              (DeviceSearchResult{QStringLiteral("COM5"), false}));
    EXPECT_EQ(CombineFoundPorts({"COM3", "COM3", "COM7"}), (DeviceSearchResult{QString(), true}));
}
