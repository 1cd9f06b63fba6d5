#include "platform/WindowsDeviceIds.h"

#include <gtest/gtest.h>

TEST(ReadUsbInstanceIds, ReadsVendorAndProductInHex) {
    EXPECT_EQ(ReadUsbInstanceIds("USB\\VID_2341&PID_804D&MI_00\\6&3A1F2B7C&0&0000"),
              (UsbInstanceIds{0x2341, 0x804D}));
    EXPECT_EQ(ReadUsbInstanceIds("USB\\VID_2341&PID_004d\\5&1234"),
              (UsbInstanceIds{0x2341, 0x004D}));
}

TEST(ReadUsbInstanceIds, UnreadableIdsAreZeroAndMissingMarkersNoMatch) {
    EXPECT_EQ(ReadUsbInstanceIds("USB\\VID_23G1&PID_804D\\1"), (UsbInstanceIds{0, 0x804D}));
    // The ID ends early: what is there is read.
    EXPECT_EQ(ReadUsbInstanceIds("USB\\PID_804D&VID_23"), (UsbInstanceIds{0x23, 0x804D}));
    EXPECT_EQ(ReadUsbInstanceIds("USB\\ROOT_HUB30\\4&2B6E1F1&0&0"), std::nullopt);
    EXPECT_EQ(ReadUsbInstanceIds("USB\\VID_2341\\1"), std::nullopt);
    EXPECT_EQ(ReadUsbInstanceIds(""), std::nullopt);
}

TEST(PortNumberFromFriendlyName, ReadsTheNumberAfterCom) {
    EXPECT_EQ(PortNumberFromFriendlyName(L"USB Serial Device (COM5)"), 5);
    EXPECT_EQ(PortNumberFromFriendlyName(L"TEMBA ORNEX (COM12)"), 12);
    EXPECT_EQ(PortNumberFromFriendlyName(L"TEMBA ORNEX (COM12) (COM3)"), 12);
    EXPECT_EQ(PortNumberFromFriendlyName(L"TEMBA ORNEX"), 0);
    EXPECT_EQ(PortNumberFromFriendlyName(L"TEMBA ORNEX (LPT1)"), 0);
}

TEST(PortNumberFromFriendlyName, MarkerWithoutANumberIsTheFirstPort) {
    EXPECT_EQ(PortNumberFromFriendlyName(L"Device (COM)"), 1);
    EXPECT_EQ(PortNumberFromFriendlyName(L"Device (COMx)"), 1);
    EXPECT_EQ(PortNumberFromFriendlyName(L"Device (COM-3)"), 1);
    // Only ten characters are read, and these are too many digits for a port.
    EXPECT_EQ(PortNumberFromFriendlyName(L"Device (COM987654321012)"), 1);
    // No closing bracket: the ten characters are the number.
    EXPECT_EQ(PortNumberFromFriendlyName(L"Device (COM7"), 7);
}
