#include "settings/SettingsBinding.h"

#include "platform/UpDown.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

const QString FlagSet = QStringLiteral("Y");

bool ReadFlag(const QTreeWidgetItem* row, int column) {
    return row->text(column) == FlagSet;
}

void WriteFlag(QTreeWidgetItem* row, int column, bool set) {
    row->setText(column, set ? FlagSet : QString());
}

} // namespace

ContactEntry ContactRow::Read(const QTreeWidgetItem* row) {
    ContactEntry contact;
    contact.PhoneNumber = row->text(NumberColumn);
    contact.ReportBySms = ReadFlag(row, SmsColumn);
    contact.ReportByVoice = ReadFlag(row, VoiceColumn);
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        contact.ReportsInput[i] = ReadFlag(row, FirstInputColumn + i);
    }
    return contact;
}

void ContactRow::Write(QTreeWidgetItem* row, const ContactEntry& contact) {
    row->setText(NumberColumn, contact.PhoneNumber);
    WriteFlag(row, SmsColumn, contact.ReportBySms);
    WriteFlag(row, VoiceColumn, contact.ReportByVoice);
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        WriteFlag(row, FirstInputColumn + i, contact.ReportsInput[i]);
    }
}

ContactList ContactRow::ReadList(const QTreeWidget* list) {
    ContactList contacts{};
    for (int row = 0; row < SettingsLimits::ContactCount; ++row) {
        contacts[row] = Read(list->topLevelItem(row));
    }
    return contacts;
}

void ContactRow::WriteList(QTreeWidget* list, const ContactList& contacts) {
    for (int row = 0; row < SettingsLimits::ContactCount; ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        item->setText(0, QString::number(row + 1));
        Write(item, contacts[row]);
    }
}

SettingsBinding::SettingsBinding(QTreeWidget* list, const InputControlTable& inputs,
                                 QLineEdit* adminPin, QLineEdit* userPin)
    : mList(list), mInputs(inputs), mAdminPin(adminPin), mUserPin(userPin) {}

DiallerSettings SettingsBinding::Read() const {
    DiallerSettings settings;
    settings.Contacts = ReadContacts();
    settings.Inputs = ReadInputs();
    settings.AdminPin = mAdminPin->text();
    settings.UserPin = mUserPin->text();
    return settings;
}

ContactList SettingsBinding::ReadContacts() const {
    return ContactRow::ReadList(mList);
}

InputSettingsList SettingsBinding::ReadInputs() const {
    InputSettingsList inputs{};
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        const InputControlSet& controls = mInputs[i];
        InputSettings& input = inputs[i];
        // Only "Normally Closed" and "Slave" (index 0) clear the flags; no
        // selection at all reads as set.
        input.NormallyOpen = controls.NONCComboBox->currentIndex() != 0;
        input.Latching = controls.SlaveLatchComboBox->currentIndex() != 0;
        input.DiallingAttempts = controls.RetriesUpDown->Position();
        input.SmsMessage = controls.SMSMessageEdit->text();
        input.VoiceMessageMissing = !controls.VoiceMessageLabel->isHidden();
    }
    return inputs;
}

void SettingsBinding::Write(const DiallerSettings& settings) const {
    WriteContacts(settings.Contacts);
    WriteInputs(settings.Inputs);
    WritePins(settings.AdminPin, settings.UserPin);
}

void SettingsBinding::WriteContacts(const ContactList& contacts) const {
    ContactRow::WriteList(mList, contacts);
}

void SettingsBinding::WriteInputs(const InputSettingsList& inputs) const {
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        const InputControlSet& controls = mInputs[i];
        const InputSettings& input = inputs[i];
        controls.NONCComboBox->setCurrentIndex(input.NormallyOpen ? 1 : 0);
        controls.SlaveLatchComboBox->setCurrentIndex(input.Latching ? 1 : 0);
        controls.RetriesUpDown->SetPosition(input.DiallingAttempts);
        controls.SMSMessageEdit->setText(input.SmsMessage);
        controls.VoiceMessageLabel->setVisible(input.VoiceMessageMissing);
    }
}

void SettingsBinding::WritePins(const QString& adminPin, const QString& userPin) const {
    mAdminPin->setText(adminPin);
    mUserPin->setText(userPin);
}
