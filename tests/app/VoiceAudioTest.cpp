// The Voice Messages page against real sound: a PulseAudio server of the
// test's own with a null sink (whose monitor shows what was played) and a
// microphone that hears that sink, and, for the capture test, an X server
// whose keyboard the test can press Escape on.

#include "app/TMainForm.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "platform/SoundDevices.h"
#include "support/DialogAnswerer.h"
#include "support/VoiceImages.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QMediaDevices>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Why the real-sound tests cannot run here; empty when they can.
QString gNoSoundServer;
QString gNoDisplay;

constexpr int Rate = 8000;

std::vector<qint16> ToSamples(const QByteArray& bytes) {
    std::vector<qint16> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    }
    return samples;
}

QByteArray Tone(int hz, int amplitude, int seconds) {
    QByteArray bytes(seconds * Rate * 2, '\0');
    for (int i = 0; i < seconds * Rate; ++i) {
        qToLittleEndian<qint16>(
            qint16(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / Rate))),
            bytes.data() + 2 * i);
    }
    return bytes;
}

// Where `samples` stop following the tone (sample for sample, within the
// rounding), from wherever in its cycle they begin; -1 when they follow it
// to the end. A tone of an odd frequency does not fit a whole number of
// times into a block, so a block lost or doubled breaks it.
std::ptrdiff_t ToneBreak(const std::vector<qint16>& samples, int hz, int amplitude) {
    const std::vector<qint16> cycle = ToSamples(Tone(hz, amplitude, 1));
    const auto follows = [&](std::size_t phase, std::size_t i) {
        return std::abs(cycle[(phase + i) % cycle.size()] - samples[i]) <= 1;
    };
    for (std::size_t phase = 0; phase < cycle.size(); ++phase) {
        std::size_t i = 0;
        while (i < std::min<std::size_t>(samples.size(), 64) && follows(phase, i)) {
            ++i;
        }
        if (i == std::min<std::size_t>(samples.size(), 64)) {
            for (; i < samples.size(); ++i) {
                if (!follows(phase, i)) {
                    return std::ptrdiff_t(i);
                }
            }
            return -1;
        }
    }
    return 0;
}

// A sound client of the test's server (pacat / parec).
class PulseClient {
public:
    explicit PulseClient(const QStringList& arguments) {
        mProcess.setProgram(QStringLiteral("pacat"));
        mProcess.setArguments(
            QStringList{"--format=s16le", "--rate=8000", "--channels=1", "--raw"} + arguments);
        mProcess.start();
        EXPECT_TRUE(mProcess.waitForStarted());
    }
    ~PulseClient() {
        mProcess.terminate();
        mProcess.waitForFinished();
    }
    QProcess& Process() { return mProcess; }

private:
    QProcess mProcess;
};

class VoiceAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gNoSoundServer.isEmpty()) {
            GTEST_SKIP() << qPrintable(gNoSoundServer);
        }
        QDir::setCurrent(mWork.path());
        form.Supervisor()->CheckPortTimer()->stop();
    }
    void TearDown() override { QDir::setCurrent(mPrevious); }

    VoiceMessagePage& Page() { return *form.Voice(); }

    // Feeds a tone to the test microphone by playing it into the null sink.
    std::unique_ptr<PulseClient> FeedTone(int hz, int amplitude, int seconds) {
        auto feed = std::make_unique<PulseClient>(QStringList{"--playback", "-d", "nullsink"});
        feed->Process().write(Tone(hz, amplitude, seconds));
        feed->Process().closeWriteChannel();
        // Until it is heard: the sink plays a little while after connecting.
        QTest::qWait(500);
        return feed;
    }

    QTemporaryDir mWork;
    QString mPrevious = QDir::currentPath();
    TMainForm form;
};

TEST_F(VoiceAudioTest, PlaybackSendsTheSlotSampleForSampleAndWaitsForItsEnd) {
    // A second and a half of saw tooth, none of its samples silent.
    const QByteArray message =
        VoiceImage(24000, [](int i) { return qint16(((i * 37) % 2001 - 1000) | 1); });
    PutVoiceImage(Page().Messages()[2], message);
    Page().MessageItems[2]->click();

    PulseClient monitor({"--record", "-d", "nullsink.monitor"});
    // The monitor delivers silence until the message comes.
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.Process().bytesAvailable() >= 1600; }, 10000));
    QElapsedTimer playing;
    playing.start();
    Page().PlayButton->click();
    EXPECT_GE(playing.elapsed(), 1500);
    QTest::qWait(500);
    const std::vector<qint16> heard = ToSamples(monitor.Process().readAll());

    const std::vector<qint16> sent = ToSamples(message.mid(VoiceFormat::HeaderSize));
    const auto start = std::find_if(heard.begin(), heard.end(), [](qint16 s) { return s != 0; });
    ASSERT_GE(heard.end() - start, std::ptrdiff_t(sent.size()));
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), start));
    EXPECT_TRUE(std::all_of(start + std::ptrdiff_t(sent.size()), heard.end(),
                            [](qint16 s) { return s == 0; }));
}

TEST_F(VoiceAudioTest, PlayingAnEmptyMessageShowsNothingAndReturnsAtOnce) {
    PutVoiceImage(Page().Messages()[4],
                  QByteArray(EmptyVoiceHeader.data(), EmptyVoiceHeader.size()));
    Page().MessageItems[4]->click();
    DialogAnswerer answerer({});

    QElapsedTimer playing;
    playing.start();
    Page().PlayButton->click();

    // Well within the second a silent output is given: nothing waited for
    // sound to be played.
    EXPECT_LT(playing.elapsed(), SoundFormat::StallMs);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(Page().RecordButton->isEnabled());
    EXPECT_TRUE(Page().MessageSelectRadioGroup->isEnabled());
}

TEST_F(VoiceAudioTest, RecordingTakesTheMicrophoneForFifteenSecondsIntoTheSlot) {
    const auto feed = FeedTone(441, 8000, 19);
    Page().MessageItems[5]->click();
    DialogAnswerer answerer({});
    Page().RecordButton->click();
    ASSERT_TRUE(Page().RecordingInProgress);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Page().RecordingInProgress; }, 30000));
    EXPECT_TRUE(answerer.Seen().empty());

    // The timer ends it at 15 seconds; the slot holds at most a full one.
    // A busy machine may hand over the first and last fragments of sound
    // late, a little under a second in all.
    const quint32 data = DataLength(Page().Messages()[5]);
    EXPECT_LE(data, 240000u);
    EXPECT_GE(data, 224000u);
    EXPECT_EQ(
        Page().MessageItems[5]->text(),
        VoiceMessageItemText(6, VoiceDurationText(VoiceDurationMs(Page().Messages()[5])), false));
    const std::vector<qint16> recorded =
        ToSamples(SlotBytes(Page().Messages()[5], VoiceFormat::HeaderSize + data)
                      .mid(VoiceFormat::HeaderSize));
    EXPECT_EQ(ToneBreak(recorded, 441, 8000), -1);
}

TEST_F(VoiceAudioTest, CaptureTestWritesTheToneInWholeBlocksUntilEscapeIsHeld) {
    if (!gNoDisplay.isEmpty()) {
        GTEST_SKIP() << qPrintable(gNoDisplay);
    }
    const auto feed = FeedTone(441, 6000, 10);
    // Escape goes down on the X server's keyboard while the capture runs
    // and stays down until it has ended.
    QProcess escape;
    escape.start(QStringLiteral("xdotool"), {"sleep", "2.3", "keydown", "Escape"});
    ASSERT_TRUE(escape.waitForStarted());
    Page().Button1->click();
    escape.waitForFinished();
    QProcess::execute(QStringLiteral("xdotool"), {"keyup", "Escape"});

    QFile file(mWork.filePath("my_recorded_audio.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size() % 8000, 0);
    EXPECT_GE(bytes.size(), 32000);
    // No sound is lost between blocks.
    EXPECT_EQ(ToneBreak(ToSamples(bytes), 441, 6000), -1);
}

// Starts a program and waits for it; its standard output, or empty when it
// could not run or failed.
QByteArray Run(const QString& program, const QStringList& arguments, int timeoutMs = 10000) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

// A PulseAudio server for this process alone: its socket lives in a folder
// of its own, which the program and the pacat clients find through
// PULSE_RUNTIME_PATH. It leaves by itself once no client has been connected
// for a while, so it never outlives the test process for long, and the
// process does not have to take the server away under its own connection.
QString StartSoundServer(const QTemporaryDir& folder) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pacat")).isEmpty()) {
        return QStringLiteral("PulseAudio is not installed (packages pulseaudio and "
                              "pulseaudio-utils)");
    }
    qputenv("PULSE_RUNTIME_PATH", QFile::encodeName(folder.filePath("run")));
    qputenv("PULSE_STATE_PATH", QFile::encodeName(folder.filePath("state")));
    const int code = QProcess::execute(
        QStringLiteral("pulseaudio"),
        {"-n", "--daemonize=yes", "--exit-idle-time=20", "--use-pid-file=yes",
         "--load=module-native-protocol-unix auth-anonymous=1",
         // Without norewinds the null sink keeps two seconds of latency.
         "--load=module-null-sink sink_name=nullsink format=s16le rate=8000 channels=1 "
         "norewinds=1",
         // Qt lists no monitor as an input: the microphone hears the sink.
         "--load=module-remap-source master=nullsink.monitor source_name=loopmic format=s16le "
         "rate=8000 channels=1"});
    if (code != 0 || Run(QStringLiteral("pactl"), {"info"}).isEmpty()) {
        return QStringLiteral("no PulseAudio server could be started here");
    }
    return QString();
}

// An X server for the capture test, whose keyboard xdotool presses.
QString StartDisplay(QProcess& xvfb) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        return QStringLiteral("the capture test needs an X display: install xvfb and xdotool");
    }
    // Xvfb picks a free display and names it on the given descriptor.
    xvfb.start(QStringLiteral("Xvfb"),
               {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    if (!xvfb.waitForReadyRead(10000)) {
        return QStringLiteral("Xvfb did not start");
    }
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    return QString();
}

} // namespace

int main(int argc, char** argv) {
    QProcess xvfb;
    gNoDisplay = StartDisplay(xvfb);
    if (!gNoDisplay.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir soundFolder;
    // Before the first use of sound: Qt never finds a server that starts
    // after that.
    gNoSoundServer = StartSoundServer(soundFolder);
    int result = 0;
    {
        QApplication app(argc, argv);
        // Connected from the start, so the server does not leave while idle.
        QMediaDevices::audioOutputs();
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        SettleSoundBeforeExit();
    }
    xvfb.terminate();
    xvfb.waitForFinished();
    return result;
}
