#pragma once

#include "platform/SoundDevices.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QIODevice;

// The WAV image of recorded samples (16-bit mono, 8000 per second) with the
// plain 44-byte header that the message slots hold.
QByteArray VoiceWavImage(const QByteArray& samples);
// Writes that image to `path`, replacing any file there.
bool WriteVoiceWavFile(const QString& path, const QByteArray& samples);

// Records from the PC's sound input while the window goes on working: a
// timer collects what arrived, so the event loop must run meanwhile.
class VoiceRecorder : public QObject {
    Q_OBJECT
public:
    explicit VoiceRecorder(SoundDevices& devices, QObject* parent = nullptr);
    ~VoiceRecorder() override;

    SoundStartFault Start(QString& reason);
    bool Recording() const { return mInput != nullptr; }
    // Ends the recording and writes what was recorded to `path` as a WAV
    // file. False when no file was written (nothing was recording, or the
    // file could not be created).
    bool StopAndSave(const QString& path);

signals:
    // The input stopped delivering sound; what came before is kept until
    // StopAndSave.
    void InputFailed(const QString& reason);

private:
    void Collect();

    SoundDevices& mDevices;
    std::unique_ptr<SoundInput> mInput;
    QByteArray mSamples;
    bool mFailed = false;
    QTimer mCollectTimer;
};

// Records `bytes` of sound while the caller waits, without running the
// event loop. False, with the reason, when the input cannot start or stops
// delivering before the end.
bool RecordBlocking(SoundDevices& devices, qsizetype bytes, QByteArray& samples, QString& reason);

// The raw capture: half a second of samples per block, written only whole.
constexpr qsizetype CaptureBlockBytes = 8000;

// Captures from the started `input` into `file` in whole blocks, without
// running the event loop, until Escape is held down; the part of a block
// that was not full by then is dropped. False, with the reason, when the
// input stops delivering sound first or the file takes a block only in part.
bool RunRawCapture(SoundDevices& devices, SoundInput& input, QIODevice& file, QString& reason);
