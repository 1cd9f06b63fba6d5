#pragma once

#include <QtGlobal>

#include <algorithm>
#include <chrono>

// A serial wire between the program and a simulated device, for simulators
// that pace their bytes like the dialler's line: no faster than the baud rate
// in either direction, one start bit, eight data bits and one stop bit a byte.
namespace WirePacing {

using Clock = std::chrono::steady_clock;

inline std::chrono::nanoseconds ByteTime(int baud) {
    return std::chrono::nanoseconds(10'000'000'000LL / baud);
}

// One direction of the wire. Bytes follow each other back to back from the
// moment they are queued, so a transfer takes the wire's time however late
// the simulator's thread wakes up or how long the machine keeps it waiting:
// a late thread delivers what is due in a burst and is back on time, and
// only the device's own thinking time, none, adds to the wire's.
class Direction {
public:
    // `count` bytes are queued at `queued`: they go once the wire has carried
    // what it had, and this is when the last of them has crossed.
    Clock::time_point Carry(qint64 count, int baud, Clock::time_point queued) {
        mEnd = std::max(mEnd, queued) + ByteTime(baud) * count;
        return mEnd;
    }
    // When the last byte carried so far has crossed.
    Clock::time_point End() const { return mEnd; }

private:
    Clock::time_point mEnd;
};

} // namespace WirePacing

// Bytes that have crossed a simulated device's line since it was made, seen
// from the device: what it took from the program and what it sent back.
struct WireTraffic {
    qint64 Received = 0;
    qint64 Sent = 0;

    qint64 Total() const { return Received + Sent; }
    WireTraffic operator-(const WireTraffic& earlier) const {
        return {Received - earlier.Received, Sent - earlier.Sent};
    }
};
