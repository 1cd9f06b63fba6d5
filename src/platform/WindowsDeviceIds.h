#pragma once

// Reading the identity and the port out of the texts Windows keeps for a USB
// device. Plain C++ without Qt or Win32, so it builds and is tested anywhere.

#include <cstdint>
#include <optional>
#include <string_view>

struct UsbInstanceIds {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    bool operator==(const UsbInstanceIds&) const = default;
};

// The IDs in a device instance ID such as "USB\VID_2341&PID_804D&MI_00\6&1A2B".
// Each is the four characters after "VID_" or "PID_" read as hexadecimal, 0
// when they are not; nothing when the instance ID lacks either marker.
std::optional<UsbInstanceIds> ReadUsbInstanceIds(std::string_view instanceId);

// The port number in a friendly name such as "USB Serial Device (COM5)": 0 when
// the name has no "(COM", otherwise the number after it, read from at most ten
// characters up to the ")", or 1 when those are not a number.
int PortNumberFromFriendlyName(std::wstring_view friendlyName);
