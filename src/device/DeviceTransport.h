#pragma once

#include "device/TrafficLogSink.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class ComPort;

// The lower half of the link to the dialler: blocking, time-limited byte
// transfers over the serial port on the window thread, and the traffic log.
//
// Every exchange blocks the only thread; the waits process no window events,
// so no timer tick or other handler runs in the middle of one. They sleep on
// the port, though, so a dialler that takes ten seconds costs no processor
// time.
//
// The one error rule: whatever error the port raises, it is marked closed,
// the connection supervisor is asked to run again at once
// (PortCheckRestartRequested), and the operation in progress fails. Nothing
// is shown here; callers report failures in their own words.
class DeviceTransport : public QObject {
    Q_OBJECT
public:
    // Time limit for each byte drained before a write.
    static constexpr qint32 FlushByteTimeoutMs = 100;

    explicit DeviceTransport(ComPort& port, QObject* parent = nullptr);

    ComPort& Port() const { return mPort; }
    // The log sink is not owned; nullptr logs nothing.
    void SetTrafficLog(TrafficLogSink* log) { mLog = log; }

    // Milliseconds of the wall clock, 64 bits.
    static qint64 DeadlineAfter(qint32 delayMs);
    static bool DeadlinePassed(qint64 deadline);

    // Sends the bytes and returns how many went out: 0 when the port is not
    // open or an error occurred. With `flush`, bytes still waiting from an
    // earlier exchange are read (and so logged) first.
    quint32 WriteToDevice(const char* bytes, quint32 count, bool flush);
    quint32 WriteToDevice(const QByteArray& bytes, bool flush);
    quint32 WriteStringToDevice(const char* text, bool flush);
    // Reads exactly `wanted` bytes within `timeoutMs` (the whole wait, not a
    // limit per byte). A result below `wanted` is a failure; the bytes that
    // did arrive then stay waiting in the port.
    quint32 ReadFromDevice(char* buffer, quint32 wanted, qint32 timeoutMs);

    // Appends text to the last line of the log. Callers test
    // TrafficLogActive (or their own narrower condition) first.
    void AppendToLastLogLine(const QString& text);
    // Empties the log; RxContinues keeps its value.
    void ClearTrafficLog();

    // Asks the window to drop the mouse and keyboard input that queued up
    // while an exchange blocked it.
    void DiscardPendingInput();
    // Has the connection supervisor run as soon as events are processed again.
    void RestartPortCheck();

    // The Debug page's tab is shown.
    bool TrafficLogShown() const;
    // The log is shown and no transfer has muted it.
    bool TrafficLogActive() const;
    // The last traffic was received bytes: further received bytes continue
    // the last line.
    bool RxContinues() const { return mRxContinues; }

    // Mute flags. The firmware upgrade sets the first for its whole run, the
    // voice upload the second while it writes raw sample data; both clear
    // them again when the transfer ends.
    bool FirmwareUpgradeActive() const { return mFirmwareUpgradeActive; }
    void SetFirmwareUpgradeActive(bool active) { mFirmwareUpgradeActive = active; }
    bool VoiceDataSending() const { return mVoiceDataSending; }
    void SetVoiceDataSending(bool sending) { mVoiceDataSending = sending; }

signals:
    void PortCheckRestartRequested();
    void PendingInputDiscardRequested();

private:
    void PortFailed();
    void LogOnNewLine(const QString& text, quint32 colour);

    ComPort& mPort;
    TrafficLogSink* mLog = nullptr;
    bool mRxContinues = false;
    bool mFirmwareUpgradeActive = false;
    bool mVoiceDataSending = false;
};

// How bytes on the wire read in the log: one character per byte (8-bit text),
// a carriage return ends the line, and every other control byte shows as its
// visible symbol so that it cannot disturb the log.
QString TrafficLogText(const char* bytes, qsizetype count);
