#include "platform/WindowsDeviceIds.h"

#include <limits>

namespace {

constexpr std::size_t IdDigits = 4;
constexpr std::size_t PortDigitsMax = 10;

std::uint16_t HexIdAfter(std::string_view text, std::size_t start) {
    const std::string_view digits = text.substr(start, IdDigits);
    if (digits.empty()) {
        return 0;
    }
    std::uint16_t value = 0;
    for (const char c : digits) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return 0;
        }
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

// A decimal number of digits only; no sign, no blanks.
std::optional<int> ReadDecimal(std::wstring_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - L'0');
        if (value > std::numeric_limits<int>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<int>(value);
}

} // namespace

std::optional<UsbInstanceIds> ReadUsbInstanceIds(std::string_view instanceId) {
    constexpr std::string_view VendorMarker = "VID_";
    constexpr std::string_view ProductMarker = "PID_";
    const std::size_t vendor = instanceId.find(VendorMarker);
    const std::size_t product = instanceId.find(ProductMarker);
    if (vendor == std::string_view::npos || product == std::string_view::npos) {
        return std::nullopt;
    }
    return UsbInstanceIds{HexIdAfter(instanceId, vendor + VendorMarker.size()),
                          HexIdAfter(instanceId, product + ProductMarker.size())};
}

int PortNumberFromFriendlyName(std::wstring_view friendlyName) {
    constexpr std::wstring_view Marker = L"(COM";
    const std::size_t marker = friendlyName.find(Marker);
    if (marker == std::wstring_view::npos) {
        return 0;
    }
    std::wstring_view digits = friendlyName.substr(marker + Marker.size(), PortDigitsMax);
    digits = digits.substr(0, digits.find(L')'));
    // Windows always writes the number here; a name that has the marker but
    // no readable number is still taken as a port, the first one.
    return ReadDecimal(digits).value_or(1);
}
