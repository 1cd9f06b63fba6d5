#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

#ifndef _WIN32
#include <QSerialPort>
#endif

// An error raised by the serial port. The transport turns every one of them
// into its one recovery action; nothing else catches them.
class ComPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The dialler's serial port: 256000 baud, 8 data bits, no parity, one stop
// bit, no flow control, DTR and RTS held inactive.
//
// Every exchange with the dialler blocks the window thread, so the transfers
// talk to the system directly: on Linux through the descriptor of a port that
// QSerialPort opened and configured (LinuxComPort.cpp), on Windows through a
// communications handle of its own (WindowsComPort.cpp). Both move what the
// system has received into one buffer that the caller reads from.
class ComPort : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 256000;
    // A write that cannot pass a single byte for this long gives up with the
    // count sent so far.
    static constexpr int WriteStallTimeoutMs = 5000;

    explicit ComPort(QObject* parent = nullptr);
    ~ComPort() override;

    // Opens the port under its name with the settings above; does nothing
    // when it is open already. Raises when it cannot be opened.
    void Open();
    // Closes the port; raises when the system reports an error meanwhile.
    void Close();
    bool Connected() const;
    // False closes the port without raising (used after an error); true opens it.
    void SetConnected(bool connected);

    QString Port() const { return mName; }
    // A new name closes an open port and opens it again under that name.
    void SetPort(const QString& name);
    // Where the port of a name is opened. Without one the name itself is
    // used: found under /dev on Linux, in the device namespace on Windows
    // ("COM12" opens \\.\COM12); the device search gives one that matches
    // the names it hands out.
    using PathResolver = std::function<QString(const QString& name)>;
    void SetPathResolver(PathResolver resolve) { mResolve = std::move(resolve); }

    // Number of received bytes waiting; raises when the port has failed.
    qint64 InputCount();
    // Takes up to `count` waiting bytes; returns how many. Raises on error.
    qint64 Read(char* buffer, qint64 count);
    // Sends `count` bytes; returns how many were sent. Raises on error.
    qint64 Write(const char* bytes, qint64 count);
    // Sleeps until more bytes arrive or `timeoutMs` passes, whichever comes
    // first, without spending processor time. Raises when the line fails.
    void WaitForInput(int timeoutMs);

    // The names of the system's serial ports.
    static QStringList EnumComPorts();

private:
    // Moves what the system has received for the port into mInput; raises
    // when the port has failed.
    void TakeSystemInput();
    // Closes the port without asking the system how that went.
    void Release();
    [[noreturn]] void Fail(const QString& what);

    QString mName = QStringLiteral("COM1");
    PathResolver mResolve;
    // Received bytes taken from the system and not yet read.
    QByteArray mInput;
#ifdef _WIN32
    // The open port's Win32 HANDLE; null while closed.
    void* mHandle = nullptr;
#else
    void LowerModemLines();
    QSerialPort mSerial;
#endif
};
