#pragma once

#include <QString>

// A pseudo-terminal standing in for a device's USB serial port: the program
// opens the slave side by its path, the simulated device answers on the
// master side.
struct PseudoTerminal {
    int Master = -1; // non-blocking
    int Slave = -1;  // kept open by the device, so the line stays up while
                     // the program closes and reopens the port
    QString Path;    // for example /dev/pts/4
};

// Opens a raw pseudo-terminal; throws std::runtime_error when none is free.
PseudoTerminal OpenPseudoTerminal();
