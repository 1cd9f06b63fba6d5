#include "platform/WindowsSetupApi.h"

#include "platform/WindowsDeviceIds.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

// The property keys are only declared by the SDK header; initguid.h makes this
// file the one that defines them.
#include <initguid.h>

#include <devpkey.h>

#include <algorithm>
#include <array>

namespace {

constexpr DWORD PropertyBufferBytes = 8192;
constexpr ULONG InstanceIdChars = 260;

class DeviceSet {
public:
    DeviceSet()
        : mHandle(SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES)) {
    }
    ~DeviceSet() {
        if (Valid()) {
            SetupDiDestroyDeviceInfoList(mHandle);
        }
    }
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;

    bool Valid() const { return mHandle != INVALID_HANDLE_VALUE; }
    HDEVINFO Handle() const { return mHandle; }

private:
    HDEVINFO mHandle;
};

// A string property of the device, or false when it is missing or not a
// string. The buffer is shared by the reads of one device.
bool ReadStringProperty(HDEVINFO set, SP_DEVINFO_DATA& device, const DEVPROPKEY& key,
                        std::vector<wchar_t>& buffer, std::wstring& value) {
    DEVPROPTYPE type = 0;
    DWORD size = 0;
    if (!SetupDiGetDevicePropertyW(set, &device, &key, &type,
                                   reinterpret_cast<PBYTE>(buffer.data()),
                                   static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), &size, 0) ||
        type != DEVPROP_TYPE_STRING) {
        return false;
    }
    // The stored text need not end in a zero, so never read past what was
    // written or past the buffer.
    const std::size_t written = std::min<std::size_t>(size / sizeof(wchar_t), buffer.size());
    const auto end = std::find(buffer.begin(), buffer.begin() + written, L'\0');
    value.assign(buffer.begin(), end);
    return true;
}

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The port number of one device, 0 when it is not the device sought or names
// no port.
int PortOfDevice(HDEVINFO set, SP_DEVINFO_DATA& device, std::uint16_t vendorId,
                 std::uint16_t productId, const std::wstring& description,
                 std::vector<wchar_t>& buffer) {
    // One more than the length passed, so the ID always ends in a zero.
    std::array<char, InstanceIdChars + 1> instanceId{};
    if (CM_Get_Device_IDA(device.DevInst, instanceId.data(), InstanceIdChars, 0) != CR_SUCCESS) {
        return 0;
    }
    const auto ids = ReadUsbInstanceIds(instanceId.data());
    if (!ids || ids->VendorId != vendorId || ids->ProductId != productId) {
        return 0;
    }
    std::wstring text;
    if (!ReadStringProperty(set, device, DEVPKEY_Device_BusReportedDeviceDesc, buffer, text) ||
        !SameTextIgnoringCase(text, description)) {
        return 0;
    }
    if (!ReadStringProperty(set, device, DEVPKEY_Device_FriendlyName, buffer, text)) {
        return 0;
    }
    return PortNumberFromFriendlyName(text);
}

} // namespace

namespace WindowsSetupApi {

std::vector<int> FindDevicePorts(std::uint16_t vendorId, std::uint16_t productId,
                                 const std::wstring& description) {
    std::vector<int> ports;
    const DeviceSet set;
    if (!set.Valid()) {
        return ports;
    }
    std::vector<wchar_t> buffer(PropertyBufferBytes / sizeof(wchar_t));
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Handle(), index, &device); ++index) {
        const int port =
            PortOfDevice(set.Handle(), device, vendorId, productId, description, buffer);
        if (port == 0) {
            continue;
        }
        ports.push_back(port);
        if (ports.front() != port) {
            break;
        }
    }
    return ports;
}

std::vector<std::wstring> SerialPortNames() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    DWORD valueCount = 0;
    DWORD nameChars = 0;
    DWORD dataBytes = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                         &nameChars, &dataBytes, nullptr, nullptr) == ERROR_SUCCESS) {
        // Each value maps a driver's device to the port name it was given.
        std::vector<wchar_t> name(nameChars + 1);
        std::vector<wchar_t> data(dataBytes / sizeof(wchar_t) + 1);
        for (DWORD index = 0; index < valueCount; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataLength = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
            DWORD type = 0;
            if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                              reinterpret_cast<LPBYTE>(data.data()),
                              &dataLength) != ERROR_SUCCESS ||
                type != REG_SZ) {
                continue;
            }
            const auto begin = data.begin();
            const auto end = std::find(begin, begin + dataLength / sizeof(wchar_t), L'\0');
            if (end != begin) {
                names.emplace_back(begin, end);
            }
        }
    }
    RegCloseKey(key);
    return names;
}

} // namespace WindowsSetupApi
