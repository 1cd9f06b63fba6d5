#pragma once

#include "device/KnownPortList.h"
#include "platform/DeviceSearch.h"

// The dialler shows up as a USB CDC port with this identity.
inline const UsbIdentity DiallerUsbIdentity{0x2341, 0x804D, QStringLiteral("TEMBA ORNEX")};

// The supervisor looks for the dialler once a second, counted from the end of
// one look to the start of the next.
constexpr int SupervisorPeriodMs = 1000;

struct DiallerPortSearch {
    // A serial port came or went since the previous search.
    bool PortListChanged = false;
    DeviceSearchResult Dialler;
};

// One look for the dialler: notes in `knownPorts` whether the system's serial
// ports changed, then searches the USB devices for exactly one dialler.
DiallerPortSearch FindDiallerPort(DeviceSearch& search, KnownPortList& knownPorts);

// Whether the supervisor opens the port of the dialler it found (`foundPort`)
// and asks it for its version. It does while a port is chosen but the link is
// not up (the last attempt failed or a port error closed the port), and when
// a port came or went and the dialler now sits on another port. A dialler that
// was missing leaves no port chosen, so it is tried again only once the
// system's port list changes.
bool ConnectionAttemptDue(const QString& currentPort, bool deviceConnected, bool portOpen,
                          bool portListChanged, const QString& foundPort);
