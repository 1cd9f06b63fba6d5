#include "platform/ComPort.h"

#include <algorithm>
#include <cstring>

// What both systems share. Opening, closing, taking in what the system
// received, writing and waiting live in LinuxComPort.cpp and WindowsComPort.cpp.

ComPort::ComPort(QObject* parent) : QObject(parent) {}

ComPort::~ComPort() {
    SetConnected(false);
}

void ComPort::SetConnected(bool connected) {
    if (connected) {
        Open();
        return;
    }
    Release();
}

void ComPort::SetPort(const QString& name) {
    if (name == mName) {
        return;
    }
    const bool reopen = Connected();
    if (reopen) {
        try {
            Close();
        } catch (const ComPortError&) {
            // The port is closed all the same, and the caller's error
            // handling and status texts must name the port now chosen.
            mName = name;
            throw;
        }
    }
    mName = name;
    if (reopen) {
        Open();
    }
}

void ComPort::Fail(const QString& what) {
    throw ComPortError(QStringLiteral("%1 on %2").arg(what, mName).toStdString());
}

qint64 ComPort::InputCount() {
    TakeSystemInput();
    return mInput.size();
}

qint64 ComPort::Read(char* buffer, qint64 count) {
    if (!Connected()) {
        Fail(QStringLiteral("Read from a closed port"));
    }
    if (mInput.size() < count) {
        TakeSystemInput();
    }
    const qint64 taken = std::min<qint64>(count, mInput.size());
    std::memcpy(buffer, mInput.constData(), static_cast<size_t>(taken));
    mInput.remove(0, taken);
    return taken;
}
