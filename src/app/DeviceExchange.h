#pragma once

class DeviceSession;

// One button's work with the dialler. While it runs, DeviceBusy keeps the
// window from closing and the hourglass tells the user why the window does
// not respond. At the end the activity text is cleared, the clicks and keys
// that queued up meanwhile are dropped so that they are not acted on
// afterwards, and the busy flag and cursor go back to what they were,
// whether the work succeeded or not.
class DeviceExchange {
public:
    explicit DeviceExchange(DeviceSession& session);
    ~DeviceExchange();
    DeviceExchange(const DeviceExchange&) = delete;
    DeviceExchange& operator=(const DeviceExchange&) = delete;

    // Marks the window busy; a button that may still decline (a question,
    // a check of the values) calls it once it really starts.
    void Begin();
    bool Begun() const { return mBegun; }

private:
    DeviceSession& mSession;
    bool mWasBusy;
    bool mBegun = false;
};
