#include "BenchMeasures.h"

#include "BenchSites.h"
#include "DemoDeviceSearch.h"
#include "DemoUsbBus.h"
#include "SimulatedDiallerBoard.h"
#include "app/TMainForm.h"
#include "device/CommandFraming.h"
#include "device/DeviceSession.h"
#include "device/DeviceTransport.h"
#include "firmware/BootloaderCommands.h"
#include "firmware/FirmwareUpgrade.h"
#include "platform/ComPort.h"
#include "settings/DownloadExchange.h"
#include "settings/UploadExchange.h"
#include "voice/VoiceUpload.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>

namespace {

// How long the idle window may take to find the dialler and connect.
constexpr int ConnectTimeoutMs = 10000;

// The dialler's settings block may hold at most 9999 bytes.
constexpr int BlockLimitBytes = 9999;

double ProcessCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double WireSeconds(const WireTraffic& traffic) {
    return static_cast<double>(traffic.Total()) * BenchLine::SecondsPerByte;
}

// One timed run: its wall-clock time and the wire time of what it exchanged.
struct TimedRun {
    double Seconds = 0;
    double ReferenceSeconds = 0;
    // Of the slowest of the runs it stands for.
    double SlowestSeconds = 0;
};

// The fastest run stands for all of them: the rest of the machine can only
// ever add time (a thread kept waiting, a round trip through a busy system),
// while the program's own part is in every run.
TimedRun FastestRun(std::vector<TimedRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const TimedRun& a, const TimedRun& b) { return a.Seconds < b.Seconds; });
    TimedRun fastest = runs.front();
    fastest.SlowestSeconds = runs.back().Seconds;
    return fastest;
}

QString Spread(const TimedRun& run) {
    return QStringLiteral("; runs took %1 to %2 s")
        .arg(run.Seconds, 0, 'f', 4)
        .arg(run.SlowestSeconds, 0, 'f', 4);
}

void Require(bool condition, const QString& what) {
    if (!condition) {
        throw BenchFailure(what.toStdString());
    }
}

// Processes window events until `done` holds or the time is up.
bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    look.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

class NoFeedback : public UploadFeedback {
public:
    void ShowActivity(const QString&) override {}
    void ShowCommandError(const QString& text) override { Error = text; }
    QString Error;
};

// The machine's own device search, doing all of its work at every look, with
// the simulated dialler added to what it finds: an idle window then pays for
// its supervisor's ticks what it pays on this machine, and is connected.
class MachineSearchWithDialler : public DeviceSearch {
public:
    explicit MachineSearchWithDialler(const DemoUsbBus& bus) : mDialler(bus) {}

    DeviceSearchResult FindDevice(const UsbIdentity& identity) override {
        const DeviceSearchResult onMachine = mMachine->FindDevice(identity);
        return onMachine.Found() || onMachine.Conflict ? onMachine : mDialler.FindDevice(identity);
    }
    QStringList SerialPortNames() override {
        return mMachine->SerialPortNames() + mDialler.SerialPortNames();
    }
    QString PortPath(const QString& portName) const override {
        const QString simulated = mDialler.PortPath(portName);
        return simulated.isEmpty() ? mMachine->PortPath(portName) : simulated;
    }

private:
    std::unique_ptr<DeviceSearch> mMachine = CreateSystemDeviceSearch();
    DemoDeviceSearch mDialler;
};

// The benchmark's bench: the simulated dialler board on a USB bus of its own,
// and the program's serial port and transport over it, found and named as the
// window finds them.
class Rig {
public:
    explicit Rig(const BenchOptions& options) : mOptions(options) {
        mPort.SetPathResolver([this](const QString& name) { return mSearch.PortPath(name); });
        SetDiallerBehaviour({});
        mBoard.Bootloader().SetPacingBaud(options.PacingBaud);
        mBoard.PowerUp();
    }
    ~Rig() { mPort.SetConnected(false); }

    DiallerPtyServer& Dialler() { return mBoard.Dialler(); }

    void SetDiallerBehaviour(DiallerLineBehaviour behaviour) {
        behaviour.PacingBaud = mOptions.PacingBaud;
        Dialler().SetBehaviour(behaviour);
    }

    void ConnectToDialler() {
        mPort.SetConnected(false);
        mPort.SetPort(DemoUsbBus::PortNameOf(mBoard.DiallerPort()));
        mPort.Open();
    }

    std::vector<Measurement> Run() {
        std::vector<Measurement> results;
        ConnectToDialler();
        results.push_back(GetAll());
        results.push_back(SendAll(QStringLiteral("send_all_new"), {3, 25}));
        results.push_back(SendAll(QStringLiteral("send_all_old"), {3, 24}));
        results.push_back(VoiceUpload());
        results.push_back(Firmware());
        ConnectToDialler();
        results.push_back(WaitCpu());
        mPort.SetConnected(false);
        results.push_back(IdleCpu());
        return results;
    }

private:
    // One measured exchange. Only Run is timed; Prepare puts the simulated
    // dialler in place before it, Check makes sure afterwards that the
    // exchange did what it should, given the bytes that crossed the line.
    struct Exchange {
        std::function<void()> Prepare = [] {};
        std::function<void()> Run;
        std::function<void(const WireTraffic& carried)> Check;
    };

    // Runs the exchange as often as the options say, timing each run and
    // counting the bytes that crossed the simulated line meanwhile.
    TimedRun Time(const Exchange& exchange, const std::function<WireTraffic()>& traffic) {
        std::vector<TimedRun> runs;
        for (int run = 0; run < mOptions.Runs; ++run) {
            exchange.Prepare();
            const WireTraffic before = traffic();
            QElapsedTimer timer;
            timer.start();
            exchange.Run();
            const qint64 elapsed = timer.nsecsElapsed();
            const WireTraffic carried = traffic() - before;
            exchange.Check(carried);
            runs.push_back({static_cast<double>(elapsed) / 1e9, WireSeconds(carried)});
        }
        return FastestRun(runs);
    }

    TimedRun TimeWithDialler(const Exchange& exchange) {
        return Time(exchange, [this] { return Dialler().Traffic(); });
    }

    Measurement GetAll() {
        const auto blockBytesOf = [this](const DiallerSettings& settings) {
            int bytes = 0;
            Dialler().WithDialler([&](DiallerCommandModel& dialler) {
                dialler.Settings = settings;
                bytes = static_cast<int>(dialler.SettingsBlock().size());
            });
            return bytes;
        };
        const DiallerSettings site = FullSiteNearBlockLimit(blockBytesOf, BlockLimitBytes);
        const int blockBytes = blockBytesOf(site);
        Dialler().SetSettings(site);
        // The block as the dialler sends it, and the command and its echo.
        const qint64 expectedTraffic =
            2 * static_cast<qint64>(std::strlen(DownloadAllCommand)) + blockBytes;

        SettingsReply reply;
        AppliedSettings applied;
        const TimedRun run = TimeWithDialler({
            .Run =
                [&] {
                    Require(DownloadSettings(mLink, reply),
                            QStringLiteral("get_all: the download failed"));
                    applied = ApplyAllLines(reply, DiallerSettings());
                },
            .Check =
                [&](const WireTraffic& carried) {
                    Require(applied.Settings == site && applied.Problems.isEmpty(),
                            QStringLiteral("get_all: the settings read are not the dialler's"));
                    Require(carried.Total() == expectedTraffic,
                            QStringLiteral("get_all: the line carried other bytes than the block"));
                },
        });
        return {QStringLiteral("get_all"),
                Measurement::Unit::Seconds,
                run.Seconds,
                run.ReferenceSeconds,
                1.05,
                QStringLiteral("wire time of %1 bytes: command, echo, %2-byte block")
                        .arg(expectedTraffic)
                        .arg(blockBytes) +
                    Spread(run)};
    }

    Measurement SendAll(const QString& name, FirmwareVersion firmware) {
        const DiallerSettings site = FullSite();
        Dialler().SetFirmwareVersion(firmware.Major, firmware.Minor, 1);
        qint64 bytes = 0;
        int savesBefore = 0;
        const TimedRun run = TimeWithDialler({
            .Prepare =
                [&] {
                    Dialler().SetSettings(DiallerSettings());
                    savesBefore = Dialler().FlashSaves();
                },
            .Run =
                [&] {
                    // What Send All does between its busy flag and its time line.
                    Require(!FindUploadProblem(site, UploadScope::All),
                            name + QStringLiteral(": the settings cannot be sent"));
                    NoFeedback feedback;
                    Require(UploadSettings(mLink, feedback, site, UploadScope::All, firmware),
                            name + QStringLiteral(": the upload failed: ") + feedback.Error);
                },
            .Check =
                [&](const WireTraffic& carried) {
                    Require(Dialler().Settings() == site &&
                                Dialler().FlashSaves() == savesBefore + 1,
                            name + QStringLiteral(": the dialler does not hold the settings sent"));
                    bytes = carried.Total();
                },
        });
        return {name,
                Measurement::Unit::Seconds,
                run.Seconds,
                run.ReferenceSeconds,
                1.10,
                QStringLiteral("wire time of %1 bytes both ways, firmware %2.%3")
                        .arg(bytes)
                        .arg(firmware.Major)
                        .arg(firmware.Minor) +
                    Spread(run)};
    }

    Measurement VoiceUpload() {
        auto slot = std::make_unique<VoiceMessageSlot>();
        std::copy(EmptyVoiceHeader.begin(), EmptyVoiceHeader.end(), slot->begin());
        const auto dataBytes = static_cast<quint32>(mOptions.VoiceDataBytes);
        SetRiffLength(*slot, VoiceFormat::HeaderSize - 8 + dataBytes);
        SetDataLength(*slot, dataBytes);
        for (quint32 i = 0; i < dataBytes; ++i) {
            (*slot)[VoiceFormat::HeaderSize + i] = static_cast<char>((i * 37) % 251);
        }
        const QByteArray message(slot->data(), VoiceMessageSize(*slot));
        const QByteArray command = VoiceUploadCommand(1);
        // The command and its echo, "Ready...", the message and "Success!".
        const qint64 expectedTraffic = 2 * command.size() + VoiceUploadLines::Ready.size() +
                                       message.size() + DiallerLines::Success.size();

        const TimedRun run = TimeWithDialler({
            .Run =
                [&] {
                    Require(UploadVoiceMessage(mLink, 1, *slot),
                            QStringLiteral("voice_upload: the upload failed"));
                },
            .Check =
                [&](const WireTraffic& carried) {
                    Require(Dialler().VoiceMessage(1) == message,
                            QStringLiteral("voice_upload: the dialler holds another message"));
                    Require(carried.Total() == expectedTraffic,
                            QStringLiteral(
                                "voice_upload: the line carried %1 bytes in and %2 out, not %3")
                                .arg(carried.Received)
                                .arg(carried.Sent)
                                .arg(expectedTraffic));
                },
        });
        return {QStringLiteral("voice_upload"),
                Measurement::Unit::Seconds,
                run.Seconds,
                run.ReferenceSeconds,
                1.02,
                QStringLiteral("wire time of %1 bytes: a %2-byte message and its exchange")
                        .arg(expectedTraffic)
                        .arg(message.size()) +
                    Spread(run)};
    }

    Measurement Firmware() {
        QByteArray image(mOptions.FirmwareImageBytes, '\0');
        quint32 value = 0x2341004D;
        for (char& byte : image) {
            value = value * 1664525u + 1013904223u;
            byte = static_cast<char>(value >> 24);
        }
        const auto blocks =
            static_cast<int>(FirmwareBlocks(static_cast<std::uint32_t>(image.size())).size());
        const double pauses = blocks * 2 * UpgradeTiming::DataPauseMs / 1000.0;

        UpgradeResult result;
        const TimedRun run =
            Time({
                     .Prepare =
                         [&] {
                             // A dialler already waiting in its bootloader, so that
                             // the time is the upgrade's and not the dialler's restart.
                             mPort.SetConnected(false);
                             mBoard.PowerUpInBootloader();
                         },
                     .Run = [&] { result = UpgradeFirmware(mLink, mSearch, image, {}); },
                     .Check =
                         [&](const WireTraffic&) {
                             Require(result.Outcome == UpgradeOutcome::Upgraded,
                                     QStringLiteral("firmware: the upgrade failed: ") +
                                         UpgradeFailureText(result));
                             Require(mBoard.Bootloader().Application(
                                         static_cast<std::uint32_t>(image.size())) == image,
                                     QStringLiteral("firmware: the flash does not hold the image"));
                         },
                 },
                 [this] { return mBoard.Bootloader().Traffic(); });
        return {QStringLiteral("firmware"),
                Measurement::Unit::Seconds,
                run.Seconds,
                pauses + run.ReferenceSeconds,
                1.05,
                QStringLiteral("%1 x 100 ms of pauses and the wire time of every byte "
                               "of a %2-byte image")
                        .arg(blocks)
                        .arg(image.size()) +
                    Spread(run)};
    }

    Measurement WaitCpu() {
        DiallerLineBehaviour silent;
        silent.Silent = true;
        SetDiallerBehaviour(silent);
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        char byte = 0;
        const quint32 got = mLink.ReadFromDevice(&byte, 1, mOptions.WaitMs);
        const qint64 elapsed = timer.nsecsElapsed();
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        SetDiallerBehaviour({});
        Require(got == 0 && elapsed >= qint64(mOptions.WaitMs) * 1000000,
                QStringLiteral("wait_cpu: the read did not wait for its whole time"));
        return {
            QStringLiteral("wait_cpu"),
            Measurement::Unit::Percent,
            100.0 * cpu / (static_cast<double>(elapsed) / 1e9),
            100,
            0.01,
            QStringLiteral("one core; a %1 ms read from a silent dialler").arg(mOptions.WaitMs)};
    }

    Measurement IdleCpu() {
        std::unique_ptr<DeviceSearch> search;
        if (mOptions.SearchMachine) {
            search = std::make_unique<MachineSearchWithDialler>(mBus);
        } else {
            search = std::make_unique<DemoDeviceSearch>(mBus);
        }
        TMainForm form(std::move(search));
        form.show();
        Require(
            ProcessEventsUntil([&] { return form.Session()->DeviceConnected(); }, ConnectTimeoutMs),
            QStringLiteral("idle_cpu: the window did not connect to the dialler"));
        QEventLoop loop;
        QTimer::singleShot(mOptions.IdleMs, &loop, &QEventLoop::quit);
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        loop.exec();
        const qint64 elapsed = timer.nsecsElapsed();
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        Require(form.Session()->DeviceConnected(),
                QStringLiteral("idle_cpu: the window lost the dialler while idle"));
        return {QStringLiteral("idle_cpu"),
                Measurement::Unit::Percent,
                100.0 * cpu / (static_cast<double>(elapsed) / 1e9),
                100,
                0.005,
                QStringLiteral("one core; a connected window left alone for %1 ms%2")
                    .arg(mOptions.IdleMs)
                    .arg(mOptions.SearchMachine
                             ? QStringLiteral(", its supervisor searching this machine's devices")
                             : QString())};
    }

    BenchOptions mOptions;
    DemoUsbBus mBus;
    DemoDeviceSearch mSearch{mBus};
    // After the bus, so that the simulators' threads end before it goes.
    SimulatedDiallerBoard mBoard{mBus};
    ComPort mPort;
    DeviceTransport mLink{mPort};
};

} // namespace

std::vector<Measurement> RunBenchmarks(const BenchOptions& options) {
    Rig rig(options);
    return rig.Run();
}
