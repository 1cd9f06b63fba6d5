#include "firmware/FindBootloaderPort.h"

DeviceSearchResult FindBootloaderPort(DeviceSearch& search) {
    return search.FindDevice(BootloaderUsbIdentity);
}
