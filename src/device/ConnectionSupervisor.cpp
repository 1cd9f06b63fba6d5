#include "device/ConnectionSupervisor.h"

#include "device/CommandFraming.h"
#include "device/DeviceSession.h"
#include "device/DeviceTransport.h"
#include "device/FindDiallerPort.h"
#include "device/LinkStatusText.h"
#include "platform/ComPort.h"
#include "platform/DeviceSearch.h"

#include <QTimer>

namespace {

// The port counts as closed even when closing it fails: the link has gone
// either way.
void ClosePort(::ComPort& port) {
    try {
        port.Close();
    } catch (const ComPortError&) {
        port.SetConnected(false);
    }
}

} // namespace

ConnectionSupervisor::ConnectionSupervisor(DeviceSession& session,
                                           std::unique_ptr<DeviceSearch> search, QObject* parent)
    : QObject(parent), mSession(session), mSearch(std::move(search)),
      mCheckPortTimer(new QTimer(this)) {
    mCheckPortTimer->setObjectName(QStringLiteral("CheckPortTimer"));
    mCheckPortTimer->setInterval(100);
    // The search names the ports; it also knows where a name is opened (a
    // test's fake device tree keeps its ports outside /dev).
    mSession.ComPort()->SetPathResolver(
        [search = mSearch.get()](const QString& name) { return search->PortPath(name); });
    connect(mCheckPortTimer, &QTimer::timeout, this, &ConnectionSupervisor::CheckPortTimerTimer);
    connect(mSession.Transport(), &DeviceTransport::PortCheckRestartRequested, this,
            &ConnectionSupervisor::RestartPortCheck);
}

ConnectionSupervisor::~ConnectionSupervisor() = default;

void ConnectionSupervisor::CheckPortTimerTimer() {
    // Ticks never overlap: the timer stays off while this one runs, also
    // while the firmware warning waits for the user.
    mCheckPortTimer->stop();
    mCheckPortTimer->setInterval(SupervisorPeriodMs);

    ::ComPort& port = *mSession.ComPort();
    const DiallerPortSearch found = FindDiallerPort(*mSearch, mKnownPorts);
    bool failed = false;
    if (found.Dialler.Found()) {
        if (ConnectionAttemptDue(port.Port(), mSession.DeviceConnected(), port.Connected(),
                                 found.PortListChanged, found.Dialler.PortName)) {
            failed = !ConnectToDialler(found.Dialler.PortName);
        }
    } else {
        mSession.SetDeviceConnected(false);
        emit LinkReset();
        ClosePort(port);
        // No port is chosen now: the dialler is looked for again only when
        // the system's port list changes.
        port.SetPort(QString());
        emit LinkStatusShown(LinkStatusText(found.Dialler.Conflict ? LinkState::SeveralFound
                                                                   : LinkState::NotDetected));
        failed = true;
    }

    emit LinkChanged(mSession.DeviceConnected());
    emit TickEnded(failed);
    // A port error during this tick's exchanges has set the interval to 1 ms.
    mCheckPortTimer->start();
}

bool ConnectionSupervisor::ConnectToDialler(const QString& portName) {
    ::ComPort& port = *mSession.ComPort();
    bool failed = false;
    try {
        port.SetPort(portName);
        port.Open();
    } catch (const ComPortError&) {
        port.SetConnected(false);
        failed = true;
    }
    QByteArray reply;
    if (!failed && port.Connected() && QueryVersion(*mSession.Transport(), reply)) {
        const DiallerVersion version = ParseVersionReply(reply);
        mSession.SetVersion(version);
        failed = !version.IsComplete();
    } else {
        failed = true;
    }

    emit LinkReset();
    if (failed) {
        // The port stays open: opening it again at the next tick does nothing
        // and the dialler is simply asked again.
        mSession.SetDeviceConnected(false);
        emit LinkStatusShown(LinkStatusText(LinkState::CannotConnect, port.Port()));
        return false;
    }
    const DiallerVersion version = mSession.Version();
    mSession.SetDeviceConnected(true);
    emit LinkStatusShown(LinkStatusText(LinkState::Connected, port.Port(), version));
    if (NeedsFirmwareUpgrade(version)) {
        // Shown at every connection; the dialler is used all the same.
        emit FirmwareWarningDue(version);
    }
    return true;
}

void ConnectionSupervisor::RestartPortCheck() {
    mCheckPortTimer->stop();
    mCheckPortTimer->setInterval(1);
    mCheckPortTimer->start();
}

void ConnectionSupervisor::Disconnect() {
    mCheckPortTimer->stop();
    ::ComPort& port = *mSession.ComPort();
    if (!port.Connected()) {
        return;
    }
    ClosePort(port);
    emit LinkStatusShown(LinkStatusText(LinkState::DisconnectedByUser));
    mSession.SetDeviceConnected(false);
    emit LinkReset();
    emit LinkChanged(false);
}

void ConnectionSupervisor::Resume() {
    // Supervision resumes at once.
    RestartPortCheck();
}
