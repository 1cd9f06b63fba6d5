#pragma once

#include "DiallerCommandModel.h"
#include "WirePacing.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// How the simulated dialler behaves on the line, including the faults a real
// one shows now and then. The defaults are a well-behaved dialler.
struct DiallerLineBehaviour {
    // Its prompt: one ">" ahead of the echo of each command (not a fault).
    bool PromptBeforeEcho = false;
    // ">>" ahead of the echo.
    bool ExtraPrompt = false;
    // Answers without echoing the command.
    bool NoEcho = false;
    // Echoes `WrongEchoByte` in place of the command's byte at this position.
    int WrongEchoAt = -1;
    char WrongEchoByte = '?';
    // Says nothing at all, neither echo nor reply.
    bool Silent = false;
    // Pause in front of every byte it sends.
    int ByteDelayMs = 0;
    // Pause in front of each of the first `SlowLineBytes` bytes (all when
    // -1) of this reply line, matched with its line end.
    QByteArray SlowLine;
    int SlowLineByteDelayMs = 0;
    int SlowLineBytes = -1;
    // Bytes sent between the echo and the reply.
    QByteArray NoiseBeforeReply;
    // Ends its lines with CR LF.
    bool CrLfLineEnds = false;
    // Writes its replies in lower case.
    bool LowerCaseReplies = false;
    // Commands starting with one of these are refused with "Error".
    QList<QByteArray> RefusedCommands;
    // Commands starting with the first text get the second, line ends
    // included, as their whole answer and are not carried out: a dialler
    // that answers wrongly.
    QList<std::pair<QByteArray, QByteArray>> ReplacedReplies;
    // The port vanishes once the part of a command received so far equals
    // this text (after its echo), as when the cable is pulled mid-exchange.
    QByteArray HangUpWhenReceived;
    // Falls silent once the part of a command received so far equals this
    // text (its last byte not echoed), and stays silent until the next
    // SetBehaviour: a dialler that stopped in the middle of an exchange.
    QByteArray SilentWhenReceived;
    // Takes and stores a voice message but never confirms it.
    bool NoReplyAfterVoiceData = false;
    // Takes and stores a voice message and confirms it with these bytes
    // (line end included) instead of its "Success!" line.
    QByteArray ReplyAfterVoiceData;
    // The port vanishes once this many bytes of a voice message have
    // arrived (none when negative).
    int HangUpAfterVoiceBytes = -1;
    // When above 0, bytes travel no faster than on a wire of this baud rate,
    // in both directions (ten bits per byte).
    int PacingBaud = 0;
    // Commands starting with `first` are carried out as usual but answered
    // with the bytes `second` (line ends included), as a dialler with other
    // firmware words its answers.
    QList<std::pair<QByteArray, QByteArray>> AnswersInstead;
};

// A simulated ORNEX dialler on a pseudo-terminal, for tests and for trying
// the program without a device. It offers the terminal's slave side as the
// serial port (PortName), answers on the master side on a thread of its own,
// and records every command it receives.
//
//     DiallerPtyServer dialler;
//     dialler.SetFirmwareVersion(3, 14, 1);
//     port.SetPort(dialler.PortName());
//     ...
//     EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"ver;"}));
//
// It keeps its own descriptor of the slave side open, so that the program
// may close and reopen the port without the line hanging up. HangUp closes
// everything: the port's path disappears and the program's open port fails.
class DiallerPtyServer {
public:
    // A WAV upload that stops for this long is abandoned.
    static constexpr int VoiceDataGapMs = 2000;

    DiallerPtyServer(); // throws std::runtime_error when no terminal is free
    ~DiallerPtyServer();
    DiallerPtyServer(const DiallerPtyServer&) = delete;
    DiallerPtyServer& operator=(const DiallerPtyServer&) = delete;

    // The path of the port the program opens, for example /dev/pts/4.
    QString PortName() const;

    void SetFirmwareVersion(int major, int minor, int hardwareVariant);
    // The whole answer to "ver;" with its line ends, replacing the version line.
    void SetVersionReply(const QByteArray& reply);
    void SetSettings(const DiallerSettings& settings);
    DiallerSettings Settings() const;
    void SetOutput(int output, bool on);
    bool Output(int output) const;
    QByteArray VoiceMessage(int input) const;
    int FlashSaves() const;
    // Direct access for what the setters above do not cover.
    void WithDialler(const std::function<void(DiallerCommandModel&)>& change);

    void SetBehaviour(const DiallerLineBehaviour& behaviour);
    DiallerLineBehaviour Behaviour() const;

    // Every whole command received, in order, with its ";".
    QList<QByteArray> ReceivedCommands() const;
    // Every byte received, commands and voice data alike, in order.
    QByteArray ReceivedBytes() const;
    // Every byte that crossed the line so far, both ways; the records above
    // forgetting theirs does not reset it.
    WireTraffic Traffic() const;
    // Forgets both records.
    void ClearReceivedCommands();
    // Called on the simulator's thread for every whole command received.
    void SetCommandObserver(std::function<void(const QByteArray&)> observer);

    // Sends bytes unasked, as soon as the line is free.
    void Inject(const QByteArray& bytes);
    // The port vanishes now; returns when it has.
    void HangUp();
    // The port vanishes after `delayMs`, whatever is going on.
    void HangUpAfter(int delayMs);
    bool HungUp() const;

    // The dialler starts again after leaving the bus (a restart, or the
    // cable pulled out and back in): a fresh pseudo-terminal whose path is
    // returned, and the settings and voice messages kept. One still on the
    // bus leaves it first.
    QString Replug();
    // Called on the simulator's thread after "rst boot N;" has taken the
    // dialler off the bus, so that its bootloader can take its place.
    void SetRestartObserver(std::function<void()> observer);

private:
    using Clock = std::chrono::steady_clock;

    void Run();
    void Wake();
    void DrainWake();
    bool HangUpDue();
    void ReceiveFromLine();
    void HandleByte(char byte, const DiallerLineBehaviour& behaviour);
    void HandleVoiceData(char byte, const DiallerLineBehaviour& behaviour);
    void Reply(const DiallerReply& reply, const DiallerLineBehaviour& behaviour);
    // Sends bytes that are ready at `queued`; paced, they follow what the
    // wire still carries from then on.
    bool Send(const QByteArray& bytes, const DiallerLineBehaviour& behaviour,
              Clock::time_point queued, int slowBytes = 0, int slowDelayMs = 0);
    bool WriteAll(const char* bytes, qsizetype count);
    void CountSent(qint64 bytes);
    bool Pause(int ms);
    bool WaitForLine(short events, int timeoutMs);
    void DoHangUp();
    void OpenTerminal();
    void Reopen();

    QString mPortName;
    int mMaster = -1;
    int mSlave = -1;
    int mWake = -1;

    mutable std::mutex mMutex;
    std::condition_variable mHungUpChanged;
    DiallerCommandModel mDialler;
    DiallerLineBehaviour mBehaviour;
    QList<QByteArray> mReceived;
    QByteArray mReceivedBytes;
    WireTraffic mTraffic;
    QList<QByteArray> mInjections;
    std::function<void(const QByteArray&)> mObserver;
    std::optional<Clock::time_point> mHangUpAt;
    bool mHungUp = false;
    bool mReplugRequested = false;
    std::mutex mRestartObserverMutex;
    std::function<void()> mRestartObserver;

    // Only the simulator's thread touches these.
    QByteArray mPending;
    bool mTakingVoiceData = false;
    int mVoiceInput = 0;
    QByteArray mVoiceData;
    Clock::time_point mLastVoiceByte;
    WirePacing::Direction mFromProgram;
    WirePacing::Direction mToProgram;
    bool mReceiveBacklog = false;
    bool mWakeDeferred = false;
    // SilentWhenReceived has been met; SetBehaviour clears it.
    std::atomic<bool> mFellSilent{false};

    std::atomic<bool> mStop{false};
    std::thread mThread;
};
