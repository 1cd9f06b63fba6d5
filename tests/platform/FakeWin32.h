#pragma once

#include "fakewin32/windows.h"

#include <vector>

// The script the stand-in Win32 calls follow, and what they were asked.
// Every call that the script does not name fails with ERROR_GEN_FAILURE.
struct FakeWin32 {
    // What CreateFileW returns, and the error it leaves.
    HANDLE OpenedHandle = reinterpret_cast<HANDLE>(0x40);
    DWORD OpenError = ERROR_SUCCESS;
    // Whether GetCommState succeeds, and the error it leaves when not.
    bool LineReadable = true;
    DWORD LineError = ERROR_SUCCESS;

    std::vector<HANDLE> Closed;

    // The script of the running test; assign {} to start afresh.
    static FakeWin32& Script();
};
