#pragma once

#include "settings/DiallerSettings.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <array>

// The dialler speaks a recorded message in its calls about an alarm input,
// one message per input. The program keeps the eight messages in memory as
// complete WAV file images, each in a fixed-size slot: a 44-byte header
// followed by room for 15 seconds of 16-bit mono samples at 8000 per second.
// Playback, upload and export hand a slot's own bytes on; no message is ever
// copied into another buffer.
//
// Of the header only two fields are read: the RIFF length at offset 4 (the
// file's length minus 8, which makes the message RIFF length + 8 bytes long)
// and the data length at offset 40 (which gives the duration). Every other
// byte is passed on as the file held it, so only files with the canonical
// 44-byte header work.
namespace VoiceFormat {
constexpr int HeaderSize = 44;
constexpr int DataMax = 240000;
constexpr int SlotSize = HeaderSize + DataMax;
constexpr int RiffLengthOffset = 4;
constexpr int DataLengthOffset = 40;
// The RIFF length of a full slot.
constexpr quint32 RiffLengthMax = SlotSize - 8;
constexpr int BytesPerSecond = 16000;
// Messages loaded at start are scaled down so that their loudest sample has
// at most this magnitude (full scale is 32767).
constexpr int PeakLimit = 1536;
} // namespace VoiceFormat

using VoiceMessageSlot = std::array<char, VoiceFormat::SlotSize>;
// Slot i holds the message of input i + 1.
using VoiceMessageTable = std::array<VoiceMessageSlot, SettingsLimits::InputCount>;

// The header of an empty slot: PCM, mono, 8000 samples per second, 16 bits,
// no data.
extern const std::array<char, VoiceFormat::HeaderSize> EmptyVoiceHeader;

// The voice file read into input N's slot at start, in the current working
// directory: "VoiceMessage" N ".ornexwav".
inline const QString VoiceFilePrefix = QStringLiteral("VoiceMessage");
inline const QString VoiceFileExtension = QStringLiteral(".ornexwav");
QString VoiceFileName(int input);
// Where the export of input N's message goes, in the current working
// directory: "Volume_Adjusted_Message_" N ".wav".
QString ExportFileName(int input);

quint32 RiffLength(const VoiceMessageSlot& slot);
quint32 DataLength(const VoiceMessageSlot& slot);
void SetRiffLength(VoiceMessageSlot& slot, quint32 length);
void SetDataLength(VoiceMessageSlot& slot, quint32 length);

// The number of bytes that make up the message: RIFF length + 8, but never
// more than the slot holds. A file of at most a slot's size is loaded as it
// is, whatever RIFF length its header states (up to 0xFFFFFFFF, where the
// "+ 8" would even wrap in 32 bits); the upload, the export and the peak
// limiting must not reach beyond the slot all the same.
quint32 VoiceMessageSize(const VoiceMessageSlot& slot);

// Milliseconds of the message: data length at 16000 bytes per second,
// truncated; a data length below 16 bytes gives 0. A header that states
// more data than a slot holds counts as a full slot.
qint32 VoiceDurationMs(const VoiceMessageSlot& slot);

// The duration as the page shows it: tenths of a second rounded half up, in
// the shortest decimal form with the locale's decimal separator ("0", "4.6",
// "15").
QString VoiceDurationText(qint32 durationMs, const QLocale& locale = QLocale());

// The radio item of input N: "Input N Message (T sec)", with "&" in front of
// N (its keyboard accelerator) when `accelerator` is set.
QString VoiceMessageItemText(int input, const QString& durationText, bool accelerator);

// Copies a voice file into the slot. A file shorter than a header, or one
// that cannot be opened, zeroes the header and fails. A file longer than a
// slot is cut to a full slot, its RIFF and data lengths rewritten to match.
// Nothing else of the file is checked.
bool LoadVoiceMessageFile(VoiceMessageSlot& slot, const QString& path);

// Scales the message's samples so that the loudest has the magnitude
// PeakLimit (truncation may leave it one below); a message no louder is left
// alone: the level is only ever reduced. The factor is rounded to a 32-bit
// float and each product truncated toward zero.
void LimitVoicePeak(VoiceMessageSlot& slot);

// The start-up fill of one slot: loads the file and limits its peak, or
// leaves an empty message (the empty header over the old samples) when the
// file cannot be loaded. Returns whether it was loaded.
bool FillVoiceSlot(VoiceMessageSlot& slot, const QString& path);

// Writes the message (VoiceMessageSize bytes of the slot) to `path`,
// replacing any file there. False when the file cannot be written.
bool ExportVoiceMessage(const VoiceMessageSlot& slot, const QString& path);
