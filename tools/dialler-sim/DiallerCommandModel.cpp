#include "DiallerCommandModel.h"

#include <algorithm>
#include <optional>

namespace {

// A decimal number of at most four digits, nothing else.
std::optional<int> Decimal(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 4) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> InRange(const QByteArray& text, int low, int high) {
    const auto value = Decimal(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

bool ValidPhoneNumber(const QByteArray& number) {
    if (number.isEmpty() || number.size() > SettingsLimits::PhoneNumberMaxLength) {
        return false;
    }
    for (qsizetype i = 0; i < number.size(); ++i) {
        const char c = number[i];
        const bool allowed = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
        if (!allowed) {
            return false;
        }
    }
    return true;
}

bool ValidPin(const QByteArray& pin) {
    if (pin.size() < SettingsLimits::PinMinLength || pin.size() > SettingsLimits::PinMaxLength) {
        return false;
    }
    return std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QByteArray Latin1(const QString& text) {
    return text.toLatin1();
}

} // namespace

bool DiallerCommandModel::CommandComplete(const QByteArray& received) {
    return received.endsWith(';') && received.count('"') % 2 == 0;
}

bool DiallerCommandModel::AcceptsMultiInputAdd() const {
    return FirmwareMajor > MultiInputAddMajor ||
           (FirmwareMajor == MultiInputAddMajor && FirmwareMinor >= MultiInputAddMinor);
}

DiallerReply DiallerCommandModel::Answer(std::initializer_list<QByteArray> lines) const {
    DiallerReply reply;
    for (const QByteArray& line : lines) {
        reply.Lines << line + LineEnd;
    }
    return reply;
}

DiallerReply DiallerCommandModel::Refused() const {
    return Answer({RefusalText});
}

QByteArray DiallerCommandModel::VersionText() const {
    return "SW " + QByteArray::number(FirmwareMajor) + '.' + QByteArray::number(FirmwareMinor) +
           ", HW " + QByteArray::number(HardwareVariant);
}

DiallerReply DiallerCommandModel::Execute(const QByteArray& command) {
    // Line ends or blanks left in front of a command do not count.
    const QByteArray text = command.trimmed();
    if (!text.endsWith(';')) {
        return Refused();
    }
    const QByteArray body = text.chopped(1);
    const QByteArray lower = body.toLower();

    if (lower == "ver") {
        if (!VersionReply.isEmpty()) {
            DiallerReply reply;
            reply.Lines << VersionReply;
            return reply;
        }
        return Answer({VersionText()});
    }
    if (lower == "dnld all") {
        const QByteArray block = SettingsBlock();
        if (block.isEmpty()) {
            return Refused();
        }
        DiallerReply reply;
        reply.Lines << block;
        return reply;
    }
    if (lower == "del,0,all") {
        Settings.Contacts = ContactList{};
        return Answer({"Success!"});
    }
    if (lower.startsWith("add,")) {
        return AddContact(body.mid(4));
    }
    if (lower.startsWith("mod,inp,")) {
        return ModifyInput(body.mid(8));
    }
    if (lower.startsWith("name,")) {
        return NameInput(body.mid(5));
    }
    if (lower.startsWith("pin,")) {
        return SetPin(body.mid(4));
    }
    if (lower == "save all") {
        ++FlashSaves;
        return Answer({"Starting Save...", "Save Complete!"});
    }
    if (lower.startsWith("upl ")) {
        const auto input = InRange(lower.mid(4), 1, SettingsLimits::InputCount);
        if (!input) {
            return Refused();
        }
        DiallerReply reply = Answer({"Ready..."});
        reply.Then = DiallerReply::Next::VoiceData;
        reply.Input = *input;
        return reply;
    }
    if (lower.startsWith("out,")) {
        const QList<QByteArray> fields = lower.mid(4).split(',');
        const auto output =
            fields.size() == 2 ? InRange(fields[0], 1, SettingsLimits::OutputCount) : std::nullopt;
        if (!output || (fields[1] != "on" && fields[1] != "off")) {
            return Refused();
        }
        Outputs[*output - 1] = fields[1] == "on";
        return OutputState(*output);
    }
    if (lower.startsWith("sts,out,")) {
        const auto output = InRange(lower.mid(8), 1, SettingsLimits::OutputCount);
        return output ? OutputState(*output) : Refused();
    }
    if (lower.startsWith("rst boot ")) {
        const auto delay = Decimal(lower.mid(9));
        if (!delay) {
            return Refused();
        }
        DiallerReply reply = Answer({"Success!"});
        reply.Then = DiallerReply::Next::BootloaderRestart;
        reply.RestartDelayMs = *delay;
        return reply;
    }
    return Refused();
}

DiallerReply DiallerCommandModel::OutputState(int output) const {
    return Answer({QByteArray::number(output) + (Outputs[output - 1] ? ":ON" : ":OFF")});
}

DiallerReply DiallerCommandModel::AddContact(const QByteArray& fields) {
    const QList<QByteArray> parts = fields.split(',');
    if (parts.size() < 2 || !ValidPhoneNumber(parts[1])) {
        return Refused();
    }
    const QList<QByteArray> inputs = parts[0].split('&');
    if (inputs.size() > 1 && !AcceptsMultiInputAdd()) {
        return Refused();
    }
    ContactEntry added;
    added.PhoneNumber = QString::fromLatin1(parts[1]);
    for (const QByteArray& field : inputs) {
        const auto input = InRange(field, 1, SettingsLimits::InputCount);
        if (!input) {
            return Refused();
        }
        added.ReportsInput[*input - 1] = true;
    }
    for (const QByteArray& method : parts.mid(2)) {
        if (method.toLower() == "v") {
            added.ReportByVoice = true;
        } else if (method.toLower() == "s") {
            added.ReportBySms = true;
        } else {
            return Refused();
        }
    }

    ContactList contacts = Settings.Contacts;
    auto same = std::find_if(contacts.begin(), contacts.end(), [&](const ContactEntry& c) {
        return c.PhoneNumber == added.PhoneNumber;
    });
    if (same == contacts.end()) {
        same = std::find_if(contacts.begin(), contacts.end(),
                            [](const ContactEntry& c) { return c.IsFree(); });
        if (same == contacts.end()) {
            return Refused();
        }
        *same = added;
    } else {
        same->ReportBySms = same->ReportBySms || added.ReportBySms;
        same->ReportByVoice = same->ReportByVoice || added.ReportByVoice;
        for (int i = 0; i < SettingsLimits::InputCount; ++i) {
            same->ReportsInput[i] = same->ReportsInput[i] || added.ReportsInput[i];
        }
    }
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        const auto reporting =
            std::count_if(contacts.begin(), contacts.end(),
                          [i](const ContactEntry& c) { return c.ReportsInput[i]; });
        if (reporting > SettingsLimits::ContactsPerInputMax) {
            return Refused();
        }
    }
    Settings.Contacts = contacts;
    return Answer({"Success!"});
}

DiallerReply DiallerCommandModel::ModifyInput(const QByteArray& fields) {
    const QList<QByteArray> parts = fields.toLower().split(',');
    if (parts.size() != 4) {
        return Refused();
    }
    const auto input = InRange(parts[0], 1, SettingsLimits::InputCount);
    const auto attempts =
        InRange(parts[3], SettingsLimits::AttemptsMin, SettingsLimits::AttemptsMax);
    const bool typeKnown = parts[1] == "no" || parts[1] == "nc";
    const bool modeKnown = parts[2] == "l" || parts[2] == "s";
    if (!input || !attempts || !typeKnown || !modeKnown) {
        return Refused();
    }
    InputSettings& settings = Settings.Inputs[*input - 1];
    settings.NormallyOpen = parts[1] == "no";
    settings.Latching = parts[2] == "l";
    settings.DiallingAttempts = *attempts;
    return Answer({QByteArray::number(*input) + ": " + (settings.NormallyOpen ? "NO" : "NC") +
                   ", " + (settings.Latching ? "LATCH" : "SLAVE") + ", " +
                   QByteArray::number(settings.DiallingAttempts) + ", " +
                   (settings.VoiceMessageMissing ? "NO VOICE MESSAGE" : "VOICE MESSAGE")});
}

DiallerReply DiallerCommandModel::NameInput(const QByteArray& fields) {
    const qsizetype comma = fields.indexOf(',');
    const auto input = InRange(fields.left(comma), 1, SettingsLimits::InputCount);
    const QByteArray quoted = fields.mid(comma + 1);
    if (comma < 0 || !input || quoted.size() < 2 || !quoted.startsWith('"') ||
        !quoted.endsWith('"') || quoted.count('"') != 2) {
        return Refused();
    }
    const QByteArray message = quoted.mid(1, quoted.size() - 2);
    if (message.size() > SettingsLimits::SmsMessageMaxLength) {
        return Refused();
    }
    Settings.Inputs[*input - 1].SmsMessage = QString::fromLatin1(message);
    return Answer({QByteArray::number(*input) + ": " + message});
}

DiallerReply DiallerCommandModel::SetPin(const QByteArray& fields) {
    const QList<QByteArray> parts = fields.split(',');
    const auto which = parts.size() == 2 ? InRange(parts[0], 1, 2) : std::nullopt;
    if (!which || !ValidPin(parts[1])) {
        return Refused();
    }
    (*which == 1 ? Settings.UserPin : Settings.AdminPin) = QString::fromLatin1(parts[1]);
    return Answer({"Success!"});
}

DiallerReply DiallerCommandModel::TakeVoiceMessage(int input, const QByteArray& wav) {
    VoiceMessages[input - 1] = wav;
    Settings.Inputs[input - 1].VoiceMessageMissing = false;
    return Answer({"Success!"});
}

QByteArray DiallerCommandModel::SettingsBlock() const {
    QByteArray block = "VER:" + VersionText() + LineEnd;
    // The contacts come first: a reader matches the numbers of the INP lines
    // against the contacts it has read so far.
    for (int location = 1; location <= SettingsLimits::ContactCount; ++location) {
        const ContactEntry& contact = Settings.Contacts[location - 1];
        if (contact.IsFree()) {
            continue;
        }
        QByteArray methods = contact.ReportBySms && contact.ReportByVoice ? "SMS+VOICE"
                             : contact.ReportBySms                        ? "SMS"
                             : contact.ReportByVoice                      ? "VOICE"
                                                                          : "NONE";
        block += "CON:" + QByteArray::number(location) + ',' + Latin1(contact.PhoneNumber) + ',' +
                 methods + LineEnd;
    }
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        const InputSettings& settings = Settings.Inputs[input - 1];
        QByteArray line = "INP:" + QByteArray::number(input) + ',' +
                          (settings.NormallyOpen ? "NO" : "NC") + ',' +
                          (settings.Latching ? "LATCH" : "SLAVE") + ',' +
                          QByteArray::number(settings.DiallingAttempts) + ',' +
                          (settings.VoiceMessageMissing ? "-" : "+");
        for (const ContactEntry& contact : Settings.Contacts) {
            if (!contact.IsFree() && contact.ReportsInput[input - 1]) {
                line += ',' + Latin1(contact.PhoneNumber);
            }
        }
        block += line + LineEnd;
    }
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        block += "NAM:" + QByteArray::number(input) + ",\"" +
                 Latin1(Settings.Inputs[input - 1].SmsMessage) + '"' + LineEnd;
    }
    block += "PIN:0," + Latin1(Settings.UserPin) + ',' + Latin1(Settings.AdminPin) + LineEnd;

    // The length runs from the "V" of "VER:" through the carriage return of
    // this last line; a line feed behind that return is not counted.
    const qsizetype total = block.size() + 9;
    if (total > 9999) {
        return {};
    }
    return block + "LEN:" + QByteArray::number(total).rightJustified(4, '0') + LineEnd;
}
