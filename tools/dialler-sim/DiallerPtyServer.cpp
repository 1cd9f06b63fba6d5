#include "DiallerPtyServer.h"

#include "PseudoTerminal.h"
#include "WirePacing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::runtime_error SystemFailure(const char* what) {
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Bytes read from the line in one go. Paced, a command is taken one byte at
// a time, so that each byte's echo follows its arrival as on the dialler's
// wire, and a voice message in small runs, so that pacing stays even.
constexpr int ReceiveChunk = 256;
constexpr int PacedVoiceDataChunk = 16;

int Le32(const QByteArray& bytes, int at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return static_cast<int>(std::min<quint32>(value, 1u << 30));
}

} // namespace

DiallerPtyServer::DiallerPtyServer() {
    OpenTerminal();
    mWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (mWake < 0) {
        const auto failure = SystemFailure("eventfd");
        ::close(mSlave);
        ::close(mMaster);
        throw failure;
    }
    mThread = std::thread([this] { Run(); });
}

void DiallerPtyServer::OpenTerminal() {
    const PseudoTerminal terminal = OpenPseudoTerminal();
    const std::lock_guard lock(mMutex);
    mMaster = terminal.Master;
    mSlave = terminal.Slave;
    mPortName = terminal.Path;
    mHungUp = false;
}

DiallerPtyServer::~DiallerPtyServer() {
    mStop = true;
    Wake();
    mThread.join();
    DoHangUp();
    ::close(mWake);
}

void DiallerPtyServer::Wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(mWake, &one, sizeof one);
}

void DiallerPtyServer::DrainWake() {
    uint64_t count = 0;
    [[maybe_unused]] const auto got = ::read(mWake, &count, sizeof count);
}

QString DiallerPtyServer::PortName() const {
    const std::lock_guard lock(mMutex);
    return mPortName;
}

QString DiallerPtyServer::Replug() {
    if (std::this_thread::get_id() == mThread.get_id()) {
        Reopen();
        return PortName();
    }
    std::unique_lock lock(mMutex);
    mReplugRequested = true;
    lock.unlock();
    Wake();
    lock.lock();
    mHungUpChanged.wait(lock, [this] { return !mReplugRequested; });
    return mPortName;
}

void DiallerPtyServer::Reopen() {
    if (mMaster >= 0) {
        DoHangUp();
    }
    mPending.clear();
    mTakingVoiceData = false;
    mReceiveBacklog = false;
    OpenTerminal();
    const std::lock_guard lock(mMutex);
    mReplugRequested = false;
    mHungUpChanged.notify_all();
}

void DiallerPtyServer::SetRestartObserver(std::function<void()> observer) {
    // Waits for a restart being reported: the observer may go away after this.
    const std::lock_guard lock(mRestartObserverMutex);
    mRestartObserver = std::move(observer);
}

void DiallerPtyServer::SetFirmwareVersion(int major, int minor, int hardwareVariant) {
    const std::lock_guard lock(mMutex);
    mDialler.FirmwareMajor = major;
    mDialler.FirmwareMinor = minor;
    mDialler.HardwareVariant = hardwareVariant;
}

void DiallerPtyServer::SetVersionReply(const QByteArray& reply) {
    const std::lock_guard lock(mMutex);
    mDialler.VersionReply = reply;
}

void DiallerPtyServer::SetSettings(const DiallerSettings& settings) {
    const std::lock_guard lock(mMutex);
    mDialler.Settings = settings;
}

DiallerSettings DiallerPtyServer::Settings() const {
    const std::lock_guard lock(mMutex);
    return mDialler.Settings;
}

void DiallerPtyServer::SetOutput(int output, bool on) {
    const std::lock_guard lock(mMutex);
    mDialler.Outputs.at(output - 1) = on;
}

bool DiallerPtyServer::Output(int output) const {
    const std::lock_guard lock(mMutex);
    return mDialler.Outputs.at(output - 1);
}

QByteArray DiallerPtyServer::VoiceMessage(int input) const {
    const std::lock_guard lock(mMutex);
    return mDialler.VoiceMessages.at(input - 1);
}

int DiallerPtyServer::FlashSaves() const {
    const std::lock_guard lock(mMutex);
    return mDialler.FlashSaves;
}

void DiallerPtyServer::WithDialler(const std::function<void(DiallerCommandModel&)>& change) {
    const std::lock_guard lock(mMutex);
    change(mDialler);
}

void DiallerPtyServer::SetBehaviour(const DiallerLineBehaviour& behaviour) {
    const std::lock_guard lock(mMutex);
    mBehaviour = behaviour;
    mFellSilent = false;
}

DiallerLineBehaviour DiallerPtyServer::Behaviour() const {
    const std::lock_guard lock(mMutex);
    return mBehaviour;
}

QList<QByteArray> DiallerPtyServer::ReceivedCommands() const {
    const std::lock_guard lock(mMutex);
    return mReceived;
}

WireTraffic DiallerPtyServer::Traffic() const {
    const std::lock_guard lock(mMutex);
    return mTraffic;
}

QByteArray DiallerPtyServer::ReceivedBytes() const {
    const std::lock_guard lock(mMutex);
    return mReceivedBytes;
}

void DiallerPtyServer::ClearReceivedCommands() {
    const std::lock_guard lock(mMutex);
    mReceived.clear();
    mReceivedBytes.clear();
}

void DiallerPtyServer::SetCommandObserver(std::function<void(const QByteArray&)> observer) {
    const std::lock_guard lock(mMutex);
    mObserver = std::move(observer);
}

void DiallerPtyServer::Inject(const QByteArray& bytes) {
    {
        const std::lock_guard lock(mMutex);
        mInjections << bytes;
    }
    Wake();
}

void DiallerPtyServer::HangUp() {
    std::unique_lock lock(mMutex);
    mHangUpAt = Clock::now();
    lock.unlock();
    Wake();
    lock.lock();
    mHungUpChanged.wait(lock, [this] { return mHungUp; });
}

void DiallerPtyServer::HangUpAfter(int delayMs) {
    {
        const std::lock_guard lock(mMutex);
        mHangUpAt = Clock::now() + std::chrono::milliseconds(delayMs);
    }
    Wake();
}

bool DiallerPtyServer::HungUp() const {
    const std::lock_guard lock(mMutex);
    return mHungUp;
}

bool DiallerPtyServer::HangUpDue() {
    const std::lock_guard lock(mMutex);
    return mHangUpAt && Clock::now() >= *mHangUpAt;
}

void DiallerPtyServer::DoHangUp() {
    std::lock_guard lock(mMutex);
    if (mMaster >= 0) {
        ::close(mMaster);
        mMaster = -1;
    }
    if (mSlave >= 0) {
        ::close(mSlave);
        mSlave = -1;
    }
    mHangUpAt.reset();
    mHungUp = true;
    mTakingVoiceData = false;
    mPending.clear();
    mHungUpChanged.notify_all();
}

void DiallerPtyServer::Run() {
    while (!mStop) {
        int timeoutMs = -1;
        {
            const std::lock_guard lock(mMutex);
            if (mHangUpAt) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    *mHangUpAt - Clock::now());
                timeoutMs = static_cast<int>(std::max<long long>(0, left.count() + 1));
            }
        }
        if (mTakingVoiceData) {
            timeoutMs = timeoutMs < 0 ? VoiceDataGapMs : std::min(timeoutMs, VoiceDataGapMs);
        }
        if (mWakeDeferred) {
            // A wake-up came while a reply was going out; see to it now.
            mWakeDeferred = false;
            timeoutMs = 0;
        }
        pollfd watched[2] = {{mWake, POLLIN, 0}, {mMaster, POLLIN, 0}};
        const int count = mMaster >= 0 ? 2 : 1;
        if (::poll(watched, count, timeoutMs) < 0 && errno != EINTR) {
            break;
        }
        if (watched[0].revents != 0) {
            DrainWake();
        }
        if (mStop) {
            break;
        }
        bool replug = false;
        {
            const std::lock_guard lock(mMutex);
            replug = mReplugRequested;
        }
        if (replug) {
            Reopen();
        }
        if (HangUpDue()) {
            DoHangUp();
            continue;
        }
        QList<QByteArray> injections;
        DiallerLineBehaviour behaviour;
        {
            const std::lock_guard lock(mMutex);
            injections.swap(mInjections);
            behaviour = mBehaviour;
        }
        for (const QByteArray& bytes : injections) {
            Send(bytes, behaviour, Clock::now());
        }
        if (mMaster >= 0 && (watched[1].revents & POLLIN) != 0) {
            ReceiveFromLine();
        }
        if (mTakingVoiceData &&
            Clock::now() - mLastVoiceByte >= std::chrono::milliseconds(VoiceDataGapMs)) {
            // The data stopped coming: the dialler gives up and waits for
            // commands again.
            mTakingVoiceData = false;
        }
    }
}

void DiallerPtyServer::ReceiveFromLine() {
    DiallerLineBehaviour behaviour = Behaviour();
    const auto noticed = Clock::now();
    char bytes[ReceiveChunk];
    const int wanted = behaviour.PacingBaud <= 0 ? ReceiveChunk
                       : mTakingVoiceData        ? PacedVoiceDataChunk
                                                 : 1;
    const ssize_t got = ::read(mMaster, bytes, static_cast<size_t>(wanted));
    if (got <= 0) {
        return;
    }
    {
        const std::lock_guard lock(mMutex);
        mReceivedBytes.append(bytes, got);
        mTraffic.Received += got;
    }
    if (behaviour.PacingBaud > 0) {
        // The bytes have arrived only once the wire has carried them. Bytes
        // left waiting at the last look followed those on the wire; others
        // came in when they were noticed.
        const auto queued = mReceiveBacklog ? mFromProgram.End() : noticed;
        int waiting = 0;
        mReceiveBacklog = ::ioctl(mMaster, FIONREAD, &waiting) == 0 && waiting > 0;
        std::this_thread::sleep_until(mFromProgram.Carry(got, behaviour.PacingBaud, queued));
    }
    for (ssize_t i = 0; i < got && mMaster >= 0 && !mStop; ++i) {
        if (mTakingVoiceData) {
            HandleVoiceData(bytes[i], behaviour);
        } else {
            HandleByte(bytes[i], Behaviour());
        }
    }
}

void DiallerPtyServer::HandleByte(char byte, const DiallerLineBehaviour& given) {
    mPending += byte;
    if (!given.SilentWhenReceived.isEmpty() && mPending == given.SilentWhenReceived) {
        mFellSilent = true;
    }
    DiallerLineBehaviour behaviour = given;
    behaviour.Silent = behaviour.Silent || mFellSilent;
    const bool hangsUp =
        !behaviour.HangUpWhenReceived.isEmpty() && mPending == behaviour.HangUpWhenReceived;
    const bool complete = !hangsUp && DiallerCommandModel::CommandComplete(mPending);
    if (complete) {
        // On record before its last byte is echoed: once the program has the
        // whole echo, a test finds the command among those received.
        const std::lock_guard lock(mMutex);
        mReceived << mPending;
    }
    if (!behaviour.Silent && !behaviour.NoEcho) {
        // The dialler echoes each character as it receives it, perhaps
        // behind its prompt.
        QByteArray echo;
        if (mPending.size() == 1) {
            echo = behaviour.ExtraPrompt ? ">>" : behaviour.PromptBeforeEcho ? ">" : "";
        }
        echo += mPending.size() - 1 == behaviour.WrongEchoAt ? behaviour.WrongEchoByte : byte;
        if (!Send(echo, behaviour, mFromProgram.End())) {
            return;
        }
    }
    if (hangsUp) {
        DoHangUp();
        return;
    }
    if (!complete) {
        // A dialler keeps no endless line: an overlong run is dropped.
        if (mPending.size() > 4096) {
            mPending.clear();
        }
        return;
    }
    const QByteArray command = mPending;
    mPending.clear();

    DiallerReply reply;
    std::function<void(const QByteArray&)> observer;
    {
        const std::lock_guard lock(mMutex);
        observer = mObserver;
        mDialler.LineEnd = behaviour.CrLfLineEnds ? "\r\n" : "\r";
        const bool refused =
            std::any_of(behaviour.RefusedCommands.begin(), behaviour.RefusedCommands.end(),
                        [&](const QByteArray& prefix) { return command.startsWith(prefix); });
        const auto replaced =
            std::find_if(behaviour.ReplacedReplies.begin(), behaviour.ReplacedReplies.end(),
                         [&](const auto& entry) { return command.startsWith(entry.first); });
        if (refused) {
            reply.Lines << mDialler.RefusalLine();
        } else if (replaced != behaviour.ReplacedReplies.end()) {
            reply.Lines << replaced->second;
        } else {
            reply = mDialler.Execute(command);
        }
        for (const auto& [prefix, answer] : behaviour.AnswersInstead) {
            if (command.startsWith(prefix)) {
                reply.Lines = {answer};
                break;
            }
        }
    }
    if (observer) {
        observer(command);
    }
    if (!behaviour.Silent) {
        Reply(reply, behaviour);
    }
}

void DiallerPtyServer::Reply(const DiallerReply& reply, const DiallerLineBehaviour& behaviour) {
    // The answer is ready as soon as the command has arrived.
    const Clock::time_point ready = mFromProgram.End();
    if (!behaviour.NoiseBeforeReply.isEmpty() &&
        !Send(behaviour.NoiseBeforeReply, behaviour, ready)) {
        return;
    }
    for (QByteArray line : reply.Lines) {
        if (behaviour.LowerCaseReplies) {
            line = line.toLower();
        }
        const bool slow = !behaviour.SlowLine.isEmpty() && line == behaviour.SlowLine;
        const int slowBytes = !slow                         ? 0
                              : behaviour.SlowLineBytes < 0 ? static_cast<int>(line.size())
                                                            : behaviour.SlowLineBytes;
        if (!Send(line, behaviour, ready, slowBytes, behaviour.SlowLineByteDelayMs)) {
            return;
        }
    }
    switch (reply.Then) {
    case DiallerReply::Next::Command:
        break;
    case DiallerReply::Next::VoiceData:
        mTakingVoiceData = true;
        mVoiceInput = reply.Input;
        mVoiceData.clear();
        mLastVoiceByte = Clock::now();
        break;
    case DiallerReply::Next::BootloaderRestart:
        if (Pause(reply.RestartDelayMs)) {
            DoHangUp();
            const std::lock_guard lock(mRestartObserverMutex);
            if (mRestartObserver) {
                mRestartObserver();
            }
        }
        break;
    }
}

void DiallerPtyServer::HandleVoiceData(char byte, const DiallerLineBehaviour& behaviour) {
    mLastVoiceByte = Clock::now();
    mVoiceData += byte;
    if (behaviour.HangUpAfterVoiceBytes >= 0 &&
        mVoiceData.size() >= behaviour.HangUpAfterVoiceBytes) {
        DoHangUp();
        return;
    }
    // The data is a WAV image: "RIFF", then the length of what follows it.
    constexpr int HeaderPrefix = 8;
    if (mVoiceData.size() < HeaderPrefix) {
        return;
    }
    if (!mVoiceData.startsWith("RIFF")) {
        mTakingVoiceData = false;
        QByteArray refusal;
        {
            const std::lock_guard lock(mMutex);
            refusal = mDialler.RefusalLine();
        }
        Send(refusal, behaviour, mFromProgram.End());
        return;
    }
    if (mVoiceData.size() < Le32(mVoiceData, 4) + HeaderPrefix) {
        return;
    }
    mTakingVoiceData = false;
    DiallerReply reply;
    {
        const std::lock_guard lock(mMutex);
        reply = mDialler.TakeVoiceMessage(mVoiceInput, mVoiceData);
    }
    mVoiceData.clear();
    if (!behaviour.ReplyAfterVoiceData.isEmpty()) {
        reply.Lines = {behaviour.ReplyAfterVoiceData};
    }
    if (!behaviour.NoReplyAfterVoiceData) {
        Reply(reply, behaviour);
    }
}

bool DiallerPtyServer::Send(const QByteArray& bytes, const DiallerLineBehaviour& behaviour,
                            Clock::time_point queued, int slowBytes, int slowDelayMs) {
    const bool paced = behaviour.PacingBaud > 0;
    if (!paced && behaviour.ByteDelayMs <= 0 && slowBytes <= 0) {
        return WriteAll(bytes.constData(), bytes.size());
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int delay = behaviour.ByteDelayMs + (i < slowBytes ? slowDelayMs : 0);
        if (delay > 0) {
            if (!Pause(delay)) {
                return false;
            }
            queued = Clock::now();
        }
        if (paced) {
            std::this_thread::sleep_until(mToProgram.Carry(1, behaviour.PacingBaud, queued));
        }
        if (!WriteAll(bytes.constData() + i, 1)) {
            return false;
        }
    }
    return true;
}

void DiallerPtyServer::CountSent(qint64 bytes) {
    const std::lock_guard lock(mMutex);
    mTraffic.Sent += bytes;
}

bool DiallerPtyServer::WriteAll(const char* bytes, qsizetype count) {
    while (count > 0) {
        if (mMaster < 0 || mStop) {
            return false;
        }
        // Counted before they go: the program may have them before this
        // thread gets to count them.
        CountSent(count);
        const ssize_t written = ::write(mMaster, bytes, static_cast<size_t>(count));
        CountSent(std::max<ssize_t>(written, 0) - count);
        if (written > 0) {
            bytes += written;
            count -= written;
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        // The program is not reading: wait for room, a hang-up or the end.
        if (!WaitForLine(POLLOUT, 100)) {
            return false;
        }
    }
    return true;
}

bool DiallerPtyServer::Pause(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) {
            return mMaster >= 0 && !mStop;
        }
        if (!WaitForLine(0, static_cast<int>(std::min<long long>(left, 50)))) {
            return false;
        }
    }
}

bool DiallerPtyServer::WaitForLine(short events, int timeoutMs) {
    if (mStop || mMaster < 0) {
        return false;
    }
    // Wake-ups meant for the main loop (unasked bytes) are noted and left to
    // it; a hang-up or the end is seen to at once.
    pollfd watched[2] = {{mWake, short(mWakeDeferred ? 0 : POLLIN), 0}, {mMaster, events, 0}};
    ::poll(watched, events != 0 ? 2 : 1, timeoutMs);
    if ((watched[0].revents & POLLIN) != 0) {
        DrainWake();
        mWakeDeferred = true;
    }
    if (HangUpDue()) {
        DoHangUp();
        return false;
    }
    return !mStop;
}
