#include "device/DiallerVersion.h"
#include "device/LinkStatusText.h"

#include <gtest/gtest.h>

TEST(ParseVersionReply, ReadsMajorMinorAndVariant) {
    EXPECT_EQ(ParseVersionReply("SW 3.14, HW 1"), (DiallerVersion{3, 14, 1}));
    EXPECT_EQ(ParseVersionReply("SW 3.9, HW 2"), (DiallerVersion{3, 9, 2}));
    // What precedes "SW " is dropped: a carriage return or line feed left in
    // front of the line does no harm.
    EXPECT_EQ(ParseVersionReply("\r\nSW 3.25, HW 7"), (DiallerVersion{3, 25, 7}));
    EXPECT_EQ(ParseVersionReply("3.14, HW 1"), (DiallerVersion{3, 14, 1}));
}

TEST(ParseVersionReply, MissingOrBrokenFieldsAreMinusOne) {
    const DiallerVersion noHardware = ParseVersionReply("SW 3.14");
    EXPECT_EQ(noHardware.FirmwareMajor, 3);
    EXPECT_EQ(noHardware.FirmwareMinor, -1);
    EXPECT_FALSE(noHardware.IsComplete());

    EXPECT_EQ(ParseVersionReply("SW 3, HW 1"), (DiallerVersion{-1, 3, 1}));
    EXPECT_EQ(ParseVersionReply("SW x.14, HW 1").FirmwareMajor, -1);
    EXPECT_EQ(ParseVersionReply("SW 3.14, HW ").HardwareVariant, -1);
    EXPECT_EQ(ParseVersionReply("SW 3.14, HW 1a").HardwareVariant, -1);
    EXPECT_EQ(ParseVersionReply("SW 3.1 4, HW 1").FirmwareMinor, -1);
    EXPECT_EQ(ParseVersionReply("SW 99999999999.1, HW 1").FirmwareMajor, -1);
    EXPECT_FALSE(ParseVersionReply("").IsComplete());
    EXPECT_FALSE(ParseVersionReply("ERROR").IsComplete());
    EXPECT_TRUE(ParseVersionReply("SW 3.14, HW 7").IsComplete());
}

TEST(DiallerVersion, ComparesVersionsAsNumbers) {
    EXPECT_TRUE(NeedsFirmwareUpgrade({3, 9, 2}));
    EXPECT_TRUE(NeedsFirmwareUpgrade({3, 13, 1}));
    EXPECT_TRUE(NeedsFirmwareUpgrade({2, 99, 1}));
    EXPECT_FALSE(NeedsFirmwareUpgrade({3, 14, 1}));
    EXPECT_FALSE(NeedsFirmwareUpgrade({3, 100, 1}));
    EXPECT_FALSE(NeedsFirmwareUpgrade({4, 0, 1}));
    EXPECT_TRUE(DiallerVersion({3, 24, 1}).IsOlderThan(3, 25));
    EXPECT_FALSE(DiallerVersion({3, 25, 1}).IsOlderThan(3, 25));
}

TEST(LinkStatusText, NamesModelVersionAndPort) {
    EXPECT_EQ(LinkStatusText(LinkState::Connected, "COM5", {3, 14, 1}),
              "ORNEX-3G v3.14 on COM5 - connected");
    EXPECT_EQ(LinkStatusText(LinkState::Connected, "ttyACM0", {3, 9, 2}),
              "ORNEX-4G v3.9 on ttyACM0 - connected");
    EXPECT_EQ(LinkStatusText(LinkState::Connected, "ttyACM0", {3, 14, 7}),
              "ORNEX v3.14 on ttyACM0 - connected");
    EXPECT_EQ(LinkStatusText(LinkState::CannotConnect, "ttyACM1"),
              "ORNEX on ttyACM1 - cannot connect");
    EXPECT_EQ(LinkStatusText(LinkState::NotDetected), "ORNEX not detected");
    EXPECT_EQ(LinkStatusText(LinkState::SeveralFound), "ERROR: Multiple ORNEX found");
    EXPECT_EQ(LinkStatusText(LinkState::DisconnectedByUser), "DISCONNECTED");
}

TEST(LinkStatusText, FirmwareWarningNamesBothVersions) {
    EXPECT_EQ(FirmwareWarningText({3, 9, 2}),
              "The firmware in the attached ORNEX (v3.9) needs to be upgraded to version 3.14");
    EXPECT_EQ(FirmwareWarningTitle, "ORNEX firmware");
}
