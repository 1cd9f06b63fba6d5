#include "settings/FieldExitRules.h"

#include "settings/DiallerSettings.h"

PinExitVerdict CheckPinOnExit(const QString& pin, const QString& otherPin) {
    // Typed keys can only make digits, but a pasted "-123" or " 1234" would
    // pass a plain number test and reach the dialler as a PIN it cannot use.
    if (!IsValidPin(pin)) {
        return PinExitVerdict::KeepFocus;
    }
    if (pin == otherPin) {
        return PinExitVerdict::SameAsOtherPin;
    }
    return PinExitVerdict::Accept;
}

SmsMessageExitVerdict CheckSmsMessageOnExit(const QString& text) {
    SmsMessageExitVerdict verdict;
    verdict.Trimmed = TrimBlanks(text);
    verdict.HasDoubleQuote = verdict.Trimmed.contains(QLatin1Char('"'));
    return verdict;
}

QString SamePinsText(bool leavingAdminPin) {
    return leavingAdminPin ? QStringLiteral("The Admin and User PINs are the same.")
                           : QStringLiteral("The User and Admin PINs are the same.");
}

QString DoubleQuoteText() {
    return QStringLiteral("The SMS message cannot contain a double quote (\") character.");
}
