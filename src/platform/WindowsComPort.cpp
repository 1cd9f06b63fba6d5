#include "platform/ComPort.h"
#include "platform/WindowsSetupApi.h"

#include <windows.h>

#include <algorithm>
#include <string>

// The port on Windows: a communications handle of its own, opened for
// overlapped requests so that every wait has a limit. QSerialPort is no help
// here: on Windows it keeps a read of its own pending on its handle from the
// moment the port opens, and that read would take the bytes from under these
// transfers.
//
// The port's timeouts make a read return at once with what has arrived and a
// write give up on a chunk that the line has not taken within the stall
// limit. A device that has gone makes the driver refuse every request, so the
// first transfer or count after an unplug raises.

namespace {

// The stall limit applies to each chunk of a write.
constexpr DWORD WriteChunkBytes = 1024;

QString SystemError(DWORD error) {
    return qt_error_string(static_cast<int>(error));
}

HANDLE PortHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

// The structure and event of one overlapped request. The system writes into
// them until the request ends, so every request started on one is finished or
// cancelled and waited out before it goes out of scope.
class Request {
public:
    Request() { mIo.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Request() {
        if (mIo.hEvent != nullptr) {
            ::CloseHandle(mIo.hEvent);
        }
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    bool Ready() const { return mIo.hEvent != nullptr; }
    OVERLAPPED* Io() { return &mIo; }
    HANDLE Event() const { return mIo.hEvent; }

private:
    OVERLAPPED mIo{};
};

// Waits for a read or write to end, which the port's timeouts bound. Returns
// the system's error, or ERROR_SUCCESS with the count moved in `bytes`.
DWORD Finish(HANDLE port, BOOL started, Request& request, DWORD& bytes) {
    if (!started) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_IO_PENDING) {
            return error;
        }
    }
    return ::GetOverlappedResult(port, request.Io(), &bytes, TRUE) ? ERROR_SUCCESS
                                                                   : ::GetLastError();
}

bool Configure(HANDLE port) {
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(port, &line)) {
        return false;
    }
    line.BaudRate = ComPort::BaudRate;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    // No flow control either way, and DTR and RTS inactive: the dialler
    // wants both lines low.
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    // A framing or overrun error must not block every later transfer until
    // someone clears it; the protocol's own checks catch damaged replies.
    line.fAbortOnError = FALSE;
    if (!::SetCommState(port, &line)) {
        return false;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = ComPort::WriteStallTimeoutMs;
    if (!::SetCommTimeouts(port, &timeouts)) {
        return false;
    }
    return ::SetCommMask(port, EV_RXCHAR) != FALSE;
}

} // namespace

void ComPort::Open() {
    if (mHandle != nullptr) {
        return;
    }
    QString path = mResolve ? mResolve(mName) : mName;
    // Ports from COM10 up can only be opened in the device namespace, and the
    // lower ones are found there as well.
    if (!path.startsWith(QLatin1String("\\\\"))) {
        path.prepend(QLatin1String("\\\\.\\"));
    }
    mInput.clear();
    const std::wstring device = path.toStdWString();
    const HANDLE port = ::CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    // Whether the open failed is told by the calls' results, not by the error
    // code, which a driver may leave at zero: the handle is kept only when
    // every step succeeded, so a handle closed here is never closed again.
    bool opened = port != INVALID_HANDLE_VALUE;
    DWORD error = opened ? ERROR_SUCCESS : ::GetLastError();
    if (opened && !Configure(port)) {
        error = ::GetLastError();
        ::CloseHandle(port);
        opened = false;
    }
    if (!opened) {
        const QString reason = error != ERROR_SUCCESS
                                   ? SystemError(error)
                                   : QStringLiteral("the port could not be set up");
        throw ComPortError(QStringLiteral("Cannot open %1: %2").arg(mName, reason).toStdString());
    }
    mHandle = port;
}

void ComPort::Close() {
    if (mHandle == nullptr) {
        return;
    }
    const HANDLE port = PortHandle(mHandle);
    mHandle = nullptr;
    mInput.clear();
    // A handle that was lost underneath the port is reported here.
    if (!::CloseHandle(port)) {
        throw ComPortError(QStringLiteral("Error closing %1: %2")
                               .arg(mName, SystemError(::GetLastError()))
                               .toStdString());
    }
}

bool ComPort::Connected() const {
    return mHandle != nullptr;
}

void ComPort::Release() {
    if (mHandle != nullptr) {
        ::CloseHandle(PortHandle(mHandle));
        mHandle = nullptr;
    }
    mInput.clear();
}

void ComPort::TakeSystemInput() {
    if (mHandle == nullptr) {
        return;
    }
    const HANDLE port = PortHandle(mHandle);
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!::ClearCommError(port, &lineErrors, &status)) {
        Fail(SystemError(::GetLastError()));
    }
    if (status.cbInQue == 0) {
        return;
    }
    Request request;
    if (!request.Ready()) {
        Fail(SystemError(::GetLastError()));
    }
    const qsizetype had = mInput.size();
    mInput.resize(had + static_cast<qsizetype>(status.cbInQue));
    DWORD got = 0;
    const DWORD error =
        Finish(port, ::ReadFile(port, mInput.data() + had, status.cbInQue, nullptr, request.Io()),
               request, got);
    mInput.resize(had + (error == ERROR_SUCCESS ? static_cast<qsizetype>(got) : 0));
    if (error != ERROR_SUCCESS) {
        Fail(SystemError(error));
    }
}

qint64 ComPort::Write(const char* bytes, qint64 count) {
    if (mHandle == nullptr) {
        Fail(QStringLiteral("Write to a closed port"));
    }
    const HANDLE port = PortHandle(mHandle);
    Request request;
    if (!request.Ready()) {
        Fail(SystemError(::GetLastError()));
    }
    qint64 sent = 0;
    while (sent < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<qint64>(count - sent, WriteChunkBytes));
        DWORD written = 0;
        const DWORD error = Finish(
            port, ::WriteFile(port, bytes + sent, chunk, nullptr, request.Io()), request, written);
        if (error != ERROR_SUCCESS) {
            Fail(SystemError(error));
        }
        if (written == 0) {
            break; // the line took nothing within the stall limit
        }
        sent += written;
    }
    return sent;
}

void ComPort::WaitForInput(int timeoutMs) {
    if (mHandle == nullptr || timeoutMs <= 0) {
        return;
    }
    const HANDLE port = PortHandle(mHandle);
    Request request;
    if (!request.Ready()) {
        Fail(SystemError(::GetLastError()));
    }
    DWORD events = 0;
    if (::WaitCommEvent(port, &events, request.Io())) {
        return; // a byte has arrived since the last wait
    }
    DWORD error = ::GetLastError();
    if (error != ERROR_IO_PENDING) {
        Fail(SystemError(error));
    }
    // Bytes that came in after the caller last took the input may have
    // raised their event before this wait began: they end it at once.
    error = ERROR_SUCCESS;
    bool ended = false;
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!::ClearCommError(port, &lineErrors, &status)) {
        error = ::GetLastError();
    } else if (status.cbInQue == 0) {
        ended =
            ::WaitForSingleObject(request.Event(), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    }
    if (!ended) {
        ::CancelIoEx(port, request.Io());
    }
    DWORD ignored = 0;
    if (!::GetOverlappedResult(port, request.Io(), &ignored, TRUE)) {
        // A wait cancelled here is no fault; one the driver ended with an
        // error is the device going away. Wine's serial driver also reports
        // a wait whose event it did set as aborted, which is no fault either:
        // a device that has gone makes the next transfer or count raise.
        const DWORD waitError = ::GetLastError();
        if (error == ERROR_SUCCESS && waitError != ERROR_OPERATION_ABORTED) {
            error = waitError;
        }
    }
    if (error != ERROR_SUCCESS) {
        Fail(SystemError(error));
    }
}

QStringList ComPort::EnumComPorts() {
    QStringList names;
    for (const std::wstring& name : WindowsSetupApi::SerialPortNames()) {
        names << QString::fromStdWString(name);
    }
    return names;
}
