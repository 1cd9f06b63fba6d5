#include "device/FindDiallerPort.h"

DiallerPortSearch FindDiallerPort(DeviceSearch& search, KnownPortList& knownPorts) {
    DiallerPortSearch result;
    result.PortListChanged = knownPorts.Update(search.SerialPortNames());
    result.Dialler = search.FindDevice(DiallerUsbIdentity);
    return result;
}

bool ConnectionAttemptDue(const QString& currentPort, bool deviceConnected, bool portOpen,
                          bool portListChanged, const QString& foundPort) {
    return (!currentPort.isEmpty() && (!deviceConnected || !portOpen)) ||
           (portListChanged && currentPort != foundPort);
}
