#include "FakeWin32.h"

#include "platform/WindowsSetupApi.h"

namespace {

DWORD gLastError = ERROR_SUCCESS;

BOOL Fails(DWORD error = ERROR_GEN_FAILURE) {
    gLastError = error;
    return FALSE;
}

} // namespace

FakeWin32& FakeWin32::Script() {
    static FakeWin32 script;
    return script;
}

DWORD GetLastError() {
    return gLastError;
}

HANDLE CreateFileW(LPCWSTR, DWORD, DWORD, LPVOID, DWORD, DWORD, HANDLE) {
    gLastError = FakeWin32::Script().OpenError;
    return FakeWin32::Script().OpenedHandle;
}

BOOL CloseHandle(HANDLE handle) {
    FakeWin32::Script().Closed.push_back(handle);
    gLastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL GetCommState(HANDLE, DCB*) {
    if (!FakeWin32::Script().LineReadable) {
        return Fails(FakeWin32::Script().LineError);
    }
    gLastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL SetCommState(HANDLE, DCB*) {
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE, COMMTIMEOUTS*) {
    return TRUE;
}

BOOL SetCommMask(HANDLE, DWORD) {
    return TRUE;
}

BOOL ClearCommError(HANDLE, DWORD*, COMSTAT*) {
    return Fails();
}

HANDLE CreateEventW(LPVOID, BOOL, BOOL, LPCWSTR) {
    Fails();
    return nullptr;
}

BOOL ReadFile(HANDLE, LPVOID, DWORD, DWORD*, OVERLAPPED*) {
    return Fails();
}

BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*) {
    return Fails();
}

BOOL GetOverlappedResult(HANDLE, OVERLAPPED*, DWORD*, BOOL) {
    return Fails();
}

BOOL WaitCommEvent(HANDLE, DWORD*, OVERLAPPED*) {
    return Fails();
}

DWORD WaitForSingleObject(HANDLE, DWORD) {
    return Fails();
}

BOOL CancelIoEx(HANDLE, OVERLAPPED*) {
    return Fails();
}

// The port list comes from the device search, which these tests do not use.
std::vector<std::wstring> WindowsSetupApi::SerialPortNames() {
    return {};
}
