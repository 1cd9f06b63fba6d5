#include "settings/FieldExitRules.h"

#include "settings/DiallerSettings.h"

#include <QStringList>

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

QString RefusedCharactersText(const QString& left) {
    QStringList shown;
    for (qsizetype i = 0; i < left.size(); ++i) {
        const QChar c = left.at(i);
        QString one;
        if (c.isHighSurrogate() && i + 1 < left.size()) {
            one = left.mid(i++, 2);
        } else if (c.isPrint()) {
            one = c;
        } else {
            // A control character would show as nothing: name it by its code.
            one = QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        }
        if (!shown.contains(one)) {
            shown << one;
        }
    }
    const bool single = shown.size() == 1;
    return QStringLiteral("ORNEX cannot store %1 %2 in an SMS message; %3 left out.")
        .arg(single ? QStringLiteral("the character") : QStringLiteral("the characters"),
             shown.join(QLatin1Char(' ')),
             single ? QStringLiteral("it was") : QStringLiteral("they were"));
}
