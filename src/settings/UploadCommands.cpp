#include "settings/UploadCommands.h"

#include "settings/ReplyLineFields.h"

namespace {

QByteArray Decimal(int value) {
    return QByteArray::number(value);
}

// The text of an answer line, up to its carriage return.
QString EchoText(const QByteArray& line) {
    const qsizetype end = line.indexOf('\r');
    return QString::fromLatin1(end < 0 ? line : line.left(end));
}

std::optional<QString> PinProblem(const QString& pin, const QString& name) {
    if (IsValidPin(pin)) {
        return std::nullopt;
    }
    return QStringLiteral("The %1 must be %2 to %3 digits.")
        .arg(name)
        .arg(SettingsLimits::PinMinLength)
        .arg(SettingsLimits::PinMaxLength);
}

std::optional<QString> ContactProblem(const ContactEntry& contact, int location) {
    if (contact.PhoneNumber.size() > SettingsLimits::PhoneNumberMaxLength) {
        return QStringLiteral("The phone number at location %1 is longer than %2 characters.")
            .arg(location)
            .arg(SettingsLimits::PhoneNumberMaxLength);
    }
    if (!IsValidPhoneNumber(contact.PhoneNumber)) {
        return QStringLiteral(
                   "The phone number at location %1 contains characters the dialler cannot store.")
            .arg(location);
    }
    return std::nullopt;
}

std::optional<QString> InputProblem(const InputSettings& input, int n) {
    if (!IsAttemptsInRange(input.DiallingAttempts)) {
        return QStringLiteral("The dialling attempts of input %1 must be between %2 and %3.")
            .arg(n)
            .arg(SettingsLimits::AttemptsMin)
            .arg(SettingsLimits::AttemptsMax);
    }
    const QString& message = input.SmsMessage;
    if (message.size() > SettingsLimits::SmsMessageMaxLength) {
        return QStringLiteral("The SMS message of input %1 is longer than %2 characters.")
            .arg(n)
            .arg(SettingsLimits::SmsMessageMaxLength);
    }
    if (message.contains(QLatin1Char('"'))) {
        return QStringLiteral("The SMS message of input %1 contains a double quote (\") character.")
            .arg(n);
    }
    // The dialler ends a command at the first ";", quotes or not: the rest of
    // the message would be taken as a command of its own.
    if (message.contains(QLatin1Char(';'))) {
        return QStringLiteral("The SMS message of input %1 contains a semicolon (;) character.")
            .arg(n);
    }
    if (!HasOnlyStorableCharacters(message)) {
        return QStringLiteral(
                   "The SMS message of input %1 contains characters the dialler cannot store.")
            .arg(n);
    }
    // The dialler's echo drops leading blanks, so such a message could never
    // be confirmed. A trailing blank comes back as it was sent.
    if (!message.isEmpty() && IsBlank(message.front())) {
        return QStringLiteral("The SMS message of input %1 begins with a blank.").arg(n);
    }
    return std::nullopt;
}

} // namespace

QByteArray DeleteAllContactsCommand() {
    return QByteArrayLiteral("del,0,all;");
}

bool UsesNewInputAddFormat(int firmwareMajor, int firmwareMinor) {
    using namespace UploadProtocol;
    return firmwareMajor > NewAddFormatMajor ||
           (firmwareMajor == NewAddFormatMajor && firmwareMinor >= NewAddFormatMinor);
}

QList<QByteArray> AddContactCommands(const ContactEntry& contact, int firmwareMajor,
                                     int firmwareMinor) {
    QList<QByteArray> inputs;
    for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
        if (contact.ReportsInput[n - 1]) {
            inputs << Decimal(n);
        }
    }
    if (contact.IsFree() || inputs.isEmpty()) {
        return {};
    }
    QByteArray tail = ',' + contact.PhoneNumber.toLatin1();
    if (contact.ReportByVoice) {
        tail += ",v";
    }
    if (contact.ReportBySms) {
        tail += ",s";
    }
    tail += ';';
    if (UsesNewInputAddFormat(firmwareMajor, firmwareMinor)) {
        return {"add," + inputs.join('&') + tail};
    }
    QList<QByteArray> commands;
    for (const QByteArray& input : inputs) {
        commands << "add," + input + tail;
    }
    return commands;
}

QByteArray ModifyInputCommand(int input, const InputSettings& settings) {
    return "mod,inp," + Decimal(input) + (settings.NormallyOpen ? ",no," : ",nc,") +
           (settings.Latching ? "l," : "s,") + Decimal(settings.DiallingAttempts) + ';';
}

QByteArray NameCommand(int input, const QString& message) {
    return "name," + Decimal(input) + ",\"" + message.toLatin1() + "\";";
}

QByteArray SetPinCommand(PinNumber which, const QString& pin) {
    return "pin," + Decimal(static_cast<int>(which)) + ',' + pin.toLatin1() + ';';
}

QByteArray SaveAllCommand() {
    return QByteArrayLiteral("save all;");
}

namespace {

// Both echoes start with the input's number and a colon; the blanks after
// the colon do not count. `input` gets the number as written; false when it
// is no input's, and then the rest is not read.
bool TakeEchoInput(ReplyLineFields& fields, int& input) {
    input = ParseRecordNumber(fields.TakeUpTo(QLatin1Char(':')), 0);
    if (input < 1 || input > SettingsLimits::InputCount) {
        return false;
    }
    fields.DropThrough(QLatin1Char(':'));
    fields.SkipBlanks();
    return true;
}

} // namespace

InputEcho ParseInputEcho(const QByteArray& line) {
    InputEcho echo;
    ReplyLineFields fields(EchoText(line));
    if (!TakeEchoInput(fields, echo.Input)) {
        return echo;
    }
    echo.NormallyOpen = fields.StartsWith(QLatin1StringView("NO"));
    fields.DropThrough();
    fields.SkipBlanks();
    echo.Latching = fields.StartsWith(QLatin1StringView("LATCH"));
    fields.DropThrough();
    fields.SkipBlanks();
    echo.Attempts = ParseRecordNumber(fields.TakeUpTo(), SettingsLimits::AttemptsWhenUnreadable);
    return echo;
}

bool InputEchoMatches(const QByteArray& line, int input, const InputSettings& sent) {
    const InputEcho echo = ParseInputEcho(line);
    return echo == InputEcho{input, sent.NormallyOpen, sent.Latching, sent.DiallingAttempts};
}

NameEcho ParseNameEcho(const QByteArray& line) {
    NameEcho echo;
    ReplyLineFields fields(EchoText(line));
    if (!TakeEchoInput(fields, echo.Input)) {
        return echo;
    }
    echo.Message = fields.Rest().toLatin1();
    return echo;
}

bool NameEchoMatches(const QByteArray& line, int input, const QString& message) {
    const NameEcho echo = ParseNameEcho(line);
    // Compared as the bytes that went out, so a character that had no 8-bit
    // form is compared as what was really sent.
    return echo.Input >= 1 && echo.Input == input && echo.Message == message.toLatin1();
}

std::optional<QString> FindUploadProblem(const DiallerSettings& settings, UploadScope scope) {
    const bool all = scope == UploadScope::All;
    if (all || scope == UploadScope::Pins) {
        if (auto problem = PinProblem(settings.AdminPin, QStringLiteral("Admin PIN"))) {
            return problem;
        }
        if (auto problem = PinProblem(settings.UserPin, QStringLiteral("User PIN"))) {
            return problem;
        }
    }
    if (all || scope == UploadScope::Contacts) {
        for (int location = 1; location <= SettingsLimits::ContactCount; ++location) {
            if (auto problem = ContactProblem(settings.Contacts[location - 1], location)) {
                return problem;
            }
        }
    }
    if (all || scope == UploadScope::Inputs) {
        for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
            if (auto problem = InputProblem(settings.Inputs[n - 1], n)) {
                return problem;
            }
        }
    }
    return std::nullopt;
}
