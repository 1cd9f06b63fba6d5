#pragma once

#include <QString>

#include <array>

// The dialler's settings: its contact list, its eight alarm inputs and its two
// PINs. Every limit and default is declared here once; the editor, the
// settings file, the download and the upload all read them from here.
namespace SettingsLimits {
constexpr int ContactCount = 99;
constexpr int InputCount = 8;
constexpr int OutputCount = 2;
constexpr int PhoneNumberMaxLength = 16;
constexpr int SmsMessageMaxLength = 90;
constexpr int AttemptsMin = 0;
constexpr int AttemptsMax = 99;
constexpr int AttemptsDefault = 3;
constexpr int PinMinLength = 4;
constexpr int PinMaxLength = 6;
// The dialler refuses to store more than this many numbers for one input.
constexpr int ContactsPerInputMax = 16;
inline const QString AdminPinDefault = QStringLiteral("7431");
inline const QString UserPinDefault = QStringLiteral("8297");
// An attempts field from the dialler that is missing or no number counts as
// this many.
constexpr int AttemptsWhenUnreadable = 90;
} // namespace SettingsLimits

// The characters of a phone number: digits, "*" and "#" anywhere, and "+"
// only in front, as the dialler dials it.
bool IsPhoneNumberCharacter(QChar c, int position);
// True for a phone number the dialler can store: allowed characters and at
// most PhoneNumberMaxLength of them. The empty text (a free location) passes.
bool IsValidPhoneNumber(const QString& number);
// True for a PIN of PinMinLength to PinMaxLength decimal digits.
bool IsValidPin(const QString& pin);
bool IsAttemptsInRange(int attempts);

// Spaces and control characters: what the SMS message fields drop at both ends.
bool IsBlank(QChar c);
QString TrimBlanks(const QString& text);
// Texts travel as 8-bit characters, both on the wire and in settings files;
// an SMS message must not carry control characters (a carriage return would
// end the command that sends it) nor characters beyond 8 bits.
bool HasOnlyStorableCharacters(const QString& text);
bool IsStorableCharacter(QChar c);

struct ContactEntry {
    QString PhoneNumber; // empty: the location is free
    bool ReportBySms = false;
    bool ReportByVoice = false;
    std::array<bool, SettingsLimits::InputCount> ReportsInput{};

    bool IsFree() const { return PhoneNumber.isEmpty(); }
    bool operator==(const ContactEntry&) const = default;
};

struct InputSettings {
    bool NormallyOpen = true;
    bool Latching = true;
    int DiallingAttempts = SettingsLimits::AttemptsDefault;
    QString SmsMessage;
    // Only the download sets it: the dialler has no voice message for the input.
    bool VoiceMessageMissing = false;

    bool operator==(const InputSettings&) const = default;
};

struct DiallerSettings {
    std::array<ContactEntry, SettingsLimits::ContactCount> Contacts{};
    std::array<InputSettings, SettingsLimits::InputCount> Inputs{};
    QString AdminPin = SettingsLimits::AdminPinDefault;
    QString UserPin = SettingsLimits::UserPinDefault;

    bool operator==(const DiallerSettings&) const = default;
};

using ContactList = std::array<ContactEntry, SettingsLimits::ContactCount>;

// Moves the occupied locations up over the free ones, keeping their order.
// Free locations below the last occupied one stay where they are (they are
// free either way). Returns where the location at `selectedRow` ended up, or
// -1 when nothing was selected.
int CompactContacts(ContactList& contacts, int selectedRow);
