#include "device/DeviceSession.h"

#include "device/DeviceTransport.h"
#include "platform/ComPort.h"

DeviceSession::DeviceSession(QObject* parent)
    : QObject(parent), mComPort(new ::ComPort(this)),
      mTransport(new DeviceTransport(*mComPort, this)) {
    mComPort->setObjectName(QStringLiteral("ComPort"));
    mTransport->setObjectName(QStringLiteral("Transport"));
}

DeviceSession::~DeviceSession() = default;
