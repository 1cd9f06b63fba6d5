#pragma once

#include "device/DiallerVersion.h"

#include <QObject>
#include <QString>

class ComPort;
class DeviceTransport;

// The link to the one attached dialler, as every page and exchange sees it:
// the serial port and its transport, whether a dialler answered on it and
// with which version, whether a button's exchange with it is under way, and
// where that exchange tells the user what it is doing.
class DeviceSession : public QObject {
    Q_OBJECT
public:
    explicit DeviceSession(QObject* parent = nullptr);
    ~DeviceSession() override;

    ::ComPort* ComPort() const { return mComPort; }
    DeviceTransport* Transport() const { return mTransport; }

    // Set by the connection supervisor once the dialler has answered "ver;".
    bool DeviceConnected() const { return mDeviceConnected; }
    void SetDeviceConnected(bool connected) { mDeviceConnected = connected; }
    int FirmwareMajor() const { return mVersion.FirmwareMajor; }
    int FirmwareMinor() const { return mVersion.FirmwareMinor; }
    int HardwareVariant() const { return mVersion.HardwareVariant; }
    const DiallerVersion& Version() const { return mVersion; }
    void SetVersion(const DiallerVersion& version) { mVersion = version; }

    // While a button's exchange runs the window refuses to close.
    bool DeviceBusy() const { return mDeviceBusy; }
    void SetDeviceBusy(bool busy) { mDeviceBusy = busy; }

    // Puts the text in front of the user at once: the exchange that follows
    // blocks the event loop.
    void ShowActivity(const QString& text) { emit ActivityShown(text); }

signals:
    void ActivityShown(const QString& text);

private:
    ::ComPort* mComPort;
    DeviceTransport* mTransport;
    bool mDeviceConnected = false;
    DiallerVersion mVersion{};
    bool mDeviceBusy = false;
};
