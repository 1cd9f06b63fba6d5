#pragma once

#include "settings/DiallerSettings.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class UpDown;

// The five controls that show one alarm input on the Inputs page.
struct InputControlSet {
    QComboBox* NONCComboBox = nullptr;
    QComboBox* SlaveLatchComboBox = nullptr;
    UpDown* RetriesUpDown = nullptr;
    QLineEdit* SMSMessageEdit = nullptr;
    QLabel* VoiceMessageLabel = nullptr;
};

using InputControlTable = std::array<InputControlSet, SettingsLimits::InputCount>;
using InputSettingsList = std::array<InputSettings, SettingsLimits::InputCount>;

// A contact row of the list: column 0 is the location number, then the
// phone number, SMS, Voice and one column per input. A flag cell is set
// exactly when it holds "Y".
namespace ContactRow {
constexpr int NumberColumn = 1;
constexpr int SmsColumn = 2;
constexpr int VoiceColumn = 3;
constexpr int FirstInputColumn = 4;
constexpr int ColumnCount = FirstInputColumn + SettingsLimits::InputCount;

ContactEntry Read(const QTreeWidgetItem* row);
void Write(QTreeWidgetItem* row, const ContactEntry& contact);
// The whole list of 99 rows; writing numbers them 1 to 99 in order.
ContactList ReadList(const QTreeWidget* list);
void WriteList(QTreeWidget* list, const ContactList& contacts);
} // namespace ContactRow

// Reads the settings out of the window's controls and puts them back, in
// the representations the controls use: "Y" cells, combo box indexes, the
// up-down's position and the edits' texts. Writing goes through the
// controls' own change events, so a changed PIN, message or attempts value
// marks the settings modified like a user's edit would.
class SettingsBinding {
public:
    SettingsBinding(QTreeWidget* list, const InputControlTable& inputs, QLineEdit* adminPin,
                    QLineEdit* userPin);

    DiallerSettings Read() const;
    ContactList ReadContacts() const;
    InputSettingsList ReadInputs() const;

    void Write(const DiallerSettings& settings) const;
    // Rewrites all 99 rows, numbered 1 to 99 in order.
    void WriteContacts(const ContactList& contacts) const;
    void WriteInputs(const InputSettingsList& inputs) const;
    void WritePins(const QString& adminPin, const QString& userPin) const;

private:
    QTreeWidget* mList;
    const InputControlTable& mInputs;
    QLineEdit* mAdminPin;
    QLineEdit* mUserPin;
};
