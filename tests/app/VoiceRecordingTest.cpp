#include "app/TMainForm.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "dialogs/MessageDialog.h"
#include "support/DialogAnswerer.h"
#include "support/FakeSoundDevices.h"
#include "support/VoiceImages.h"
#include "voice/VoiceRecorder.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Sound as the input delivers it: a saw tooth, so that every block differs.
qint16 Saw(int i) {
    return qint16((i * 53) % 4001 - 2000);
}

QByteArray Samples(int bytes, int offset = 0) {
    return VoiceImage(bytes, [offset](int i) { return Saw(i + offset); })
        .mid(VoiceFormat::HeaderSize);
}

// The WAV image of the first `bytes` of that sound, as a recording is kept.
QByteArray Recorded(int bytes) {
    return VoiceImage(bytes, Saw);
}

// The page's controls in one state of the recorder.
struct PageState {
    bool play, record, stop, group, recording, timer;
    bool operator==(const PageState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PageState& s) {
    return out << "play " << s.play << " record " << s.record << " stop " << s.stop << " group "
               << s.group << " recording " << s.recording << " timer " << s.timer;
}

constexpr PageState Idle{true, true, false, true, false, false};
constexpr PageState Playing{true, false, false, false, false, false};
constexpr PageState Recording{false, false, true, false, true, true};

class VoiceRecordingTest : public ::testing::Test {
protected:
    VoiceRecordingTest() {
        // The temporary recording and the test files go to folders of the
        // test's own, not to those other programs share.
        mTempBefore = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(mTemp.path()));
        QDir::setCurrent(mWork.path());
        form.Supervisor()->CheckPortTimer()->stop();
        Page().UseSoundDevices(std::make_unique<FakeSoundDevices>(sound));
        // Input 2 holds a message from the start; the others are empty.
        PutVoiceImage(Page().Messages()[1], QuietVoiceImage(16000));
        Page().MessageItems[1]->setText("Input &2 Message (1 sec)");
    }
    ~VoiceRecordingTest() override {
        QDir::setCurrent(mPrevious);
        qputenv("TMPDIR", mTempBefore);
    }

    VoiceMessagePage& Page() { return *form.Voice(); }

    PageState State() {
        return {Page().PlayButton->isEnabled(), Page().RecordButton->isEnabled(),
                Page().StopButton->isEnabled(), Page().MessageSelectRadioGroup->isEnabled(),
                Page().RecordingInProgress,     form.Voice()->RecordTimer()->isActive()};
    }

    QStringList Items() {
        QStringList texts;
        for (QRadioButton* item : Page().MessageItems) {
            texts << item->text();
        }
        return texts;
    }

    QByteArray WorkFile(const QString& name) {
        QFile file(QDir(mWork.path()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }

    std::shared_ptr<FakeSoundDevices::State> sound = std::make_shared<FakeSoundDevices::State>();
    QTemporaryDir mTemp;
    QTemporaryDir mWork;
    QString mPrevious = QDir::currentPath();
    QByteArray mTempBefore;
    TMainForm form;
};

TEST_F(VoiceRecordingTest, PlayRecordAndStopMoveThroughTheirStates) {
    EXPECT_EQ(State(), Idle);

    // Playing: the slot's own message goes out, and the page is locked
    // meanwhile.
    Page().MessageItems[1]->click();
    PageState whilePlaying{};
    sound->whilePlaying = [&] { whilePlaying = State(); };
    Page().PlayButton->click();
    EXPECT_EQ(whilePlaying, Playing);
    EXPECT_EQ(State(), Idle);
    ASSERT_EQ(sound->played.size(), 1);
    EXPECT_EQ(sound->played[0], QuietVoiceImage(16000));

    // Recording into input 4.
    Page().MessageItems[3]->click();
    Page().RecordButton->click();
    EXPECT_EQ(State(), Recording);
    sound->fed = Samples(30000);
    QTest::qWait(250); // the recorder collects while the window works
    EXPECT_TRUE(sound->fed.isEmpty());
    sound->fed = Samples(6800, 15000);
    Page().StopButton->click();
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(sound->inputsRunning, 0);
    EXPECT_EQ(SlotBytes(Page().Messages()[3], 36844), Recorded(36800));
    // Only the recorded item loses its accelerator.
    EXPECT_EQ(Items(), QStringList({"Input &1 Message (0 sec)", "Input &2 Message (1 sec)",
                                    "Input &3 Message (0 sec)", "Input 4 Message (2.3 sec)",
                                    "Input &5 Message (0 sec)", "Input &6 Message (0 sec)",
                                    "Input &7 Message (0 sec)", "Input &8 Message (0 sec)"}));
    EXPECT_FALSE(QFile::exists(TemporaryRecordingPath()));

    // A playback that fails says why; the page is usable again.
    sound->playFault = "no output";
    DialogAnswerer answerer({"OK"});
    Page().PlayButton->click();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "no output");
    EXPECT_EQ(State(), Idle);
}

TEST_F(VoiceRecordingTest, ARecordingThatCannotStartSaysWhyAndLeavesTheMessage) {
    const SoundStartFault faults[] = {SoundStartFault::NoDevice, SoundStartFault::FormatRefused,
                                      SoundStartFault::OpenFailed};
    Page().MessageItems[1]->click();
    for (SoundStartFault fault : faults) {
        sound->startFault = fault;
        sound->startReason = QString("reason %1").arg(int(fault));
        DialogAnswerer answerer({"OK"});
        Page().RecordButton->click();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "Set Voice Message Parameters Failed");
        EXPECT_EQ(answerer.Seen()[0].text, sound->startReason);
        EXPECT_EQ(answerer.Seen()[0].buttons, QStringList({"OK"}));
        EXPECT_EQ(answerer.Seen()[0].icon, ErrorIcon);
        EXPECT_EQ(State(), Idle);
    }
    EXPECT_EQ(SlotBytes(Page().Messages()[1], 16044), QuietVoiceImage(16000));
}

TEST_F(VoiceRecordingTest, EachRecordingGetsItsOwnTimeAndTheTimerEndsIt) {
    // 15 seconds from the start and never less: a coarse timer may fire 5 %
    // early and cut the last 750 ms off a message left to run to the limit.
    EXPECT_EQ(form.Voice()->RecordTimer()->interval(), 15000);
    EXPECT_EQ(form.Voice()->RecordTimer()->timerType(), Qt::PreciseTimer);

    // The window's 15 seconds, scaled down; the rule is the same.
    constexpr int LimitMs = 600;
    form.Voice()->RecordTimer()->setInterval(LimitMs);
    Page().RecordButton->click();
    QTest::qWait(LimitMs * 4 / 15);
    Page().StopButton->click();

    QElapsedTimer second;
    second.start();
    Page().RecordButton->click();
    sound->fed = Samples(300000); // more than a slot holds
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Page().RecordingInProgress; }, 10000));
    EXPECT_GE(second.elapsed(), LimitMs);
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(DataLength(Page().Messages()[0]), 240000u);
    EXPECT_EQ(SlotBytes(Page().Messages()[0], VoiceFormat::SlotSize).mid(VoiceFormat::HeaderSize),
              Samples(240000));
    EXPECT_EQ(Page().MessageItems[0]->text(), "Input 1 Message (15 sec)");
}

// File > New selects the first message while the radio group is locked.
TEST_F(VoiceRecordingTest, ARecordingGoesIntoTheMessageItWasStartedFor) {
    PutVoiceImage(Page().Messages()[0], QuietVoiceImage(8000));
    Page().MessageItems[0]->setText("Input &1 Message (0.5 sec)");
    for (const bool byTimer : {false, true}) {
        SCOPED_TRACE(byTimer ? "ended by the timer" : "ended by Stop");
        // The timer's 15 seconds, scaled down where it ends the recording.
        form.Voice()->RecordTimer()->setInterval(byTimer ? 300 : 15000);
        Page().MessageItems[3]->click();
        Page().RecordButton->click();
        sound->fed = Samples(36800);
        form.NewFileMenuItem()->trigger();
        ASSERT_EQ(Page().SelectedIndex(), 0);
        if (byTimer) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return !Page().RecordingInProgress; }, 10000));
        } else {
            QTest::qWait(250); // the recorder collects while the window works
            Page().StopButton->click();
        }
        EXPECT_EQ(State(), Idle);
        EXPECT_EQ(SlotBytes(Page().Messages()[3], 36844), Recorded(36800));
        EXPECT_EQ(SlotBytes(Page().Messages()[0], 8044), QuietVoiceImage(8000));
        EXPECT_EQ(Page().MessageItems[0]->text(), "Input &1 Message (0.5 sec)");
        EXPECT_EQ(Page().MessageItems[3]->text(), "Input 4 Message (2.3 sec)");
    }
}

TEST_F(VoiceRecordingTest, ARecordingThatWasNotWrittenLeavesAnEmptyMessage) {
    struct Case {
        const char* name;
        std::function<void()> fault;
    };
    const Case cases[] = {
        {"no temporary folder", [] { qputenv("TMPDIR", "/nonexistent/ornex"); }},
        {"input failed at once",
         [this] { sound->stallReason = "The sound input has stopped delivering sound."; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Page().MessageItems[1]->click();
        Page().RecordButton->click();
        DialogAnswerer answerer({"OK"});
        c.fault();
        if (sound->stallReason.isEmpty()) {
            Page().StopButton->click();
            EXPECT_TRUE(answerer.Seen().empty());
        } else {
            // The recorder notices at its next collection and ends it.
            ASSERT_TRUE(QTest::qWaitFor([this] { return !Page().RecordingInProgress; }, 5000));
            ASSERT_EQ(answerer.Seen().size(), 1u);
            EXPECT_EQ(answerer.Seen()[0].text, sound->stallReason);
        }
        EXPECT_EQ(State(), Idle);
        EXPECT_EQ(Page().MessageItems[1]->text(), "Input 2 Message (0 sec)");
        EXPECT_EQ(VoiceDurationMs(Page().Messages()[1]), 0);
        PutVoiceImage(Page().Messages()[1], QuietVoiceImage(16000));
        qputenv("TMPDIR", QFile::encodeName(mTemp.path()));
        sound->stallReason.clear();
    }
}

TEST_F(VoiceRecordingTest, SoundTestRecordsFiveSecondsPlaysThemAndKeepsThemOnYes) {
    // The input delivers in bursts, more than asked for by the end.
    sound->onPause = [this] { sound->fed = Samples(7000, 3500 * (sound->pauses - 1)); };
    for (const char* answer : {"&No", "&Yes"}) {
        SCOPED_TRACE(answer);
        sound->pauses = 0;
        sound->played.clear();
        DialogAnswerer answerer({answer});
        Page().Button2->click();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "");
        EXPECT_EQ(answerer.Seen()[0].text, "Do you want to save this recording?");
        EXPECT_EQ(answerer.Seen()[0].buttons, QStringList({"&Yes", "&No"}));
        EXPECT_EQ(answerer.Seen()[0].icon, ErrorIcon);
        ASSERT_EQ(sound->played.size(), 1);
        EXPECT_EQ(sound->played[0], Recorded(80000));
        EXPECT_EQ(sound->inputsRunning, 0);
        EXPECT_EQ(WorkFile("tempfile.wav"),
                  answer == std::string("&Yes") ? Recorded(80000) : QByteArray("missing"));
    }

    // An input that cannot start ends the test with its reason.
    sound->startFault = SoundStartFault::NoDevice;
    sound->startReason = "No sound server or sound device was found.";
    sound->played.clear();
    DialogAnswerer answerer({"OK"});
    Page().Button2->click();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, sound->startReason);
    EXPECT_TRUE(sound->played.isEmpty());
}

TEST_F(VoiceRecordingTest, CaptureTestWritesWholeBlocksUntilEscape) {
    struct Case {
        const char* name;
        int escapeAtPoll;   // Escape is found held at this poll (0: at once)
        QString stall;      // the input stops delivering after the feed
        QString dialogText; // empty: no dialog
        QByteArray file;
    };
    const QString stalled = "The sound input has stopped delivering sound.";
    const Case cases[] = {
        {"escape held at the start", 0, {}, {}, QByteArray()},
        // 5000 bytes come at each pause: by the seventh look at Escape
        // 25000 bytes have been read, three blocks are whole and the rest
        // is dropped.
        {"escape after six pauses", 6, {}, {}, Samples(24000)},
        {"input stalls", 1000, stalled, stalled, Samples(24000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int polls = 0;
        sound->escapeHeld = [&] { return polls++ == c.escapeAtPoll; };
        int fedBytes = 0;
        sound->onPause = [&] {
            if (fedBytes < 25000) {
                sound->fed += Samples(5000, fedBytes / 2);
                fedBytes += 5000;
            } else {
                sound->stallReason = c.stall;
            }
        };
        sound->stallReason.clear();
        DialogAnswerer answerer(c.dialogText.isEmpty() ? std::vector<DialogAnswer>{}
                                                       : std::vector<DialogAnswer>{"OK"});
        testing::internal::CaptureStdout();
        Page().Button1->click();
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Now recording audio.  Press Escape to stop and exit.\n");
        EXPECT_EQ(WorkFile("my_recorded_audio.bin"), c.file);
        EXPECT_EQ(sound->inputsRunning, 0);
        ASSERT_EQ(answerer.Seen().size(), c.dialogText.isEmpty() ? 0u : 1u);
        if (!c.dialogText.isEmpty()) {
            EXPECT_EQ(answerer.Seen()[0].text, c.dialogText);
        }
    }
    sound->stallReason.clear();

    // A file that refuses a block ends the capture with its reason.
    FakeSoundDevices devices(sound);
    auto input = devices.CreateInput();
    QString reason;
    ASSERT_EQ(input->Start(reason), SoundStartFault::None);
    int polls = 0;
    sound->escapeHeld = [&polls] { return polls++ == 3; };
    sound->onPause = {};
    sound->fed = Samples(CaptureBlockBytes);
    QBuffer full;
    full.open(QIODevice::ReadOnly);
    EXPECT_FALSE(RunRawCapture(devices, *input, full, reason));
    EXPECT_EQ(reason, full.errorString());
    EXPECT_FALSE(reason.isEmpty());
    input->Stop();
    sound->escapeHeld = [] { return false; };

    // Refusals: nothing is captured and no file is made.
    QFile::remove(QDir(mWork.path()).filePath("my_recorded_audio.bin"));
    struct Refusal {
        const char* name;
        std::function<void()> fault;
        QString title;
    };
    const Refusal refusals[] = {
        {"no keyboard state", [this] { sound->escapeReadable = false; }, "Error"},
        {"format refused",
         [this] {
             sound->startFault = SoundStartFault::FormatRefused;
             sound->startReason = "refused";
         },
         "Unsupported WAV format."},
        // Without an input the question whether it takes the format is
        // the first to fail.
        {"no device",
         [this] {
             sound->startFault = SoundStartFault::NoDevice;
             sound->startReason = "none";
         },
         "Unsupported WAV format."},
        {"device will not open",
         [this] {
             sound->startFault = SoundStartFault::OpenFailed;
             sound->startReason = "busy";
         },
         "Failed to open waveform input device."},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        r.fault();
        const int started = sound->inputsStarted;
        DialogAnswerer answerer({"OK"});
        Page().Button1->click();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, r.title);
        EXPECT_EQ(sound->inputsStarted, started);
        EXPECT_FALSE(QFile::exists(QDir(mWork.path()).filePath("my_recorded_audio.bin")));
        sound->escapeReadable = true;
    }
}

} // namespace
