#pragma once

#include "device/KnownPortList.h"
#include "platform/DeviceSearch.h"

// The dialler shows up as a USB CDC port with this identity.
inline const UsbIdentity DiallerUsbIdentity{0x2341, 0x804D, QStringLiteral("TEMBA ORNEX")};

struct DiallerPortSearch {
    // A serial port came or went since the previous search.
    bool PortListChanged = false;
    DeviceSearchResult Dialler;
};

// One look for the dialler: notes in `knownPorts` whether the system's serial
// ports changed, then searches the USB devices for exactly one dialler.
DiallerPortSearch FindDiallerPort(DeviceSearch& search, KnownPortList& knownPorts);
