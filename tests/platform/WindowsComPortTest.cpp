// The Windows side of the serial port, run against stand-ins for the Win32
// calls it makes (FakeWin32.h).

#include "FakeWin32.h"
#include "platform/ComPort.h"

namespace {

// A port whose open failed holds no handle: neither a later Close nor the
// port's end closes again a handle that the system may have handed out anew.
TEST(WindowsComPortOpen, AFailedOpenKeepsNoHandle) {
    const HANDLE handle = FakeWin32{}.OpenedHandle;
    struct Case {
        const char* name;
        HANDLE opened;
        DWORD openError;
        bool lineReadable;
        DWORD lineError;
        std::vector<HANDLE> closed;
    };
    const Case cases[] = {
        {"device refused", INVALID_HANDLE_VALUE, 5, true, 0, {}},
        {"device refused without an error code", INVALID_HANDLE_VALUE, 0, true, 0, {}},
        {"line not set up", handle, 0, false, ERROR_GEN_FAILURE, {handle}},
        {"line not set up without an error code", handle, 0, false, 0, {handle}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWin32& script = FakeWin32::Script() = {};
        script.OpenedHandle = c.opened;
        script.OpenError = c.openError;
        script.LineReadable = c.lineReadable;
        script.LineError = c.lineError;
        {
            ComPort port;
            port.SetPort(QStringLiteral("COM7"));
            try {
                port.Open();
                ADD_FAILURE() << "the open did not fail";
            } catch (const ComPortError& error) {
                EXPECT_TRUE(QByteArray(error.what()).startsWith("Cannot open COM7: "));
            }
            EXPECT_FALSE(port.Connected());
            port.Close();
        }
        EXPECT_EQ(FakeWin32::Script().Closed, c.closed);
    }

    // An open that works keeps its handle until the close.
    FakeWin32::Script() = {};
    ComPort port;
    port.Open();
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(FakeWin32::Script().Closed.empty());
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(FakeWin32::Script().Closed, std::vector<HANDLE>{handle});
}

} // namespace
