#pragma once

// A stand-in for the Win32 communications calls that WindowsComPort.cpp
// makes, so that its code runs here against a script (FakeWin32.h) instead
// of a driver. Only what that file uses is declared.

#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using HANDLE = void*;
using LPCWSTR = const wchar_t*;
using LPVOID = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAXDWORD = 0xFFFFFFFF;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_IO_PENDING = 997;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD WAIT_OBJECT_0 = 0;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

constexpr std::uint8_t NOPARITY = 0;
constexpr std::uint8_t ONESTOPBIT = 0;
constexpr DWORD DTR_CONTROL_DISABLE = 0;
constexpr DWORD RTS_CONTROL_DISABLE = 0;
constexpr DWORD EV_RXCHAR = 1;

struct OVERLAPPED {
    HANDLE hEvent = nullptr;
};

struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    std::uint8_t ByteSize;
    std::uint8_t Parity;
    std::uint8_t StopBits;
};

struct COMSTAT {
    DWORD cbInQue;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};

DWORD GetLastError();
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPVOID security, DWORD disposition,
                   DWORD flags, HANDLE model);
BOOL CloseHandle(HANDLE handle);
BOOL GetCommState(HANDLE port, DCB* line);
BOOL SetCommState(HANDLE port, DCB* line);
BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
BOOL SetCommMask(HANDLE port, DWORD mask);
BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);
HANDLE CreateEventW(LPVOID security, BOOL manualReset, BOOL initialState, LPCWSTR name);
BOOL ReadFile(HANDLE port, LPVOID buffer, DWORD count, DWORD* got, OVERLAPPED* io);
BOOL WriteFile(HANDLE port, const void* bytes, DWORD count, DWORD* written, OVERLAPPED* io);
BOOL GetOverlappedResult(HANDLE port, OVERLAPPED* io, DWORD* bytes, BOOL wait);
BOOL WaitCommEvent(HANDLE port, DWORD* events, OVERLAPPED* io);
DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);
BOOL CancelIoEx(HANDLE port, OVERLAPPED* io);
