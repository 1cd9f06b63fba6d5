#pragma once

// The Windows side of the device search, over SetupAPI and the configuration
// manager. Free of Qt so that it builds with the plain Windows toolchain;
// WindowsDeviceSearch turns its results into the program's types.

#include <cstdint>
#include <string>
#include <vector>

namespace WindowsSetupApi {

// The COM port numbers of the present USB devices with this identity, one
// entry per matching device in the order the system lists them. The search
// stops at the first number that differs from the one before, since two
// devices cannot both be meant. Empty when the device set cannot be obtained
// or nothing matches.
std::vector<int> FindDevicePorts(std::uint16_t vendorId, std::uint16_t productId,
                                 const std::wstring& description);

// The names of the system's serial ports ("COM1", "COM5"), from the serial
// device map; empty when the map cannot be read.
std::vector<std::wstring> SerialPortNames();

} // namespace WindowsSetupApi
