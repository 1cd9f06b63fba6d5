#include "BootloaderPtyServer.h"

#include "PseudoTerminal.h"
#include "WirePacing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Bytes read from the terminal in one go, and, paced, acted on at a time (few,
// so that pacing stays even).
constexpr int ReceiveChunk = 4096;
constexpr int PacedReceiveChunk = 16;

// While its port is open the simulator looks at the terminal this often, so
// that it knows when bytes arrived to within about a millisecond: the
// bootloader's packet rule depends on it. A look that comes much later than
// that, the thread having been held up, cannot tell when the bytes it finds
// arrived, and gives them no time.
constexpr int LookMs = 1;
constexpr auto LateLook = std::chrono::milliseconds(3);

} // namespace

BootloaderPtyServer::BootloaderPtyServer() {
    mWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (mWake < 0) {
        throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    }
    mThread = std::thread([this] { Run(); });
}

BootloaderPtyServer::~BootloaderPtyServer() {
    mStop = true;
    Wake();
    mThread.join();
    Close();
    ::close(mWake);
}

void BootloaderPtyServer::Wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(mWake, &one, sizeof one);
}

QString BootloaderPtyServer::Start() {
    if (std::this_thread::get_id() == mThread.get_id()) {
        Open();
        return PortName();
    }
    std::unique_lock lock(mMutex);
    mStartRequested = true;
    lock.unlock();
    Wake();
    lock.lock();
    mStarted.wait(lock, [this] { return !mStartRequested; });
    return mPortName;
}

QString BootloaderPtyServer::PortName() const {
    const std::lock_guard lock(mMutex);
    return mPortName;
}

void BootloaderPtyServer::SetFaults(const BootloaderFaults& faults) {
    const std::lock_guard lock(mMutex);
    mBootloader.Faults = faults;
}

void BootloaderPtyServer::SetPacingBaud(int baud) {
    const std::lock_guard lock(mMutex);
    mPacingBaud = baud;
}

QByteArray BootloaderPtyServer::Application(std::uint32_t size) const {
    const std::lock_guard lock(mMutex);
    return mBootloader.Application(size);
}

bool BootloaderPtyServer::ApplicationErased() const {
    const std::lock_guard lock(mMutex);
    return mBootloader.ApplicationErased();
}

bool BootloaderPtyServer::ApplicationWritten() const {
    const std::lock_guard lock(mMutex);
    return mBootloader.ApplicationWritten;
}

QList<QByteArray> BootloaderPtyServer::ReceivedCommands() const {
    const std::lock_guard lock(mMutex);
    return mBootloader.Commands;
}

WireTraffic BootloaderPtyServer::Traffic() const {
    const std::lock_guard lock(mMutex);
    return mTraffic;
}

void BootloaderPtyServer::ClearReceivedCommands() {
    const std::lock_guard lock(mMutex);
    mBootloader.Commands.clear();
}

void BootloaderPtyServer::SetExitObserver(std::function<void(Exit)> observer) {
    // Waits for an exit being reported: the observer may go away after this.
    const std::lock_guard lock(mObserverMutex);
    mObserver = std::move(observer);
}

void BootloaderPtyServer::Open() {
    Close();
    const PseudoTerminal terminal = OpenPseudoTerminal();
    const std::lock_guard lock(mMutex);
    mMaster = terminal.Master;
    mSlave = terminal.Slave;
    mPortName = terminal.Path;
    mBootloader.Restart();
    mPending.clear();
    mArrived.clear();
    mArrivedCount = 0;
    mLastLook = Clock::now();
    mStartRequested = false;
    mStarted.notify_all();
}

void BootloaderPtyServer::Close() {
    const std::lock_guard lock(mMutex);
    for (int* fd : {&mMaster, &mSlave}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    mPortName.clear();
}

void BootloaderPtyServer::Leave(Exit exit) {
    Close();
    const std::lock_guard lock(mObserverMutex);
    if (mObserver) {
        mObserver(exit);
    }
}

void BootloaderPtyServer::Run() {
    while (!mStop) {
        pollfd watched[2] = {{mWake, POLLIN, 0}, {mMaster, POLLIN, 0}};
        const int count = mMaster >= 0 ? 2 : 1;
        if (::poll(watched, count, mMaster >= 0 ? LookMs : -1) < 0 && errno != EINTR) {
            break;
        }
        if (watched[0].revents != 0) {
            uint64_t wakes = 0;
            [[maybe_unused]] const auto got = ::read(mWake, &wakes, sizeof wakes);
        }
        if (mStop) {
            break;
        }
        bool start = false;
        {
            const std::lock_guard lock(mMutex);
            start = mStartRequested;
        }
        if (start) {
            Open();
            continue;
        }
        if (mMaster >= 0) {
            Look();
            if ((watched[1].revents & POLLIN) != 0) {
                ReceiveFromLine();
            }
        }
    }
}

void BootloaderPtyServer::Look() {
    const auto now = Clock::now();
    int waiting = 0;
    if (::ioctl(mMaster, FIONREAD, &waiting) != 0) {
        waiting = 0;
    }
    if (waiting < mArrivedCount) {
        // The terminal dropped bytes that were seen: the runs no longer
        // match what waits.
        mArrived.clear();
        mArrivedCount = 0;
    }
    if (waiting > mArrivedCount) {
        BootloaderCommandModel::Arrival at;
        if (now - mLastLook <= LateLook) {
            at = now;
        }
        mArrived.push_back({waiting - mArrivedCount, at});
        mArrivedCount = waiting;
    }
    mLastLook = now;
}

BootloaderCommandModel::Arrival BootloaderPtyServer::TakeArrival() {
    if (mArrived.empty()) {
        return std::nullopt;
    }
    const BootloaderCommandModel::Arrival at = mArrived.front().At;
    --mArrivedCount;
    if (--mArrived.front().Count == 0) {
        mArrived.pop_front();
    }
    return at;
}

void BootloaderPtyServer::Drain(bool readable) {
    Look();
    // Everything a look has seen, so that each byte has its time of arrival
    // and the terminal never holds bytes back; bytes that only poll has
    // seen are read without one.
    while (mArrivedCount > 0 || readable) {
        char bytes[ReceiveChunk];
        const int wanted = mArrivedCount > 0 ? std::min(ReceiveChunk, mArrivedCount) : ReceiveChunk;
        const ssize_t got = ::read(mMaster, bytes, static_cast<size_t>(wanted));
        if (got <= 0) {
            return;
        }
        readable = false;
        const auto read = Clock::now();
        for (ssize_t i = 0; i < got; ++i) {
            mPending.push_back({bytes[i], TakeArrival(), read});
        }
        const std::lock_guard lock(mMutex);
        mTraffic.Received += got;
    }
}

bool BootloaderPtyServer::WaitDraining(Clock::time_point until) {
    while (!mStop && mMaster >= 0 && Clock::now() < until) {
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(LookMs)));
        Drain(false);
    }
    return !mStop && mMaster >= 0;
}

void BootloaderPtyServer::ReceiveFromLine() {
    int baud = 0;
    {
        const std::lock_guard lock(mMutex);
        baud = mPacingBaud;
    }
    Drain(true);
    while (!mPending.empty()) {
        const auto count = static_cast<qsizetype>(
            baud > 0 ? std::min<std::size_t>(PacedReceiveChunk, mPending.size()) : mPending.size());
        // Paced, the bytes have arrived only once the wire has carried them,
        // from when they reached the terminal; the simulator goes on reading
        // meanwhile, so that later bytes get their own times.
        if (baud > 0) {
            const ReceivedByte& first = mPending.front();
            if (!WaitDraining(mFromProgram.Carry(count, baud, first.At.value_or(first.Read)))) {
                return;
            }
        }
        for (qsizetype i = 0; i < count && !mStop; ++i) {
            const ReceivedByte received = mPending.front();
            mPending.pop_front();
            BootloaderStep step;
            BootloaderFaults faults;
            bool vanish = false;
            {
                const std::lock_guard lock(mMutex);
                step = mBootloader.Take(received.Byte, mUsbPacketRule ? received.At : std::nullopt);
                faults = mBootloader.Faults;
                vanish = faults.VanishInBlock > 0 &&
                         mBootloader.BlocksLoaded() == faults.VanishInBlock &&
                         mBootloader.DataDue() > 0 &&
                         mBootloader.DataDue() == mBootloader.DataSize() / 2;
            }
            if (vanish) {
                Leave(Exit::Vanished);
                return;
            }
            // The answer is ready as soon as the command has arrived, or once
            // the erase has taken its time.
            Clock::time_point ready = mFromProgram.End();
            if (step.Erased && faults.EraseDelayMs > 0) {
                if (!Sleep(std::chrono::milliseconds(faults.EraseDelayMs))) {
                    return;
                }
                ready = Clock::now();
            }
            if (!step.Reply.isEmpty() && !Send(step.Reply, ready)) {
                return;
            }
            if (step.Reset) {
                Leave(Exit::Reset);
                return;
            }
        }
    }
}

void BootloaderPtyServer::CountSent(qint64 bytes) {
    const std::lock_guard lock(mMutex);
    mTraffic.Sent += bytes;
}

bool BootloaderPtyServer::Send(const QByteArray& bytes, Clock::time_point queued) {
    int baud = 0;
    {
        const std::lock_guard lock(mMutex);
        baud = mPacingBaud;
    }
    bool onTheWire = false;
    for (qsizetype i = 0; i < bytes.size();) {
        if (mStop || mMaster < 0) {
            return false;
        }
        const qsizetype count = baud > 0 ? 1 : bytes.size() - i;
        if (baud > 0 && !onTheWire) {
            std::this_thread::sleep_until(mToProgram.Carry(1, baud, queued));
            onTheWire = true;
        }
        // Counted before they go: the program may have them before this
        // thread gets to count them.
        CountSent(count);
        const ssize_t written = ::write(mMaster, bytes.constData() + i, static_cast<size_t>(count));
        CountSent(std::max<ssize_t>(written, 0) - count);
        if (written > 0) {
            i += written;
            onTheWire = false;
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            // The program is not reading: wait for room.
            pollfd line{mMaster, POLLOUT, 0};
            ::poll(&line, 1, 100);
        }
    }
    return true;
}

bool BootloaderPtyServer::Sleep(Clock::duration time) {
    // In short steps, so that the end of the simulation does not wait for it.
    const auto until = Clock::now() + time;
    while (!mStop && Clock::now() < until) {
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(20)));
    }
    return !mStop;
}
