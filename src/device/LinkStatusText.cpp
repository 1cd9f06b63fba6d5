#include "device/LinkStatusText.h"

QString LinkStatusText(LinkState state, const QString& portName, const DiallerVersion& version) {
    switch (state) {
    case LinkState::NotDetected:
        return QStringLiteral("ORNEX not detected");
    case LinkState::SeveralFound:
        return QStringLiteral("ERROR: Multiple ORNEX found");
    case LinkState::CannotConnect:
        return QStringLiteral("ORNEX on %1 - cannot connect").arg(portName);
    case LinkState::Connected:
        return QStringLiteral("%1 on %2 - connected").arg(ModelAndVersionText(version), portName);
    case LinkState::DisconnectedByUser:
        return QStringLiteral("DISCONNECTED");
    }
    return {};
}
