#pragma once

#include <QString>

// What the window does when the user leaves a PIN or an SMS message field.
// The fields keep their text either way; a field that fails its check gets
// the focus back until the user corrects it.

enum class PinExitVerdict {
    Accept,
    // Too short, not a number, or anything but 4 to 6 digits: the focus goes
    // back without a word, the field's limits tell the user enough.
    KeepFocus,
    // The dialler cannot tell its administrator from its user by PIN.
    SameAsOtherPin,
};

PinExitVerdict CheckPinOnExit(const QString& pin, const QString& otherPin);

struct SmsMessageExitVerdict {
    // The text without its surrounding blanks, to be put back into the field.
    QString Trimmed;
    // The upload encloses the message in double quotes, so the dialler would
    // take one inside it for the end of the message.
    bool HasDoubleQuote = false;
};

SmsMessageExitVerdict CheckSmsMessageOnExit(const QString& text);

// The texts of the two messages.
QString SamePinsText(bool leavingAdminPin);
QString DoubleQuoteText();
// Why characters typed or pasted into an SMS message were left out.
QString RefusedCharactersText(const QString& left);
