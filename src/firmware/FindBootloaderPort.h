#pragma once

#include "platform/DeviceSearch.h"

// After "rst boot N;" the dialler restarts into its boot program, which shows
// up as a USB serial port of its own.
inline const UsbIdentity BootloaderUsbIdentity{0x2341, 0x004D, QStringLiteral("ORNEX Bootloader")};

// One look for the bootloader among the attached USB devices, in the same
// way as the dialler is looked for; the system's port list is neither read
// nor noted.
DeviceSearchResult FindBootloaderPort(DeviceSearch& search);
