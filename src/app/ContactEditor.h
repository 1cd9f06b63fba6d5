#pragma once

#include "settings/DiallerSettings.h"

#include <QFrame>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The editor beside the contact list: the selected location's number, how it
// reports and for which inputs. It loads a row when it is selected and
// stores the entry back on Save, checked against the other rows; moving to
// another row with unsaved changes asks first.
class ContactEditor : public QFrame {
    Q_OBJECT
public:
    explicit ContactEditor(QTreeWidget* list, QWidget* parent = nullptr);

    QLineEdit* PhoneNumberEdit() const { return mPhoneNumberEdit; }
    QCheckBox* SMSCheckBox() const { return mSMSCheckBox; }
    QCheckBox* VoiceCheckBox() const { return mVoiceCheckBox; }
    QCheckBox* AllInputsCheckBox() const { return mAllInputsCheckBox; }
    QPushButton* RevertButton() const { return mRevertButton; }
    QPushButton* DeleteButton() const { return mDeleteButton; }
    QPushButton* SaveButton() const { return mSaveButton; }
    // SMS, Voice, then Input 1 to 8.
    using CheckBoxTable = std::array<QCheckBox*, 2 + SettingsLimits::InputCount>;
    const CheckBoxTable& EditorCheckBoxes() const { return mEditorCheckBoxes; }

    // The row whose entry the editor holds, -1 for none.
    int CurrentContactRow() const { return mCurrentContactRow; }
    void SetCurrentContactRow(int row) { mCurrentContactRow = row; }

    void PhoneNumbersListViewSelectItem();
    void PhoneNumberEditEnter();
    void PhoneNumberEditExit();
    void PhoneNumberEditChange();
    void PhoneNumberEditKeyUpDown();
    void PhoneNumberEditKeyPress();
    void AllInputsCheckBoxClick();
    void InputCheckBoxClick();
    void SaveButtonClick();
    void RevertButtonClick();
    void DeleteButtonClick();

    // True when the editor differs from the row it last loaded or stored.
    bool ContactEditorModified() const;
    // Checks the editor's entry against the other rows and writes it into
    // `row`. A refusal has been shown and the focus is in the phone field.
    bool StoreContactFromEditor(int row);
    // Empties the editor and drops the selection without asking, for
    // callers that have just replaced the whole list.
    void ClearContactEditor();
    // Before the contact list is sent: offers to store a pending edit at its
    // own location. False when the user wanted it stored and it was refused,
    // so nothing should be sent.
    bool AskToStoreContactBeforeSending();

    // "&Save" here and `elsewhere` share an accelerator: the key presses Save
    // while the focus is in the editor, and `elsewhere` anywhere else.
    void ShareSaveAcceleratorWith(QPushButton* elsewhere);

signals:
    // An entry was stored or deleted.
    void Changed();
    // The list needs its gaps closed after a store or a delete.
    void CompactRequested();

private:
    void Wire();
    void RememberPhoneSelection();
    void TrackContactEditor();
    void UpdateSaveRevertButtons();
    void SetAllInputsState(Qt::CheckState state);
    void SetContactEditorEnabled(bool enabled);
    void FocusListAfterEditorButton();

    QTreeWidget* mList;
    QLineEdit* mPhoneNumberEdit;
    QCheckBox* mSMSCheckBox;
    QCheckBox* mVoiceCheckBox;
    QCheckBox* mAllInputsCheckBox;
    QPushButton* mRevertButton;
    QPushButton* mDeleteButton;
    QPushButton* mSaveButton;
    CheckBoxTable mEditorCheckBoxes{};

    int mCurrentContactRow = -1;
    // The check boxes as last loaded or stored.
    std::array<bool, 2 + SettingsLimits::InputCount> mStoredChecked{};
    // The phone field as it last held only what a number may: a refused
    // keystroke goes back to it.
    QString mLastValidPhoneText;
    int mLastValidSelStart = 0;
    int mLastValidSelLength = 0;
    bool mPhoneChangeSuspended = false;
};
