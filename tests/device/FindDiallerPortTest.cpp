#include "device/FindDiallerPort.h"

#include <gtest/gtest.h>

namespace {

// Answers with whatever the test put in and remembers what it was asked for.
class StubSearch : public DeviceSearch {
public:
    DeviceSearchResult FindDevice(const UsbIdentity& identity) override {
        Asked = identity;
        return Result;
    }
    QStringList SerialPortNames() override { return Ports; }
    QString PortPath(const QString& portName) const override { return portName; }

    QStringList Ports;
    DeviceSearchResult Result;
    UsbIdentity Asked;
};

} // namespace

TEST(KnownPortList, SortsByTrailingNumberThenByName) {
    EXPECT_EQ(KnownPortList::Join({"COM12", "COM3", "COM1"}), "COM1_COM3_COM12_");
    EXPECT_EQ(KnownPortList::Join({"ttyACM10", "ttyUSB0", "ttyACM2", "ttyS0", "rfcomm", "ttyACM0"}),
              "rfcomm_ttyACM0_ttyS0_ttyUSB0_ttyACM2_ttyACM10_");
    EXPECT_EQ(KnownPortList::Join({}), "");
}

TEST(KnownPortList, ChangeIgnoresOrderAndLetterCase) {
    KnownPortList known;
    EXPECT_FALSE(known.Update({}));
    EXPECT_TRUE(known.Update({"COM3", "COM1"}));
    EXPECT_EQ(known.Text(), "COM1_COM3_");
    EXPECT_FALSE(known.Update({"COM1", "COM3"}));
    EXPECT_FALSE(known.Update({"com1", "Com3"}));
    EXPECT_TRUE(known.Update({"COM1"}));
    EXPECT_TRUE(known.Update({}));
    EXPECT_EQ(known.Text(), "");
}

TEST(FindDiallerPort, ReportsPortChangesAndTheDiallerFound) {
    StubSearch search;
    KnownPortList known;

    search.Ports = {"ttyACM0"};
    search.Result = {QStringLiteral("ttyACM0"), false};
    DiallerPortSearch found = FindDiallerPort(search, known);
    EXPECT_TRUE(found.PortListChanged);
    EXPECT_EQ(found.Dialler.PortName, "ttyACM0");
    EXPECT_EQ(search.Asked.VendorId, 0x2341);
    EXPECT_EQ(search.Asked.ProductId, 0x804D);
    EXPECT_EQ(search.Asked.Description, "TEMBA ORNEX");

    // Nothing plugged or unplugged: the dialler is still searched for.
    search.Result = {QString(), true};
    found = FindDiallerPort(search, known);
    EXPECT_FALSE(found.PortListChanged);
    EXPECT_TRUE(found.Dialler.Conflict);

    search.Ports = {};
    search.Result = {};
    found = FindDiallerPort(search, known);
    EXPECT_TRUE(found.PortListChanged);
    EXPECT_FALSE(found.Dialler.Found());
}

TEST(ConnectionAttemptDue, WhileAPortIsChosenButTheLinkIsNotUp) {
    const QString port = QStringLiteral("ttyACM0");
    // Connected and open: nothing to do, whatever else plugs in or out.
    EXPECT_FALSE(ConnectionAttemptDue(port, true, true, false, port));
    EXPECT_FALSE(ConnectionAttemptDue(port, true, true, true, port));
    // The last attempt failed, or a port error closed the port.
    EXPECT_TRUE(ConnectionAttemptDue(port, false, true, false, port));
    EXPECT_TRUE(ConnectionAttemptDue(port, true, false, false, port));
    // The name chosen at start is tried even before anything changes.
    EXPECT_TRUE(ConnectionAttemptDue(QStringLiteral("COM1"), false, false, false, port));
}

TEST(ConnectionAttemptDue, AMissingDiallerIsTriedOnlyWhenThePortListChanges) {
    const QString port = QStringLiteral("ttyACM0");
    EXPECT_FALSE(ConnectionAttemptDue(QString(), false, false, false, port));
    EXPECT_TRUE(ConnectionAttemptDue(QString(), false, false, true, port));
}

TEST(ConnectionAttemptDue, ADiallerOnAnotherPortIsFollowedWhenThePortListChanges) {
    const QString old = QStringLiteral("ttyACM0");
    const QString moved = QStringLiteral("ttyACM1");
    EXPECT_TRUE(ConnectionAttemptDue(old, true, true, true, moved));
    // Names are compared exactly.
    EXPECT_TRUE(ConnectionAttemptDue(QStringLiteral("TTYACM0"), true, true, true, old));
    EXPECT_FALSE(ConnectionAttemptDue(old, true, true, false, moved));
}
