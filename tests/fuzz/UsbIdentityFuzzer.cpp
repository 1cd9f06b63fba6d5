// What Windows reports about a USB device: its instance ID and the friendly
// name with the port number. The search trusts these to pick the dialler and
// its port.
#include "FuzzCheck.h"

#include "platform/WindowsDeviceIds.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<UsbInstanceIds> ids = ReadUsbInstanceIds(text)) {
        FUZZ_CHECK(text.find("VID_") != std::string_view::npos);
        FUZZ_CHECK(text.find("PID_") != std::string_view::npos);
    }

    // The friendly name in UTF-16, as the system hands it over.
    std::wstring name;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        name.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    const int port = PortNumberFromFriendlyName(name);
    FUZZ_CHECK(port >= 0);
    if (name.find(L"(COM") == std::wstring::npos) {
        FUZZ_CHECK(port == 0);
    }
    return 0;
}
