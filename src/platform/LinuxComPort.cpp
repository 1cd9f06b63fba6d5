#include "platform/ComPort.h"

#include <QSerialPortInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The port on Linux: QSerialPort opens and configures it, and the transfers
// work on its descriptor directly, because QSerialPort's own blocking helpers
// spin without end on a line that has hung up (its poll reports only the
// hang-up, which they do not take for an error). Bytes that QSerialPort
// buffered itself while the event loop ran are taken first, so nothing is
// lost or reordered.

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool LineFailed(short revents) {
    return (revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

} // namespace

void ComPort::Open() {
    if (mSerial.isOpen()) {
        return;
    }
    mSerial.setPortName(mResolve ? mResolve(mName) : mName);
    mSerial.setBaudRate(BaudRate);
    mSerial.setDataBits(QSerialPort::Data8);
    mSerial.setParity(QSerialPort::NoParity);
    mSerial.setStopBits(QSerialPort::OneStop);
    mSerial.setFlowControl(QSerialPort::NoFlowControl);
    mInput.clear();
    if (!mSerial.open(QIODevice::ReadWrite)) {
        const QString reason = mSerial.errorString();
        mSerial.clearError();
        throw ComPortError(QStringLiteral("Cannot open %1: %2").arg(mName, reason).toStdString());
    }
    LowerModemLines();
}

void ComPort::LowerModemLines() {
    // The system raises DTR and RTS when a port opens; the dialler wants them
    // inactive. A pseudo-terminal has no modem lines and answers "inappropriate
    // ioctl": that is no fault of the port.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(mSerial.handle(), TIOCMBIC, &lines) == 0 || errno == ENOTTY || errno == EINVAL) {
        return;
    }
    const QString reason = SystemError(errno);
    mSerial.close();
    mSerial.clearError();
    throw ComPortError(
        QStringLiteral("Cannot set the lines of %1: %2").arg(mName, reason).toStdString());
}

void ComPort::Close() {
    if (!mSerial.isOpen()) {
        return;
    }
    // QSerialPort closes without reporting what the system says, so a
    // descriptor that was lost underneath it is found here, before the close.
    QString reason;
    if (::fcntl(mSerial.handle(), F_GETFD) == -1) {
        reason = SystemError(errno);
    }
    mSerial.clearError();
    mSerial.close();
    mInput.clear();
    if (reason.isEmpty() && mSerial.error() != QSerialPort::NoError) {
        reason = mSerial.errorString();
    }
    mSerial.clearError();
    if (!reason.isEmpty()) {
        throw ComPortError(QStringLiteral("Error closing %1: %2").arg(mName, reason).toStdString());
    }
}

bool ComPort::Connected() const {
    return mSerial.isOpen();
}

void ComPort::Release() {
    if (mSerial.isOpen()) {
        mSerial.close();
    }
    mSerial.clearError();
    mInput.clear();
}

void ComPort::TakeSystemInput() {
    if (!mSerial.isOpen()) {
        return;
    }
    // QSerialPort reads on its own while the event loop runs and records the
    // errors it meets there.
    switch (mSerial.error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::UnsupportedOperationError:
        break;
    default:
        Fail(QStringLiteral("Serial error: ") + mSerial.errorString());
    }
    mInput += mSerial.readAll();

    // The port runs with no minimum read count, so read() returns 0 both when
    // nothing waits and when the line has gone; poll tells the two apart.
    const int fd = mSerial.handle();
    pollfd line{fd, POLLIN, 0};
    if (::poll(&line, 1, 0) < 0) {
        if (errno == EINTR) {
            return;
        }
        Fail(SystemError(errno));
    }
    if (LineFailed(line.revents)) {
        Fail(QStringLiteral("The line has gone"));
    }
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) {
        Fail(SystemError(errno));
    }
    if (waiting <= 0) {
        return;
    }
    const qsizetype had = mInput.size();
    mInput.resize(had + waiting);
    ssize_t got = 0;
    do {
        got = ::read(fd, mInput.data() + had, static_cast<size_t>(waiting));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        mInput.resize(had);
        Fail(got == 0 ? QStringLiteral("The line has gone") : SystemError(errno));
    }
    mInput.resize(had + got);
}

qint64 ComPort::Write(const char* bytes, qint64 count) {
    if (!mSerial.isOpen()) {
        Fail(QStringLiteral("Write to a closed port"));
    }
    const int fd = mSerial.handle();
    qint64 sent = 0;
    while (sent < count) {
        const ssize_t written = ::write(fd, bytes + sent, static_cast<size_t>(count - sent));
        if (written > 0) {
            sent += written;
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            Fail(SystemError(errno));
        }
        // The system's output buffer is full: wait until the line takes more.
        pollfd line{fd, POLLOUT, 0};
        const int ready = ::poll(&line, 1, WriteStallTimeoutMs);
        if (ready < 0 && errno != EINTR) {
            Fail(SystemError(errno));
        }
        if (ready == 0) {
            break;
        }
        if (LineFailed(line.revents)) {
            Fail(QStringLiteral("The line has gone"));
        }
    }
    return sent;
}

void ComPort::WaitForInput(int timeoutMs) {
    if (!mSerial.isOpen() || timeoutMs <= 0) {
        return;
    }
    pollfd line{mSerial.handle(), POLLIN, 0};
    if (::poll(&line, 1, timeoutMs) < 0) {
        if (errno == EINTR) {
            return;
        }
        Fail(SystemError(errno));
    }
    if (LineFailed(line.revents)) {
        Fail(QStringLiteral("The line has gone"));
    }
}

QStringList ComPort::EnumComPorts() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        names << info.portName();
    }
    return names;
}
