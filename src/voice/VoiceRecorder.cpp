#include "voice/VoiceRecorder.h"

#include "voice/VoiceMessageStore.h"

#include <QIODevice>
#include <QSaveFile>
#include <QtEndian>

namespace {

// Often enough that the sound system's buffers never fill while the window
// waits for the user.
constexpr int CollectMs = 100;

} // namespace

QByteArray VoiceWavImage(const QByteArray& samples) {
    QByteArray image(EmptyVoiceHeader.data(), EmptyVoiceHeader.size());
    const auto data = quint32(samples.size());
    qToLittleEndian<quint32>(data + VoiceFormat::HeaderSize - 8,
                             image.data() + VoiceFormat::RiffLengthOffset);
    qToLittleEndian<quint32>(data, image.data() + VoiceFormat::DataLengthOffset);
    return image + samples;
}

bool WriteVoiceWavFile(const QString& path, const QByteArray& samples) {
    QSaveFile file(path);
    const QByteArray image = VoiceWavImage(samples);
    return file.open(QIODevice::WriteOnly) && file.write(image) == image.size() && file.commit();
}

VoiceRecorder::VoiceRecorder(SoundDevices& devices, QObject* parent)
    : QObject(parent), mDevices(devices) {
    mCollectTimer.setInterval(CollectMs);
    connect(&mCollectTimer, &QTimer::timeout, this, &VoiceRecorder::Collect);
}

VoiceRecorder::~VoiceRecorder() = default;

SoundStartFault VoiceRecorder::Start(QString& reason) {
    mInput.reset();
    mSamples.clear();
    mFailed = false;
    auto input = mDevices.CreateInput();
    const SoundStartFault fault = input->Start(reason);
    if (fault == SoundStartFault::None) {
        mInput = std::move(input);
        mCollectTimer.start();
    }
    return fault;
}

void VoiceRecorder::Collect() {
    QString reason;
    if (!mInput || mFailed || mInput->Read(mSamples, reason)) {
        return;
    }
    mFailed = true;
    mCollectTimer.stop();
    emit InputFailed(reason);
}

bool VoiceRecorder::StopAndSave(const QString& path) {
    if (!mInput) {
        return false;
    }
    mCollectTimer.stop();
    if (!mFailed) {
        QString ignored;
        mInput->Read(mSamples, ignored);
    }
    mInput->Stop();
    mInput.reset();
    const QByteArray samples = std::exchange(mSamples, QByteArray());
    return WriteVoiceWavFile(path, samples);
}

bool RecordBlocking(SoundDevices& devices, qsizetype bytes, QByteArray& samples, QString& reason) {
    samples.clear();
    auto input = devices.CreateInput();
    if (input->Start(reason) != SoundStartFault::None) {
        return false;
    }
    // Counted in sound, not in time on the clock: the recording holds
    // exactly the asked length, however late the first samples come.
    bool ok = true;
    while (samples.size() < bytes) {
        if (!input->Read(samples, reason)) {
            ok = false;
            break;
        }
        if (samples.size() < bytes) {
            devices.PollPause();
        }
    }
    input->Stop();
    samples.truncate(bytes);
    return ok;
}

bool RunRawCapture(SoundDevices& devices, SoundInput& input, QIODevice& file, QString& reason) {
    QByteArray pending;
    for (;;) {
        if (devices.EscapeKeyHeld()) {
            return true;
        }
        const bool delivering = input.Read(pending, reason);
        // The input buffers far more than a block, so a short pause between
        // polls loses nothing: every sample ends up in a block.
        while (pending.size() >= CaptureBlockBytes) {
            // A full disk must not pass for a capture that only stopped.
            if (file.write(pending.constData(), CaptureBlockBytes) != CaptureBlockBytes) {
                reason = file.errorString();
                return false;
            }
            pending.remove(0, CaptureBlockBytes);
        }
        if (!delivering) {
            return false;
        }
        devices.PollPause();
    }
}
