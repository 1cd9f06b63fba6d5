#pragma once

#include "device/DiallerVersion.h"
#include "device/KnownPortList.h"

#include <QObject>
#include <QString>

#include <memory>

class DeviceSearch;
class DeviceSession;
class QTimer;

// Finds the one attached dialler, connects to it and keeps the link while the
// program runs. `CheckPortTimer`, once started, ticks first after 100 ms, then
// once a second; a port error brings the next tick forward to 1 ms. What a person
// should see of the link is reported through the signals; the window shows it.
class ConnectionSupervisor : public QObject {
    Q_OBJECT
public:
    ConnectionSupervisor(DeviceSession& session, std::unique_ptr<DeviceSearch> search,
                         QObject* parent = nullptr);
    ~ConnectionSupervisor() override;

    DeviceSearch& Search() const { return *mSearch; }
    QTimer* CheckPortTimer() const { return mCheckPortTimer; }

    void CheckPortTimerTimer();
    // Runs the next tick 1 ms after events are processed again.
    void RestartPortCheck();
    // The user's Disconnect: supervision stops and the port is closed until
    // Resume.
    void Disconnect();
    void Resume();

signals:
    // The connection panel's text.
    void LinkStatusShown(const QString& text);
    // Whether the device buttons may be used: at the end of every tick and on
    // a disconnect.
    void LinkChanged(bool connected);
    // The link was made, failed or went: what the dialler told of its voice
    // messages no longer holds.
    void LinkReset();
    // Connected to firmware older than the program requires. A tick waits for
    // the handler, so a dialog shown there holds the supervision.
    void FirmwareWarningDue(const DiallerVersion& version);
    // A tick has ended; `failed` when no dialler could be used in it.
    void TickEnded(bool failed);

private:
    bool ConnectToDialler(const QString& portName);

    DeviceSession& mSession;
    std::unique_ptr<DeviceSearch> mSearch;
    KnownPortList mKnownPorts;
    QTimer* mCheckPortTimer;
};
