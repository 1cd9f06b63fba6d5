#include "settings/UploadExchange.h"

#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"

namespace {

const QString TryAgain = QStringLiteral("\r\n\r\nPlease try again.");

bool SendConfirmed(DeviceTransport& link, const QByteArray& command) {
    return SendCommand(link, command) && ExpectSuccess(link);
}

// Reads the answer line of a "mod,inp," or "name," command.
bool ReadEchoLine(DeviceTransport& link, QByteArray& line, qint32 timeoutPerByteMs) {
    return ReadResponseLine(link, line, UploadProtocol::EchoLineMaxBytes, timeoutPerByteMs);
}

struct FlashSaveTexts {
    QString Activity;
    QString Error;
};

FlashSaveTexts FlashSaveTextsFor(UploadScope scope) {
    switch (scope) {
    case UploadScope::Pins:
        return {QStringLiteral("Saving PINs to flash memory"),
                QStringLiteral("Error saving PINs to flash memory.")};
    case UploadScope::Contacts:
        return {QStringLiteral("Saving phone numbers to flash memory"),
                QStringLiteral("Error saving phone numbers to flash memory.")};
    case UploadScope::Inputs:
        return {QStringLiteral("Saving input settings to flash memory"),
                QStringLiteral("Error saving input settings to flash memory.")};
    case UploadScope::All:
        break;
    }
    return {QStringLiteral("Saving settings to flash memory"),
            QStringLiteral("Error saving settings to flash memory.")};
}

} // namespace

bool DeleteAllContacts(DeviceTransport& link) {
    return SendConfirmed(link, DeleteAllContactsCommand());
}

bool AddContact(DeviceTransport& link, const ContactEntry& contact, FirmwareVersion firmware) {
    const QList<QByteArray> commands = AddContactCommands(contact, firmware.Major, firmware.Minor);
    for (const QByteArray& command : commands) {
        if (!SendConfirmed(link, command)) {
            return false;
        }
    }
    return true;
}

bool ModifyInput(DeviceTransport& link, int input, const InputSettings& settings) {
    QByteArray line;
    if (!SendCommand(link, ModifyInputCommand(input, settings)) ||
        !ReadEchoLine(link, line, UploadProtocol::InputEchoByteTimeoutMs) ||
        !InputEchoMatches(line, input, settings)) {
        return false;
    }
    return SendCommand(link, NameCommand(input, settings.SmsMessage)) &&
           ReadEchoLine(link, line, UploadProtocol::NameEchoByteTimeoutMs) &&
           NameEchoMatches(line, input, settings.SmsMessage);
}

bool SetPin(DeviceTransport& link, const QString& pin, PinNumber which) {
    return SendConfirmed(link, SetPinCommand(which, pin));
}

bool SendPins(DeviceTransport& link, UploadFeedback& feedback, const QString& adminPin,
              const QString& userPin) {
    feedback.ShowActivity(QStringLiteral("Sending PINs to ORNEX"));
    bool sent = SetPin(link, adminPin, PinNumber::Admin);
    if (!sent) {
        feedback.ShowCommandError(QStringLiteral("Error setting Admin PIN.") + TryAgain);
    } else {
        sent = SetPin(link, userPin, PinNumber::User);
        if (!sent) {
            feedback.ShowCommandError(QStringLiteral("Error setting User PIN.") + TryAgain);
        }
    }
    feedback.ShowActivity(QString());
    return sent;
}

bool SendPhoneNumbers(DeviceTransport& link, UploadFeedback& feedback, const ContactList& contacts,
                      FirmwareVersion firmware) {
    feedback.ShowActivity(QStringLiteral("Sending phone numbers to ORNEX"));
    bool sent = DeleteAllContacts(link);
    for (const ContactEntry& contact : contacts) {
        if (!sent) {
            break;
        }
        if (!contact.IsFree()) {
            sent = AddContact(link, contact, firmware);
        }
    }
    if (!sent) {
        feedback.ShowCommandError(QStringLiteral("Error sending phone numbers.") + TryAgain);
    }
    feedback.ShowActivity(QString());
    return sent;
}

bool SendInputSettings(DeviceTransport& link, UploadFeedback& feedback,
                       const std::array<InputSettings, SettingsLimits::InputCount>& inputs) {
    feedback.ShowActivity(QStringLiteral("Sending input settings to ORNEX"));
    bool sent = true;
    for (int n = 1; n <= SettingsLimits::InputCount && sent; ++n) {
        sent = ModifyInput(link, n, inputs[n - 1]);
    }
    if (!sent) {
        feedback.ShowCommandError(QStringLiteral("Error sending input settings.") + TryAgain);
    }
    feedback.ShowActivity(QString());
    return sent;
}

bool SaveUploadToFlash(DeviceTransport& link, UploadFeedback& feedback, UploadScope scope) {
    const FlashSaveTexts texts = FlashSaveTextsFor(scope);
    feedback.ShowActivity(texts.Activity);
    if (SaveAllToFlash(link)) {
        return true;
    }
    feedback.ShowCommandError(texts.Error + TryAgain);
    return false;
}

bool UploadSettings(DeviceTransport& link, UploadFeedback& feedback,
                    const DiallerSettings& settings, UploadScope scope, FirmwareVersion firmware) {
    const bool all = scope == UploadScope::All;
    if ((all || scope == UploadScope::Pins) &&
        !SendPins(link, feedback, settings.AdminPin, settings.UserPin)) {
        return false;
    }
    if ((all || scope == UploadScope::Contacts) &&
        !SendPhoneNumbers(link, feedback, settings.Contacts, firmware)) {
        return false;
    }
    if ((all || scope == UploadScope::Inputs) &&
        !SendInputSettings(link, feedback, settings.Inputs)) {
        return false;
    }
    return SaveUploadToFlash(link, feedback, scope);
}
