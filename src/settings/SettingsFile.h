#pragma once

#include "settings/DiallerSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The ".ornex" settings file: a fixed layout of 3449 bytes, little-endian,
// texts as 8-bit (Latin-1) characters each ending in a zero byte inside a
// field of fixed size. Every location keeps its place; nothing is compacted.
namespace SettingsFileFormat {
constexpr char Magic[] = "ORNEX"; // followed by a zero byte in the file
constexpr int MagicSize = 6;
constexpr int VersionOffset = 6;
constexpr qint32 CurrentVersion = 1;
constexpr int AdminPinOffset = 10;
constexpr int UserPinOffset = 17;
constexpr int PinFieldSize = SettingsLimits::PinMaxLength + 1;

constexpr int InputRecordsOffset = 24;
constexpr int InputRecordSize = 94;
constexpr int InputNormallyOpen = 0;
constexpr int InputLatching = 1;
constexpr int InputAttempts = 2;
constexpr int InputMessage = 3;
constexpr int MessageFieldSize = SettingsLimits::SmsMessageMaxLength + 1;

constexpr int ContactRecordsOffset =
    InputRecordsOffset + SettingsLimits::InputCount * InputRecordSize;
constexpr int ContactRecordSize = 27;
constexpr int ContactNumber = 0;
constexpr int NumberFieldSize = SettingsLimits::PhoneNumberMaxLength + 1;
constexpr int ContactSms = 17;
constexpr int ContactVoice = 18;
constexpr int ContactInputs = 19;

constexpr int FileSize =
    ContactRecordsOffset + SettingsLimits::ContactCount * ContactRecordSize; // 3449

inline const QString Extension = QStringLiteral(".ornex");
// The file dialogs' filter: the description that names the pattern, which
// the dialogs match in either letter case.
inline const QString DialogFilter =
    QStringLiteral("ORNEX Settings File (*") + Extension + QStringLiteral(")");

constexpr int InputRecordOffset(int input) {
    return InputRecordsOffset + (input - 1) * InputRecordSize;
}
constexpr int ContactRecordOffset(int location) {
    return ContactRecordsOffset + (location - 1) * ContactRecordSize;
}
} // namespace SettingsFileFormat

enum class SettingsFileStatus {
    Ok,
    OpenForReadingFailed,
    TooShort,     // the file ends before the last contact record
    BadMagic,     // not a settings file
    NewerVersion, // written by a newer program with a layout we do not know
    ReadFailed,
    OpenForWritingFailed,
    WriteFailed,
    UnstorableText, // a text holds characters beyond 8 bits; nothing was written
};

struct SettingsFileResult {
    SettingsFileStatus Status = SettingsFileStatus::Ok;
    // Set once the version field has been read, whatever its value.
    std::optional<qint32> Version;
    // Which text could not be written, for UnstorableText.
    QString Problem;
    // What the system said when the file could not be opened for writing or
    // written, as "No space left on device".
    QString Reason;

    bool Ok() const { return Status == SettingsFileStatus::Ok; }
};

// The text of the error dialog (title "Error") for a failed Open, Save or
// Save As; empty for Ok.
QString SettingsFileErrorText(const SettingsFileResult& result);

// The text of the error dialog for a failed Save or Save As: the text above,
// and for a file that could not be opened for writing or written, the file
// and the system's reason, so that the user knows which file and what to
// free or change.
QString SettingsFileSaveErrorText(const SettingsFileResult& result, const QString& path);

// The first text that the 8-bit file cannot hold, described for the user;
// none when every text can be written as it is.
std::optional<QString> FindUnstorableText(const DiallerSettings& settings);

// Decodes the first 3449 bytes; bytes after them are not looked at. All or
// nothing: `settings` is replaced only when the result is Ok. Texts are taken
// as stored, up to their zero byte; a field without one is cut before its
// last byte, which belongs to the terminator. Flag bytes other than 0 read as
// set. Attempts come as stored (0 to 255).
SettingsFileResult DecodeSettingsFile(const QByteArray& bytes, DiallerSettings& settings);

// Encodes all 99 locations where they are, free ones included. A value
// longer than its field (phone number over 16, message over 90, PIN over 6
// characters) is cut to fit, so every field keeps its zero byte; attempts
// outside 0 to 99 are held to the nearer end. Each such change is described
// in `cutFields` when given. Characters beyond 8 bits are written as "?".
QByteArray EncodeSettingsFile(const DiallerSettings& settings, QStringList* cutFields = nullptr);

// Open: reads and decodes the file, then fits the values to the window the
// way opening a file does: SMS messages lose their surrounding blanks and
// attempts above 99 become 99. `settings` is replaced only on Ok.
SettingsFileResult ReadSettingsFile(const QString& path, DiallerSettings& settings);

// Save and Save As: the new contents go to a temporary file in the same
// folder, which replaces `path` only once all 3449 bytes are written and
// flushed, so a failed save leaves the previous file as it was. Where the
// folder does not let a file be created but `path` itself is writable, the
// file is written in place. Settings with a text the file cannot hold are
// refused (UnstorableText) rather than written with "?" in its place.
SettingsFileResult WriteSettingsFile(const QString& path, const DiallerSettings& settings,
                                     QStringList* cutFields = nullptr);

// Save As: appends ".ornex" unless the file name (without its folder) already
// holds ".ornex" anywhere, in exactly that letter case.
QString SettingsFilePathWithExtension(const QString& chosenPath);
