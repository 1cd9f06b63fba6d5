#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The PC's sound, as the voice functions use it: sound comes in from the
// default input as 16-bit mono samples at 8000 per second (the dialler's
// voice format, 16000 bytes a second), and WAV images go out to the
// default output. The program's functions run against this interface so
// that their rules can be tested without a sound server; the real one sits
// on Qt Multimedia.

namespace SoundFormat {
constexpr int SampleRate = 8000;
constexpr int BytesPerSecond = 16000;
// A capture that delivers nothing for this long has stopped: a sound server
// that dies mid-capture leaves the input running but silent.
constexpr int StallMs = 1000;
} // namespace SoundFormat

// Why an input or output could not start.
enum class SoundStartFault {
    None,
    // No device at all, or no sound server to ask.
    NoDevice,
    // The device does not take the voice format.
    FormatRefused,
    // The device exists but would not start.
    OpenFailed,
};

// One capture from the default input. Reads never block: the caller polls.
class SoundInput {
public:
    virtual ~SoundInput() = default;

    // Starts capturing in the voice format; on failure `reason` says why in
    // words for the user.
    virtual SoundStartFault Start(QString& reason) = 0;
    // Appends the samples that arrived since the last read to `samples`.
    // False once the capture has failed (the device reported an error, or
    // nothing arrived for StallMs); `reason` then says why.
    virtual bool Read(QByteArray& samples, QString& reason) = 0;
    // Ends the capture; further reads deliver nothing.
    virtual void Stop() = 0;
};

class SoundDevices {
public:
    virtual ~SoundDevices() = default;

    // Plays a WAV image with the plain 44-byte header from memory and
    // returns once the last sample has been played. An image without sound
    // plays nothing and succeeds. False, with the reason, when the sound
    // could not be played to its end.
    virtual bool PlayWav(const QByteArray& image, QString& reason) = 0;

    virtual std::unique_ptr<SoundInput> CreateInput() = 0;

    // Whether the Escape key can be read from the keyboard's live state,
    // without processing window messages; `reason` says why not.
    virtual bool CanReadEscapeKey(QString& reason) = 0;
    // Whether Escape is held down at this moment.
    virtual bool EscapeKeyHeld() = 0;

    // Waits a little between two polls of a blocking loop, without
    // processing events.
    virtual void PollPause() = 0;
};

// The PC's own sound devices and keyboard. Nothing touches the sound system
// before the first use.
std::unique_ptr<SoundDevices> CreateSystemSoundDevices();

// Lets the sound system's own threads finish with the streams that were
// stopped before the process ends. Call it after the last window has gone
// and before the application object is destroyed; it returns at once when
// no sound was used.
void SettleSoundBeforeExit();
