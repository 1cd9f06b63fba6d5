#pragma once

#include "device/DiallerVersion.h"

#include <QString>

// Where the link to the dialler stands, as the status bar reports it.
enum class LinkState {
    NotDetected,        // no dialler attached
    SeveralFound,       // two diallers on different ports
    CannotConnect,      // the port would not open or the dialler did not answer "ver;"
    Connected,          // the dialler answered with a complete version
    DisconnectedByUser, // the user took the link down
};

// The status bar text for the state. The port name is used by CannotConnect
// and Connected, the version by Connected only.
QString LinkStatusText(LinkState state, const QString& portName = QString(),
                       const DiallerVersion& version = DiallerVersion());
