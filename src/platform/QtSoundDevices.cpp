#include "platform/EscapeKeyState.h"
#include "platform/SoundDevices.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QMutex>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace {

// How long the sound system keeps talking to the program after a stream
// has stopped: the server reports the device going idle, and Qt's sound
// thread asks it about the device. Tearing the connection down in the
// middle of that aborts the process, so the exit waits for it.
constexpr int SettleMs = 300;
constexpr int PollMs = 10;

QMutex gLastStopLock;
std::optional<QElapsedTimer> gSinceLastStop;

void NoteStreamStopped() {
    QMutexLocker lock(&gLastStopLock);
    gSinceLastStop.emplace();
    gSinceLastStop->start();
}

QAudioFormat VoiceFormat(int sampleRate, int channels, QAudioFormat::SampleFormat sampleFormat) {
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}

// Finds the default device of one direction, or says why there is none.
SoundStartFault DefaultDevice(bool input, QAudioDevice& device, QString& reason) {
    device = input ? QMediaDevices::defaultAudioInput() : QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        return SoundStartFault::None;
    }
    // Without a sound server Qt lists no device in either direction.
    if (QMediaDevices::audioInputs().isEmpty() && QMediaDevices::audioOutputs().isEmpty()) {
        reason = QStringLiteral("No sound server or sound device was found.");
    } else if (input) {
        reason = QStringLiteral("No sound input device was found.");
    } else {
        reason = QStringLiteral("No sound output device was found.");
    }
    return SoundStartFault::NoDevice;
}

QString StreamError(QAudio::Error error) {
    switch (error) {
    case QAudio::OpenError:
        return QStringLiteral("The sound device could not be opened.");
    case QAudio::IOError:
        return QStringLiteral("The sound device failed while in use.");
    case QAudio::FatalError:
        return QStringLiteral("The sound device is no longer available.");
    case QAudio::NoError:
    case QAudio::UnderrunError:
        break;
    }
    return QString();
}

// Underruns are normal: an input that was read faster than it filled, an
// output that has played all it was given.
bool Failed(QAudio::Error error) {
    return error != QAudio::NoError && error != QAudio::UnderrunError;
}

class QtSoundInput : public SoundInput {
public:
    ~QtSoundInput() override { Stop(); }

    SoundStartFault Start(QString& reason) override {
        QAudioDevice device;
        const SoundStartFault fault = DefaultDevice(true, device, reason);
        if (fault != SoundStartFault::None) {
            return fault;
        }
        const QAudioFormat format = VoiceFormat(SoundFormat::SampleRate, 1, QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            reason = QStringLiteral("The sound input device \"%1\" does not record 16-bit mono "
                                    "sound at 8000 samples per second.")
                         .arg(device.description());
            return SoundStartFault::FormatRefused;
        }
        mSource = std::make_unique<QAudioSource>(device, format);
        // Pulled, not pushed: reads then need no event loop, so the blocking
        // loops receive every byte too.
        mStream = mSource->start();
        if (mStream == nullptr) {
            reason = StreamError(mSource->error());
            if (reason.isEmpty()) {
                reason = QStringLiteral("The sound input device could not be started.");
            }
            mSource.reset();
            NoteStreamStopped();
            return SoundStartFault::OpenFailed;
        }
        mSinceData.start();
        return SoundStartFault::None;
    }

    bool Read(QByteArray& samples, QString& reason) override {
        if (mStream == nullptr) {
            return true;
        }
        const QByteArray arrived = mStream->readAll();
        if (!arrived.isEmpty()) {
            samples += arrived;
            mSinceData.start();
        }
        if (Failed(mSource->error())) {
            reason = StreamError(mSource->error());
            return false;
        }
        if (mSinceData.hasExpired(SoundFormat::StallMs)) {
            reason = QStringLiteral("The sound input has stopped delivering sound.");
            return false;
        }
        return true;
    }

    void Stop() override {
        if (mSource) {
            mSource->stop();
            mSource.reset();
            mStream = nullptr;
            NoteStreamStopped();
        }
    }

private:
    std::unique_ptr<QAudioSource> mSource;
    QIODevice* mStream = nullptr;
    QElapsedTimer mSinceData;
};

// The parts of a WAV image's 44-byte header that describe its sound.
struct WavLayout {
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qsizetype dataBytes = 0;
};

WavLayout ReadWavHeader(const QByteArray& image) {
    WavLayout layout;
    if (image.size() < 44) {
        return layout;
    }
    const char* header = image.constData();
    layout.formatTag = qFromLittleEndian<quint16>(header + 20);
    layout.channels = qFromLittleEndian<quint16>(header + 22);
    layout.sampleRate = int(qFromLittleEndian<quint32>(header + 24));
    layout.bitsPerSample = qFromLittleEndian<quint16>(header + 34);
    // A header may claim more than the image holds: only what is there plays.
    layout.dataBytes = qsizetype(
        std::min<quint64>(qFromLittleEndian<quint32>(header + 40), quint64(image.size() - 44)));
    return layout;
}

class QtSoundDevices : public SoundDevices {
public:
    bool PlayWav(const QByteArray& image, QString& reason) override {
        const WavLayout wav = ReadWavHeader(image);
        const int frameBytes = wav.channels * wav.bitsPerSample / 8;
        if (wav.dataBytes == 0 || (frameBytes > 0 && wav.dataBytes < frameBytes)) {
            return true;
        }
        QAudioDevice device;
        if (DefaultDevice(false, device, reason) != SoundStartFault::None) {
            return false;
        }
        const bool pcm = wav.formatTag == 1 &&
                         (wav.bitsPerSample == 8 || wav.bitsPerSample == 16) && wav.channels >= 1 &&
                         wav.channels <= 2 && wav.sampleRate > 0;
        const QAudioFormat format =
            VoiceFormat(wav.sampleRate, wav.channels,
                        wav.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        if (!pcm || !device.isFormatSupported(format)) {
            reason = QStringLiteral("The message's sound format cannot be played.");
            return false;
        }
        const qsizetype total = wav.dataBytes - wav.dataBytes % frameBytes;
        const char* data = image.constData() + 44;

        // The sink of the last playback is kept until the next one: when it
        // runs dry, Qt asks the server to drain it and hands the sink itself
        // to the reply, which may come after the sink has been stopped. A
        // sink destroyed at once after its stop would be written to by that
        // late reply (now and then a crash at the end of a playback).
        mLastSink = std::make_unique<QAudioSink>(device, format);
        QAudioSink& sink = *mLastSink;
        QIODevice* stream = sink.start();
        if (stream == nullptr) {
            reason = StreamError(sink.error());
            NoteStreamStopped();
            return false;
        }
        // The sound is written as room frees up and played to its last
        // sample: the sink reports idle while its final ~150 ms are still
        // on their way to the speaker, so the end is when the played time
        // covers the whole message.
        const qint64 durationUs = qint64(total / frameBytes) * 1000000 / wav.sampleRate;
        qsizetype written = 0;
        qint64 played = 0;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        bool ok = true;
        while (written < total || played < durationUs) {
            if (written < total) {
                const qsizetype room = std::min<qsizetype>(sink.bytesFree(), total - written);
                const qint64 accepted = room > 0 ? stream->write(data + written, room) : 0;
                if (accepted > 0) {
                    written += accepted;
                    sinceProgress.start();
                }
            }
            if (sink.processedUSecs() > played) {
                played = sink.processedUSecs();
                sinceProgress.start();
            }
            if (Failed(sink.error())) {
                reason = StreamError(sink.error());
                ok = false;
                break;
            }
            if (sinceProgress.hasExpired(SoundFormat::StallMs)) {
                reason = QStringLiteral("The sound output has stopped playing.");
                ok = false;
                break;
            }
            if (written == total || sink.bytesFree() == 0) {
                QThread::msleep(PollMs);
            }
        }
        sink.stop();
        NoteStreamStopped();
        return ok;
    }

    std::unique_ptr<SoundInput> CreateInput() override { return std::make_unique<QtSoundInput>(); }

    bool CanReadEscapeKey(QString& reason) override { return ::CanReadEscapeKey(reason); }
    bool EscapeKeyHeld() override { return ::EscapeKeyHeld(); }
    void PollPause() override { QThread::msleep(PollMs); }

private:
    std::unique_ptr<QAudioSink> mLastSink;
};

} // namespace

std::unique_ptr<SoundDevices> CreateSystemSoundDevices() {
    return std::make_unique<QtSoundDevices>();
}

void SettleSoundBeforeExit() {
    qint64 remaining = 0;
    {
        QMutexLocker lock(&gLastStopLock);
        if (!gSinceLastStop) {
            return;
        }
        remaining = SettleMs - gSinceLastStop->elapsed();
    }
    if (remaining > 0) {
        QThread::msleep(static_cast<unsigned long>(remaining));
    }
}
