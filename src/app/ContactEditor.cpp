#include "app/ContactEditor.h"

#include "app/PageWidgets.h"
#include "dialogs/MessageDialog.h"
#include "platform/FieldEvents.h"
#include "settings/ContactListRules.h"
#include "settings/SettingsBinding.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int FirstInputBox = 2;

// "&Save" in the contact editor and "&Send All Settings to ORNEX" share
// Alt+S. Where both could act, Qt would only move the focus between them and
// run neither: the key runs the editor's Save while the focus is in the
// editor, and Send All anywhere else.
class SharedAcceleratorChooser : public QObject {
public:
    SharedAcceleratorChooser(QWidget* editor, QPushButton* inEditor, QPushButton* elsewhere)
        : QObject(editor), mEditor(editor), mInEditor(inEditor), mElsewhere(elsewhere) {
        inEditor->installEventFilter(this);
        elsewhere->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut ||
            !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            return QObject::eventFilter(watched, event);
        }
        QWidget* focus = QApplication::focusWidget();
        QPushButton* target =
            focus != nullptr && mEditor->isAncestorOf(focus) ? mInEditor : mElsewhere;
        if (target->isEnabled() && target->isVisible()) {
            target->animateClick();
        }
        return true;
    }

private:
    QWidget* mEditor;
    QPushButton* mInEditor;
    QPushButton* mElsewhere;
};

PhoneFieldState ReadPhoneField(const QLineEdit* edit) {
    if (edit->hasSelectedText()) {
        return {edit->text(), edit->selectionStart(), edit->selectionLength()};
    }
    return {edit->text(), edit->cursorPosition(), 0};
}

void ShowPhoneSelection(QLineEdit* edit, int start, int length) {
    if (length > 0) {
        edit->setSelection(start, length);
    } else {
        edit->setCursorPosition(start);
    }
}

} // namespace

ContactEditor::ContactEditor(QTreeWidget* list, QWidget* parent) : QFrame(parent), mList(list) {
    setObjectName(QStringLiteral("PhoneNumberEditPanel"));
    setFrameShape(QFrame::StyledPanel);
    mPhoneNumberEdit = Named(new QLineEdit(this), "PhoneNumberEdit");
    mPhoneNumberEdit->setGeometry(24, 27, 169, 21);
    mPhoneNumberEdit->setMaxLength(SettingsLimits::PhoneNumberMaxLength);
    MakeLabel(this, QStringLiteral("PhoneNumberLabel"), tr("&Phone Number"), QPoint(24, 8))
        ->setBuddy(mPhoneNumberEdit);
    MakeLabel(this, QStringLiteral("ReportByLabel"), tr("Report alarms by"), QPoint(24, 55));
    mSMSCheckBox = Named(new QCheckBox(tr("S&MS"), this), "SMSCheckBox");
    mSMSCheckBox->setGeometry(24, 74, 97, 17);
    mVoiceCheckBox = Named(new QCheckBox(tr("&Voice"), this), "VoiceCheckBox");
    mVoiceCheckBox->setGeometry(124, 74, 97, 17);
    MakeLabel(this, QStringLiteral("Label1"), tr("Report alarms for"), QPoint(24, 105));
    mAllInputsCheckBox = Named(new QCheckBox(tr("All"), this), "AllInputsCheckBox");
    mAllInputsCheckBox->setGeometry(124, 104, 97, 17);
    mRevertButton = MakeButton(this, "RevertButton", tr("&Revert"));
    mRevertButton->setGeometry(10, 380, 56, 25);
    mDeleteButton = MakeButton(this, "DeleteButton", tr("&Delete"));
    mDeleteButton->setGeometry(79, 380, 56, 25);
    mSaveButton = MakeButton(this, "SaveButton", tr("&Save"));
    mSaveButton->setGeometry(148, 380, 56, 25);
    // Enter in the editor presses Save, as the window's default button.
    mSaveButton->setDefault(true);
    mSaveButton->setAutoDefault(false);

    mEditorCheckBoxes[0] = mSMSCheckBox;
    mEditorCheckBoxes[1] = mVoiceCheckBox;
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        const QString n = QString::number(i + 1);
        auto* box = new QCheckBox(tr("Input &%1").arg(n), this);
        box->setObjectName(QStringLiteral("Input%1CheckBox").arg(n));
        box->setGeometry(mSMSCheckBox->x(), mSMSCheckBox->y() + 50 + 30 * i, 97, 17);
        setTabOrder(i > 0 ? mEditorCheckBoxes[FirstInputBox + i - 1] : mAllInputsCheckBox, box);
        mEditorCheckBoxes[FirstInputBox + i] = box;
    }
    setTabOrder(mEditorCheckBoxes.back(), mRevertButton);

    for (QWidget* w : std::initializer_list<QWidget*>{mPhoneNumberEdit, mSMSCheckBox,
                                                      mVoiceCheckBox, mAllInputsCheckBox,
                                                      mRevertButton, mDeleteButton, mSaveButton}) {
        w->setEnabled(false);
    }
    for (QCheckBox* box : mEditorCheckBoxes) {
        box->setEnabled(false);
    }
    setEnabled(false);
    Wire();
}

void ContactEditor::SetContactEditorEnabled(bool enabled) {
    setEnabled(enabled);
    mPhoneNumberEdit->setEnabled(enabled);
    mAllInputsCheckBox->setEnabled(enabled);
    for (QCheckBox* box : mEditorCheckBoxes) {
        box->setEnabled(enabled);
    }
}

void ContactEditor::PhoneNumbersListViewSelectItem() {
    const int selected = SelectedContactRowOf(mList);
    if (selected >= 0 && selected != mCurrentContactRow) {
        if (!ContactEditorModified()) {
            RevertButtonClick();
        } else if (ShowMessageDialog(
                       tr("Save Changes"),
                       tr("Do you want to save the changes to this phone number entry?"),
                       tr("No\r\nYes"), QuestionIcon, 2) == 1) {
            RevertButtonClick();
        } else if (StoreContactFromEditor(mCurrentContactRow)) {
            // Stored where it was edited. The list is not compacted here,
            // as that would move the row the user has just selected.
            emit Changed();
            RevertButtonClick();
        } else {
            // Back to the refused entry. The selection rule runs again for
            // it and, finding the row already in the editor, asks nothing.
            SelectContactRowOf(mList, mCurrentContactRow);
        }
    }

    // The re-entrant run above may have changed the selection again.
    const int now = SelectedContactRowOf(mList);
    SetContactEditorEnabled(now >= 0);
    mCurrentContactRow = now;
    // After a load the editor equals its row and both buttons go off; only an
    // entry kept after a refused store still differs, and it stays storable.
    UpdateSaveRevertButtons();
    mDeleteButton->setEnabled(now >= 0 &&
                              !mList->topLevelItem(now)->text(ContactRow::NumberColumn).isEmpty());
}

void ContactEditor::RememberPhoneSelection() {
    const PhoneFieldState field = ReadPhoneField(mPhoneNumberEdit);
    mLastValidSelStart = field.SelectionStart;
    mLastValidSelLength = field.SelectionLength;
}

void ContactEditor::UpdateSaveRevertButtons() {
    const bool modified = ContactEditorModified();
    mSaveButton->setEnabled(modified);
    mRevertButton->setEnabled(modified);
}

void ContactEditor::TrackContactEditor() {
    mLastValidPhoneText = mPhoneNumberEdit->text();
    RememberPhoneSelection();
    UpdateSaveRevertButtons();
}

void ContactEditor::PhoneNumberEditEnter() {
    TrackContactEditor();
}

void ContactEditor::PhoneNumberEditExit() {
    TrackContactEditor();
}

void ContactEditor::PhoneNumberEditKeyUpDown() {
    RememberPhoneSelection();
}

void ContactEditor::PhoneNumberEditKeyPress() {
    RememberPhoneSelection();
}

void ContactEditor::PhoneNumberEditChange() {
    if (mPhoneChangeSuspended) {
        return;
    }
    mPhoneChangeSuspended = true;
    const PhoneFieldState lastValid{mLastValidPhoneText, mLastValidSelStart, mLastValidSelLength};
    const PhoneFieldState changed = ReadPhoneField(mPhoneNumberEdit);
    const PhoneFieldState shown = FilterPhoneFieldChange(lastValid, changed);
    if (shown != changed) {
        mPhoneNumberEdit->setText(shown.Text);
        ShowPhoneSelection(mPhoneNumberEdit, shown.SelectionStart, shown.SelectionLength);
    }
    mLastValidPhoneText = shown.Text;
    mLastValidSelStart = shown.SelectionStart;
    mLastValidSelLength = shown.SelectionLength;
    UpdateSaveRevertButtons();
    mPhoneChangeSuspended = false;
}

void ContactEditor::SetAllInputsState(Qt::CheckState state) {
    // Only the program shows the greyed state; a click on the box goes
    // straight from unchecked to checked, and from greyed to checked.
    mAllInputsCheckBox->setTristate(state == Qt::PartiallyChecked);
    mAllInputsCheckBox->setCheckState(state);
}

void ContactEditor::AllInputsCheckBoxClick() {
    const bool all = mAllInputsCheckBox->checkState() != Qt::Unchecked;
    SetAllInputsState(all ? Qt::Checked : Qt::Unchecked);
    for (int k = FirstInputBox; k < static_cast<int>(mEditorCheckBoxes.size()); ++k) {
        mEditorCheckBoxes[k]->setChecked(all);
    }
    TrackContactEditor();
}

void ContactEditor::InputCheckBoxClick() {
    TrackContactEditor();
    const auto first = mEditorCheckBoxes.begin() + FirstInputBox;
    const auto checked = std::count_if(first, mEditorCheckBoxes.end(),
                                       [](const QCheckBox* box) { return box->isChecked(); });
    if (checked == SettingsLimits::InputCount) {
        SetAllInputsState(Qt::Checked);
    } else {
        SetAllInputsState(checked > 0 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
}

bool ContactEditor::ContactEditorModified() const {
    const QTreeWidgetItem* row = mList->topLevelItem(mCurrentContactRow);
    if (mCurrentContactRow < 0 || row == nullptr) {
        return false;
    }
    if (mPhoneNumberEdit->text() != row->text(ContactRow::NumberColumn)) {
        return true;
    }
    for (std::size_t k = 0; k < mEditorCheckBoxes.size(); ++k) {
        if (mEditorCheckBoxes[k]->isChecked() != mStoredChecked[k]) {
            return true;
        }
    }
    return false;
}

void ContactEditor::RevertButtonClick() {
    const QTreeWidgetItem* row = mList->topLevelItem(SelectedContactRowOf(mList));
    if (row == nullptr) {
        return;
    }
    const ContactEntry entry = ContactRow::Read(row);
    // The row is shown as it stands: a number from a settings file may hold
    // characters that typing could not bring in, and the field must not fall
    // back to the previous row's number because of them.
    mPhoneChangeSuspended = true;
    mPhoneNumberEdit->setText(entry.PhoneNumber);
    mPhoneChangeSuspended = false;
    mLastValidPhoneText = entry.PhoneNumber;
    RememberPhoneSelection();

    mStoredChecked[0] = entry.ReportBySms;
    mStoredChecked[1] = entry.ReportByVoice;
    std::copy(entry.ReportsInput.begin(), entry.ReportsInput.end(),
              mStoredChecked.begin() + FirstInputBox);
    for (std::size_t k = 0; k < mEditorCheckBoxes.size(); ++k) {
        mEditorCheckBoxes[k]->setChecked(mStoredChecked[k]);
    }
    InputCheckBoxClick();
    mSaveButton->setEnabled(false);
    mRevertButton->setEnabled(false);
}

bool ContactEditor::StoreContactFromEditor(int row) {
    QTreeWidgetItem* item = mList->topLevelItem(row);
    if (row < 0 || item == nullptr) {
        return false;
    }
    ContactEntry entry;
    entry.PhoneNumber = mPhoneNumberEdit->text();
    entry.ReportBySms = mSMSCheckBox->isChecked();
    entry.ReportByVoice = mVoiceCheckBox->isChecked();
    for (int n = 0; n < SettingsLimits::InputCount; ++n) {
        entry.ReportsInput[n] = mEditorCheckBoxes[FirstInputBox + n]->isChecked();
    }
    if (const std::optional<QString> refusal =
            CheckContactEntry(ContactRow::ReadList(mList), row, entry)) {
        ShowErrorMessage(tr("Error"), *refusal);
        mPhoneNumberEdit->setFocus();
        return false;
    }
    ContactRow::Write(item, entry);
    for (std::size_t k = 0; k < mEditorCheckBoxes.size(); ++k) {
        mStoredChecked[k] = mEditorCheckBoxes[k]->isChecked();
    }
    return true;
}

void ContactEditor::SaveButtonClick() {
    if (!StoreContactFromEditor(SelectedContactRowOf(mList))) {
        return;
    }
    mSaveButton->setEnabled(false);
    mRevertButton->setEnabled(false);
    mDeleteButton->setEnabled(true);
    emit CompactRequested();
    emit Changed();
    FocusListAfterEditorButton();
}

void ContactEditor::FocusListAfterEditorButton() {
    // Disabling the focused editor button makes Qt hand the focus on to the
    // next enabled control, "Get Phone Numbers from ORNEX", where one press of
    // Space would replace the list. The list, at the row just stored or
    // deleted, is where the user goes on.
    mList->setFocus(Qt::OtherFocusReason);
}

void ContactEditor::DeleteButtonClick() {
    QTreeWidgetItem* row = mList->topLevelItem(SelectedContactRowOf(mList));
    if (row == nullptr || row->text(ContactRow::NumberColumn).isEmpty()) {
        return;
    }
    if (ShowMessageDialog(
            tr("Delete Phone Number"),
            tr("Are you sure you want to delete this phone number from the contact list?"),
            tr("&Yes\r\n&No"), QuestionIcon, 1) != 1) {
        return;
    }
    // A free location keeps no flags: the upload skips it, and a number
    // typed into it later starts from a clean entry.
    ContactRow::Write(row, ContactEntry{});
    mPhoneNumberEdit->clear();
    for (std::size_t k = 0; k < mEditorCheckBoxes.size(); ++k) {
        mEditorCheckBoxes[k]->setChecked(false);
        mStoredChecked[k] = false;
    }
    SetAllInputsState(Qt::Unchecked);
    mDeleteButton->setEnabled(false);
    SelectContactRowOf(mList, -1);
    emit CompactRequested();
    emit Changed();
    mSaveButton->setEnabled(false);
    mRevertButton->setEnabled(false);
    FocusListAfterEditorButton();
}

void ContactEditor::ClearContactEditor() {
    SelectContactRowOf(mList, -1);
    mCurrentContactRow = -1;
    mPhoneChangeSuspended = true;
    mPhoneNumberEdit->clear();
    mPhoneChangeSuspended = false;
    mLastValidPhoneText.clear();
    mLastValidSelStart = 0;
    mLastValidSelLength = 0;
    for (std::size_t k = 0; k < mEditorCheckBoxes.size(); ++k) {
        mEditorCheckBoxes[k]->setChecked(false);
        mStoredChecked[k] = false;
    }
    SetAllInputsState(Qt::Unchecked);
    SetContactEditorEnabled(false);
    mSaveButton->setEnabled(false);
    mRevertButton->setEnabled(false);
    mDeleteButton->setEnabled(false);
}

bool ContactEditor::AskToStoreContactBeforeSending() {
    if (!mSaveButton->isEnabled()) {
        return true;
    }
    if (ShowMessageDialog(
            tr("Save Changes"),
            tr("Do you want to save the changes to this phone number entry before sending?"),
            tr("No\r\nYes"), QuestionIcon, 2) == 1) {
        return true;
    }
    if (StoreContactFromEditor(mCurrentContactRow)) {
        emit Changed();
        RevertButtonClick();
        // The exchange that follows blocks the window; the stored entry must
        // be on screen before it starts.
        mList->viewport()->repaint();
        return true;
    }
    SelectContactRowOf(mList, mCurrentContactRow);
    return false;
}

void ContactEditor::ShareSaveAcceleratorWith(QPushButton* elsewhere) {
    new SharedAcceleratorChooser(this, mSaveButton, elsewhere);
}

void ContactEditor::Wire() {
    connect(mList, &QTreeWidget::itemSelectionChanged, this,
            &ContactEditor::PhoneNumbersListViewSelectItem);
    connect(mPhoneNumberEdit, &QLineEdit::textChanged, this, &ContactEditor::PhoneNumberEditChange);
    OnFieldEnter(mPhoneNumberEdit, [this] { PhoneNumberEditEnter(); });
    OnFieldExit(mPhoneNumberEdit, [this] { PhoneNumberEditExit(); });
    // Key events are seen before the field acts on them, so the selection
    // remembered is the one a refused character must return to.
    new EventHook(mPhoneNumberEdit, [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::KeyPress:
            PhoneNumberEditKeyUpDown();
            PhoneNumberEditKeyPress();
            break;
        case QEvent::KeyRelease:
            PhoneNumberEditKeyUpDown();
            break;
        case QEvent::MouseButtonRelease:
            PhoneNumberEditEnter();
            break;
        default:
            break;
        }
    });

    for (QCheckBox* box : mEditorCheckBoxes) {
        OnFieldEnter(box, [this] { PhoneNumberEditEnter(); });
        OnFieldExit(box, [this] { PhoneNumberEditEnter(); });
    }
    for (QCheckBox* box : {mSMSCheckBox, mVoiceCheckBox}) {
        connect(box, &QCheckBox::clicked, this, &ContactEditor::PhoneNumberEditEnter);
    }
    for (int k = FirstInputBox; k < static_cast<int>(mEditorCheckBoxes.size()); ++k) {
        connect(mEditorCheckBoxes[k], &QCheckBox::clicked, this,
                &ContactEditor::InputCheckBoxClick);
    }
    connect(mAllInputsCheckBox, &QCheckBox::clicked, this, &ContactEditor::AllInputsCheckBoxClick);

    connect(mSaveButton, &QPushButton::clicked, this, &ContactEditor::SaveButtonClick);
    connect(mRevertButton, &QPushButton::clicked, this, [this] {
        RevertButtonClick();
        // The entry stays in the editor, to be edited again; the button that
        // had the focus is disabled now.
        mPhoneNumberEdit->setFocus(Qt::OtherFocusReason);
    });
    connect(mDeleteButton, &QPushButton::clicked, this, &ContactEditor::DeleteButtonClick);
    // Save is the default button of the editor: Enter stores the entry, unless
    // the focus is on one of the editor's own buttons, which Enter presses.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            auto* focused = qobject_cast<QPushButton*>(window()->focusWidget());
            QPushButton* target =
                focused != nullptr && focused->parentWidget() == this ? focused : mSaveButton;
            if (target->isEnabled()) {
                target->click();
            }
        });
    }
}
