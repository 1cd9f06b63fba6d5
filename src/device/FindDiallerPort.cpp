#include "device/FindDiallerPort.h"

DiallerPortSearch FindDiallerPort(DeviceSearch& search, KnownPortList& knownPorts) {
    DiallerPortSearch result;
    result.PortListChanged = knownPorts.Update(search.SerialPortNames());
    result.Dialler = search.FindDevice(DiallerUsbIdentity);
    return result;
}
