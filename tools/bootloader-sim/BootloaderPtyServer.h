#pragma once

#include "BootloaderCommandModel.h"
#include "WirePacing.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The dialler's bootloader on a pseudo-terminal, answering on a thread of
// its own. It is off the bus until started; a reset or a vanished port takes
// it off again, and the exit observer learns of it. The flash survives all
// of this, so tests can compare it with the image they wrote.
//
//     BootloaderPtyServer bootloader;
//     port.SetPort(bootloader.Start());
//     ...
//     EXPECT_EQ(bootloader.Application(image.size()), image);
class BootloaderPtyServer {
public:
    enum class Exit {
        Reset,    // the processor was reset through its reset register
        Vanished, // the port went away in the middle of a transfer
    };

    BootloaderPtyServer();
    ~BootloaderPtyServer();
    BootloaderPtyServer(const BootloaderPtyServer&) = delete;
    BootloaderPtyServer& operator=(const BootloaderPtyServer&) = delete;

    // The boot program starts on a fresh pseudo-terminal, leaving the old
    // one if it still runs; returns the path of its port.
    QString Start();
    // The port's path while it runs, else empty.
    QString PortName() const;

    void SetFaults(const BootloaderFaults& faults);
    // Drops what shares a USB packet with the end of an "S" command or of
    // its data, as the monitor does. Off unless asked for: the rule goes by
    // when the bytes reach the terminal, which a busy machine can delay.
    void SetUsbPacketRule(bool on) { mUsbPacketRule = on; }
    // When above 0, bytes travel no faster than on a wire of this baud rate,
    // in both directions (ten bits per byte).
    void SetPacingBaud(int baud);

    // `size` bytes of flash from the application's start.
    QByteArray Application(std::uint32_t size) const;
    bool ApplicationErased() const;
    // A copy into flash has been carried out since the simulation began.
    bool ApplicationWritten() const;
    // Every command received, with its "#", in order.
    QList<QByteArray> ReceivedCommands() const;
    void ClearReceivedCommands();
    // Every byte that crossed its lines so far, both ways, over all starts.
    WireTraffic Traffic() const;

    // Called on the simulator's thread once the port has gone.
    void SetExitObserver(std::function<void(Exit)> observer);

private:
    using Clock = std::chrono::steady_clock;

    void Run();
    void Wake();
    void Open();
    void Close();
    void Leave(Exit exit);
    // Takes what the program sent and acts on it, byte by byte; paced, no
    // faster than the wire carries it.
    void ReceiveFromLine();
    // Notes the bytes that came into the terminal since the last look.
    void Look();
    // Reads every byte waiting in the terminal into mPending (when poll
    // said it is `readable`, at least once).
    void Drain(bool readable);
    // Waits until `until`, reading what comes meanwhile; false once the
    // simulation ends or the port has gone.
    bool WaitDraining(Clock::time_point until);
    // When the oldest byte not yet read arrived; unknown for bytes read
    // before a look saw them.
    BootloaderCommandModel::Arrival TakeArrival();
    // Sends bytes that are ready at `queued`; paced, they follow what the
    // wire still carries from then on.
    bool Send(const QByteArray& bytes, Clock::time_point queued);
    void CountSent(qint64 bytes);
    bool Sleep(Clock::duration time);

    mutable std::mutex mMutex;
    std::condition_variable mStarted;
    BootloaderCommandModel mBootloader;
    QString mPortName;
    int mPacingBaud = 0;
    WireTraffic mTraffic;
    bool mStartRequested = false;
    std::mutex mObserverMutex;
    std::function<void(Exit)> mObserver;

    // Only the simulator's thread touches these once it runs.
    int mMaster = -1;
    int mSlave = -1;
    int mWake = -1;
    WirePacing::Direction mFromProgram;
    WirePacing::Direction mToProgram;
    // What was read and is still to be acted on, with when it arrived and
    // when it was read.
    struct ReceivedByte {
        char Byte = 0;
        BootloaderCommandModel::Arrival At;
        Clock::time_point Read;
    };
    std::deque<ReceivedByte> mPending;
    // The bytes waiting in the terminal, oldest first, in runs that a look
    // first saw together, with the time of that look.
    struct ArrivedRun {
        int Count = 0;
        BootloaderCommandModel::Arrival At;
    };
    std::deque<ArrivedRun> mArrived;
    int mArrivedCount = 0;
    Clock::time_point mLastLook;

    std::atomic<bool> mStop{false};
    std::atomic<bool> mUsbPacketRule{false};
    std::thread mThread;
};
