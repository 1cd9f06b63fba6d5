#include "settings/SettingsBlock.h"

#include "settings/ReplyLineFields.h"

#include <algorithm>

namespace {

constexpr QLatin1StringView InputPrefix("INP:");
constexpr QLatin1StringView NamePrefix("NAM:");
constexpr QLatin1StringView ContactPrefix("CON:");
constexpr QLatin1StringView PinPrefix("PIN:");
constexpr int PrefixLength = 4;

bool HasPrefix(const QString& line, QLatin1StringView prefix) {
    return line.startsWith(prefix, Qt::CaseInsensitive);
}

// The record's number field (input or location), 0 when it is no number.
int RecordNumber(const ReplyLineFields& fields) {
    return ParseRecordNumber(fields.TakeUpTo(), 0);
}

// Fits a downloaded message to what the SMS field can hold, and says what
// was changed. The text can be sent back only in this form: the dialler's
// echo of the "name," command drops leading blanks, so such a message would
// never be confirmed.
QString FitMessage(const QString& received, int input, QStringList& notes) {
    QString message = TrimBlanks(received);
    if (message.size() != received.size()) {
        notes << QStringLiteral("The SMS message of input %1 had blanks before or after it, "
                                "which were removed.")
                     .arg(input);
    }
    const auto control = std::find_if(message.cbegin(), message.cend(),
                                      [](QChar c) { return IsBlank(c) && c != QLatin1Char(' '); });
    if (control != message.cend()) {
        message.truncate(control - message.cbegin());
        notes << QStringLiteral("The SMS message of input %1 held a control character; it was cut "
                                "before it.")
                     .arg(input);
    }
    if (message.size() > SettingsLimits::SmsMessageMaxLength) {
        message.truncate(SettingsLimits::SmsMessageMaxLength);
        notes << QStringLiteral("The SMS message of input %1 was longer than %2 characters; it was "
                                "cut to %2.")
                     .arg(input)
                     .arg(SettingsLimits::SmsMessageMaxLength);
    }
    return TrimBlanks(message);
}

// Problems are kept per field so that a later record for the same input,
// location or PIN replaces the note of an earlier one along with its value.
template <std::size_t N>
void CollectNotes(const std::array<QStringList, N>& notes, QStringList& out) {
    for (const QStringList& list : notes) {
        out << list;
    }
}

} // namespace

SettingsReply SplitSettingsBlock(const QByteArray& block) {
    const qsizetype zero = block.indexOf('\0');
    const QByteArray text = zero < 0 ? block : block.left(zero);
    SettingsReply lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf('\r', start);
        if (end < 0) {
            lines << QString::fromLatin1(text.mid(start));
            break;
        }
        lines << QString::fromLatin1(text.mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

AppliedSettings ApplyInputLines(const SettingsReply& reply, const DiallerSettings& current) {
    AppliedSettings applied{current, {}};
    std::array<QStringList, SettingsLimits::InputCount> attemptsNotes;
    std::array<QStringList, SettingsLimits::InputCount> messageNotes;
    for (const QString& line : reply) {
        if (HasPrefix(line, InputPrefix)) {
            ReplyLineFields fields(line.mid(PrefixLength));
            const int n = RecordNumber(fields);
            if (n < 1 || n > SettingsLimits::InputCount) {
                continue;
            }
            InputSettings& input = applied.Settings.Inputs[n - 1];
            fields.DropThrough();
            input.NormallyOpen = !fields.StartsWith(QLatin1StringView("NC"));
            fields.DropThrough();
            input.Latching = !fields.StartsWith(QLatin1StringView("SLAVE"));
            fields.DropThrough();
            const int attempts =
                ParseRecordNumber(fields.TakeUpTo(), SettingsLimits::AttemptsWhenUnreadable);
            input.DiallingAttempts =
                std::clamp(attempts, SettingsLimits::AttemptsMin, SettingsLimits::AttemptsMax);
            attemptsNotes[n - 1].clear();
            if (input.DiallingAttempts != attempts) {
                attemptsNotes[n - 1] << QStringLiteral("ORNEX reported %1 dialling attempts for "
                                                       "input %2; %3 were taken instead.")
                                            .arg(attempts)
                                            .arg(n)
                                            .arg(input.DiallingAttempts);
            }
            fields.DropThrough();
            input.VoiceMessageMissing = fields.Rest().startsWith(QLatin1Char('-'));
        } else if (HasPrefix(line, NamePrefix)) {
            ReplyLineFields fields(line.mid(PrefixLength));
            const int n = RecordNumber(fields);
            if (n < 1 || n > SettingsLimits::InputCount) {
                continue;
            }
            fields.DropThrough(QLatin1Char('"'));
            messageNotes[n - 1].clear();
            applied.Settings.Inputs[n - 1].SmsMessage =
                FitMessage(fields.TakeUpTo(QLatin1Char('"')), n, messageNotes[n - 1]);
        }
    }
    for (int n = 0; n < SettingsLimits::InputCount; ++n) {
        applied.Problems << attemptsNotes[n] << messageNotes[n];
    }
    return applied;
}

AppliedSettings ApplyContactLines(const SettingsReply& reply, const DiallerSettings& current) {
    AppliedSettings applied{current, {}};
    ContactList& contacts = applied.Settings.Contacts;
    contacts = ContactList{};
    std::array<QStringList, SettingsLimits::ContactCount> notes;
    for (const QString& line : reply) {
        if (HasPrefix(line, ContactPrefix)) {
            ReplyLineFields fields(line.mid(PrefixLength));
            const int location = RecordNumber(fields);
            if (location < 1 || location > SettingsLimits::ContactCount) {
                continue;
            }
            fields.DropThrough();
            const QString number = fields.TakeUpTo();
            notes[location - 1].clear();
            // A number the dialler could not have been given by this program
            // is not taken: a cut number would alert a stranger, and a number
            // with other characters could not be sent back.
            if (number.size() > SettingsLimits::PhoneNumberMaxLength) {
                notes[location - 1]
                    << QStringLiteral("ORNEX reported the phone number \"%1\" for "
                                      "location %2, which is longer than %3 "
                                      "characters; it was left out.")
                           .arg(number, QString::number(location),
                                QString::number(SettingsLimits::PhoneNumberMaxLength));
                continue;
            }
            if (!IsValidPhoneNumber(number)) {
                notes[location - 1] << QStringLiteral("ORNEX reported the phone number \"%1\" for "
                                                      "location %2, which holds characters other "
                                                      "than digits, \"*\", \"#\" and a leading "
                                                      "\"+\"; it was left out.")
                                           .arg(number, QString::number(location));
                continue;
            }
            ContactEntry& contact = contacts[location - 1];
            contact.PhoneNumber = number;
            // The methods are looked for in the whole rest of the line, and a
            // record only ever adds them.
            if (fields.Rest().contains(QLatin1StringView("SMS"), Qt::CaseInsensitive)) {
                contact.ReportBySms = true;
            }
            if (fields.Rest().contains(QLatin1StringView("VOICE"), Qt::CaseInsensitive)) {
                contact.ReportByVoice = true;
            }
        } else if (HasPrefix(line, InputPrefix)) {
            ReplyLineFields fields(line.mid(PrefixLength));
            const int n = RecordNumber(fields);
            if (n < 1 || n > SettingsLimits::InputCount) {
                continue;
            }
            // Past the input number, contact type, mode and attempts; the
            // voice state is skipped by the first step of the loop.
            for (int i = 0; i < 4; ++i) {
                fields.DropThrough();
            }
            while (fields.Has()) {
                fields.DropThrough();
                const QString number = fields.Has() ? fields.TakeUpTo() : fields.Rest();
                if (number.isEmpty()) {
                    continue;
                }
                for (ContactEntry& contact : contacts) {
                    if (contact.PhoneNumber == number) {
                        contact.ReportsInput[n - 1] = true;
                    }
                }
            }
        }
    }
    CompactContacts(contacts, -1);
    CollectNotes(notes, applied.Problems);
    return applied;
}

AppliedSettings ApplyPinLine(const SettingsReply& reply, const DiallerSettings& current) {
    AppliedSettings applied{current, {}};
    std::array<QStringList, 2> notes; // User PIN, Admin PIN
    const auto take = [](const QString& pin, const QString& name, QString& target,
                         QStringList& note) {
        note.clear();
        if (IsValidPin(pin)) {
            target = pin;
            return;
        }
        note << QStringLiteral("ORNEX reported the %1 \"%2\", which is not %3 to %4 digits; the "
                               "%1 was left as it was.")
                    .arg(name, pin, QString::number(SettingsLimits::PinMinLength),
                         QString::number(SettingsLimits::PinMaxLength));
    };
    for (const QString& line : reply) {
        if (!HasPrefix(line, PinPrefix)) {
            continue;
        }
        ReplyLineFields fields(line.mid(PrefixLength));
        fields.DropThrough();
        const QString userPin = fields.TakeUpTo();
        fields.DropThrough();
        const QString adminPin = fields.Rest();
        take(userPin, QStringLiteral("User PIN"), applied.Settings.UserPin, notes[0]);
        take(adminPin, QStringLiteral("Admin PIN"), applied.Settings.AdminPin, notes[1]);
    }
    // Admin first, as the PINs are shown and sent.
    applied.Problems << notes[1] << notes[0];
    return applied;
}

AppliedSettings ApplyAllLines(const SettingsReply& reply, const DiallerSettings& current) {
    AppliedSettings inputs = ApplyInputLines(reply, current);
    AppliedSettings contacts = ApplyContactLines(reply, inputs.Settings);
    AppliedSettings pins = ApplyPinLine(reply, contacts.Settings);
    pins.Problems = inputs.Problems + contacts.Problems + pins.Problems;
    return pins;
}
