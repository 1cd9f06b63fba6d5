#include "platform/DeviceSearch.h"

#ifdef Q_OS_WIN
#include "platform/WindowsDeviceSearch.h"
#else
#include "platform/LinuxDeviceSearch.h"
#endif

DeviceSearchResult CombineFoundPorts(const QStringList& portNames) {
    DeviceSearchResult result;
    for (const QString& name : portNames) {
        if (name.isEmpty()) {
            continue;
        }
        if (result.PortName.isEmpty()) {
            result.PortName = name;
        } else if (name != result.PortName) {
            return DeviceSearchResult{QString(), true};
        }
    }
    return result;
}

FixedPortSearch::FixedPortSearch(const QString& portName)
    : mPortName(portName), mSystem(CreateSystemDeviceSearch()) {}

QString FixedPortSearch::PortPath(const QString& portName) const {
    if (portName.contains(QLatin1Char('/')) || portName.contains(QLatin1Char('\\'))) {
        return portName;
    }
    return mSystem->PortPath(portName);
}

std::unique_ptr<DeviceSearch> CreateSystemDeviceSearch() {
#ifdef Q_OS_WIN
    return std::make_unique<WindowsDeviceSearch>();
#else
    return std::make_unique<LinuxDeviceSearch>();
#endif
}
