#include "app/TMainForm.h"

#include "dialogs/MessageDialog.h"
#include "platform/FieldEvents.h"
#include "settings/ContactListRules.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

namespace {

constexpr int FirstInputBox = 2;

// Hands every event of a widget to a handler before the widget sees it.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<void(QEvent*)> handler)
        : QObject(target), mHandler(std::move(handler)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        mHandler(event);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QEvent*)> mHandler;
};

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

void ShowContactError(const QString& text) {
    ShowErrorMessage(QObject::tr("Error"), text);
}

// A move takes the entry out of its row and puts it in at its new place, so
// the selection goes with the removed row: the moved entry is then selected
// afresh and loaded, and edits that were not stored are dropped unasked. The
// order of the list is the order in which the dialler calls, so a move is a
// change of the settings like any other.
void MoveSelectedContact(TMainForm& form, ContactMove move) {
    const SettingsBinding binding = form.Settings();
    ContactList rows = binding.ReadContacts();
    const int row = form.SelectedContactRow();
    if (!CanMoveContact(rows, row, move)) {
        return;
    }
    form.SelectContactRow(-1);
    const std::optional<int> target = MoveContact(rows, row, move);
    binding.WriteContacts(rows);
    form.SelectContactRow(*target);
    form.SettingsChange();
}

} // namespace

int TMainForm::SelectedContactRow() const {
    const QList<QTreeWidgetItem*> selected = PhoneNumbersListView->selectedItems();
    return selected.isEmpty() ? -1 : PhoneNumbersListView->indexOfTopLevelItem(selected.first());
}

void TMainForm::SelectContactRow(int row) {
    QTreeWidgetItem* item = PhoneNumbersListView->topLevelItem(row);
    if (item == nullptr) {
        PhoneNumbersListView->clearSelection();
        return;
    }
    PhoneNumbersListView->setCurrentItem(item);
    PhoneNumbersListView->scrollToItem(item);
}

void TMainForm::SetContactEditorEnabled(bool enabled) {
    PhoneNumberEditPanel->setEnabled(enabled);
    PhoneNumberEdit->setEnabled(enabled);
    AllInputsCheckBox->setEnabled(enabled);
    for (QCheckBox* box : EditorCheckBoxes) {
        box->setEnabled(enabled);
    }
}

void TMainForm::PhoneNumbersListViewSelectItem() {
    const int selected = SelectedContactRow();
    if (selected >= 0 && selected != CurrentContactRow) {
        if (!ContactEditorModified()) {
            RevertButtonClick();
        } else if (ShowMessageDialog(
                       tr("Save Changes"),
                       tr("Do you want to save the changes to this phone number entry?"),
                       tr("No\r\nYes"), QuestionIcon, 2) == 1) {
            RevertButtonClick();
        } else if (StoreContactFromEditor(CurrentContactRow)) {
            // Stored where it was edited. The list is not compacted here,
            // as that would move the row the user has just selected.
            SettingsChange();
            RevertButtonClick();
        } else {
            // Back to the refused entry. The selection rule runs again for
            // it and, finding the row already in the editor, asks nothing.
            SelectContactRow(CurrentContactRow);
        }
    }

    // The re-entrant run above may have changed the selection again.
    const int now = SelectedContactRow();
    SetContactEditorEnabled(now >= 0);
    CurrentContactRow = now;
    // After a load the editor equals its row and both buttons go off; only an
    // entry kept after a refused store still differs, and it stays storable.
    UpdateSaveRevertButtons();
    DeleteButton->setEnabled(
        now >= 0 &&
        !PhoneNumbersListView->topLevelItem(now)->text(ContactRow::NumberColumn).isEmpty());
}

void TMainForm::PhoneNumbersListViewMouseUpDown(Qt::MouseButton button, bool down,
                                                const QPoint& globalPos) {
    if (button != Qt::RightButton) {
        return;
    }
    // The press selects the row under the pointer; the menu follows on the
    // release, for whatever row is selected then.
    if (down) {
        mRightButtonDown = true;
        return;
    }
    if (!mRightButtonDown) {
        return;
    }
    mRightButtonDown = false;
    const ContactMenuState menu =
        ContactPopupMenuState(Settings().ReadContacts(), SelectedContactRow());
    if (!menu.Opens) {
        return;
    }
    MoveToTopOfListMenuItem->setEnabled(menu.MoveToTop);
    MoveUpListMenuItem->setEnabled(menu.MoveUp);
    MoveDownListMenuItem->setEnabled(menu.MoveDown);
    MoveToEndOfListMenuItem->setEnabled(menu.MoveToEnd);
    PhoneNumbersListPopupMenu->popup(globalPos);
}

void TMainForm::RememberPhoneSelection() {
    const PhoneFieldState field = ReadPhoneField(PhoneNumberEdit);
    LastValidSelStart = field.SelectionStart;
    LastValidSelLength = field.SelectionLength;
}

void TMainForm::UpdateSaveRevertButtons() {
    const bool modified = ContactEditorModified();
    SaveButton->setEnabled(modified);
    RevertButton->setEnabled(modified);
}

void TMainForm::TrackContactEditor() {
    LastValidPhoneText = PhoneNumberEdit->text();
    RememberPhoneSelection();
    UpdateSaveRevertButtons();
}

void TMainForm::PhoneNumberEditEnter() {
    TrackContactEditor();
}

void TMainForm::PhoneNumberEditExit() {
    TrackContactEditor();
}

void TMainForm::PhoneNumberEditKeyUpDown() {
    RememberPhoneSelection();
}

void TMainForm::PhoneNumberEditKeyPress() {
    RememberPhoneSelection();
}

void TMainForm::PhoneNumberEditChange() {
    if (mPhoneChangeSuspended) {
        return;
    }
    mPhoneChangeSuspended = true;
    const PhoneFieldState lastValid{LastValidPhoneText, LastValidSelStart, LastValidSelLength};
    const PhoneFieldState changed = ReadPhoneField(PhoneNumberEdit);
    const PhoneFieldState shown = FilterPhoneFieldChange(lastValid, changed);
    if (shown != changed) {
        PhoneNumberEdit->setText(shown.Text);
        ShowPhoneSelection(PhoneNumberEdit, shown.SelectionStart, shown.SelectionLength);
    }
    LastValidPhoneText = shown.Text;
    LastValidSelStart = shown.SelectionStart;
    LastValidSelLength = shown.SelectionLength;
    UpdateSaveRevertButtons();
    mPhoneChangeSuspended = false;
}

void TMainForm::SetAllInputsState(Qt::CheckState state) {
    // Only the program shows the greyed state; a click on the box goes
    // straight from unchecked to checked, and from greyed to checked.
    AllInputsCheckBox->setTristate(state == Qt::PartiallyChecked);
    AllInputsCheckBox->setCheckState(state);
}

void TMainForm::AllInputsCheckBoxClick() {
    const bool all = AllInputsCheckBox->checkState() != Qt::Unchecked;
    SetAllInputsState(all ? Qt::Checked : Qt::Unchecked);
    for (int k = FirstInputBox; k < static_cast<int>(EditorCheckBoxes.size()); ++k) {
        EditorCheckBoxes[k]->setChecked(all);
    }
    TrackContactEditor();
}

void TMainForm::InputCheckBoxClick() {
    TrackContactEditor();
    const auto first = EditorCheckBoxes.begin() + FirstInputBox;
    const auto checked = std::count_if(first, EditorCheckBoxes.end(),
                                       [](const QCheckBox* box) { return box->isChecked(); });
    if (checked == SettingsLimits::InputCount) {
        SetAllInputsState(Qt::Checked);
    } else {
        SetAllInputsState(checked > 0 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
}

bool TMainForm::ContactEditorModified() const {
    const QTreeWidgetItem* row = PhoneNumbersListView->topLevelItem(CurrentContactRow);
    if (CurrentContactRow < 0 || row == nullptr) {
        return false;
    }
    if (PhoneNumberEdit->text() != row->text(ContactRow::NumberColumn)) {
        return true;
    }
    for (std::size_t k = 0; k < EditorCheckBoxes.size(); ++k) {
        if (EditorCheckBoxes[k]->isChecked() != StoredChecked[k]) {
            return true;
        }
    }
    return false;
}

void TMainForm::RevertButtonClick() {
    const QTreeWidgetItem* row = PhoneNumbersListView->topLevelItem(SelectedContactRow());
    if (row == nullptr) {
        return;
    }
    const ContactEntry entry = ContactRow::Read(row);
    // The row is shown as it stands: a number from a settings file may hold
    // characters that typing could not bring in, and the field must not fall
    // back to the previous row's number because of them.
    mPhoneChangeSuspended = true;
    PhoneNumberEdit->setText(entry.PhoneNumber);
    mPhoneChangeSuspended = false;
    LastValidPhoneText = entry.PhoneNumber;
    RememberPhoneSelection();

    StoredChecked[0] = entry.ReportBySms;
    StoredChecked[1] = entry.ReportByVoice;
    std::copy(entry.ReportsInput.begin(), entry.ReportsInput.end(),
              StoredChecked.begin() + FirstInputBox);
    for (std::size_t k = 0; k < EditorCheckBoxes.size(); ++k) {
        EditorCheckBoxes[k]->setChecked(StoredChecked[k]);
    }
    InputCheckBoxClick();
    SaveButton->setEnabled(false);
    RevertButton->setEnabled(false);
}

bool TMainForm::StoreContactFromEditor(int row) {
    QTreeWidgetItem* item = PhoneNumbersListView->topLevelItem(row);
    if (row < 0 || item == nullptr) {
        return false;
    }
    ContactEntry entry;
    entry.PhoneNumber = PhoneNumberEdit->text();
    entry.ReportBySms = SMSCheckBox->isChecked();
    entry.ReportByVoice = VoiceCheckBox->isChecked();
    for (int n = 0; n < SettingsLimits::InputCount; ++n) {
        entry.ReportsInput[n] = EditorCheckBoxes[FirstInputBox + n]->isChecked();
    }
    if (const std::optional<QString> refusal =
            CheckContactEntry(Settings().ReadContacts(), row, entry)) {
        ShowContactError(*refusal);
        PhoneNumberEdit->setFocus();
        return false;
    }
    ContactRow::Write(item, entry);
    for (std::size_t k = 0; k < EditorCheckBoxes.size(); ++k) {
        StoredChecked[k] = EditorCheckBoxes[k]->isChecked();
    }
    return true;
}

void TMainForm::SaveButtonClick() {
    if (!StoreContactFromEditor(SelectedContactRow())) {
        return;
    }
    SaveButton->setEnabled(false);
    RevertButton->setEnabled(false);
    DeleteButton->setEnabled(true);
    CompactContactList();
    SettingsChange();
    FocusListAfterEditorButton();
}

void TMainForm::FocusListAfterEditorButton() {
    // Disabling the focused editor button makes Qt hand the focus on to the
    // next enabled control, "Get Phone Numbers from ORNEX", where one press of
    // Space would replace the list. The list, at the row just stored or
    // deleted, is where the user goes on.
    PhoneNumbersListView->setFocus(Qt::OtherFocusReason);
}

void TMainForm::DeleteButtonClick() {
    QTreeWidgetItem* row = PhoneNumbersListView->topLevelItem(SelectedContactRow());
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
    PhoneNumberEdit->clear();
    for (std::size_t k = 0; k < EditorCheckBoxes.size(); ++k) {
        EditorCheckBoxes[k]->setChecked(false);
        StoredChecked[k] = false;
    }
    SetAllInputsState(Qt::Unchecked);
    DeleteButton->setEnabled(false);
    SelectContactRow(-1);
    CompactContactList();
    SettingsChange();
    SaveButton->setEnabled(false);
    RevertButton->setEnabled(false);
    FocusListAfterEditorButton();
}

void TMainForm::MoveToTopOfListMenuItemClick() {
    MoveSelectedContact(*this, ContactMove::ToTop);
}

void TMainForm::MoveUpListMenuItemClick() {
    MoveSelectedContact(*this, ContactMove::Up);
}

void TMainForm::MoveDownListMenuItemClick() {
    MoveSelectedContact(*this, ContactMove::Down);
}

void TMainForm::MoveToEndOfListMenuItemClick() {
    MoveSelectedContact(*this, ContactMove::ToEnd);
}

void TMainForm::ClearContactEditor() {
    SelectContactRow(-1);
    CurrentContactRow = -1;
    mPhoneChangeSuspended = true;
    PhoneNumberEdit->clear();
    mPhoneChangeSuspended = false;
    LastValidPhoneText.clear();
    LastValidSelStart = 0;
    LastValidSelLength = 0;
    for (std::size_t k = 0; k < EditorCheckBoxes.size(); ++k) {
        EditorCheckBoxes[k]->setChecked(false);
        StoredChecked[k] = false;
    }
    SetAllInputsState(Qt::Unchecked);
    SetContactEditorEnabled(false);
    SaveButton->setEnabled(false);
    RevertButton->setEnabled(false);
    DeleteButton->setEnabled(false);
}

bool TMainForm::AskToStoreContactBeforeSending() {
    if (!SaveButton->isEnabled()) {
        return true;
    }
    if (ShowMessageDialog(
            tr("Save Changes"),
            tr("Do you want to save the changes to this phone number entry before sending?"),
            tr("No\r\nYes"), QuestionIcon, 2) == 1) {
        return true;
    }
    if (StoreContactFromEditor(CurrentContactRow)) {
        SettingsChange();
        RevertButtonClick();
        // The exchange that follows blocks the window; the stored entry must
        // be on screen before it starts.
        PhoneNumbersListView->viewport()->repaint();
        return true;
    }
    SelectContactRow(CurrentContactRow);
    return false;
}

void TMainForm::WireContacts() {
    connect(PhoneNumbersListView, &QTreeWidget::itemSelectionChanged, this,
            &TMainForm::PhoneNumbersListViewSelectItem);
    new EventHook(PhoneNumbersListView->viewport(), [this](QEvent* event) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            PhoneNumbersListViewMouseUpDown(mouse->button(), type == QEvent::MouseButtonPress,
                                            mouse->globalPosition().toPoint());
        }
    });

    connect(PhoneNumberEdit, &QLineEdit::textChanged, this, &TMainForm::PhoneNumberEditChange);
    OnFieldEnter(PhoneNumberEdit, [this] { PhoneNumberEditEnter(); });
    OnFieldExit(PhoneNumberEdit, [this] { PhoneNumberEditExit(); });
    // Key events are seen before the field acts on them, so the selection
    // remembered is the one a refused character must return to.
    new EventHook(PhoneNumberEdit, [this](QEvent* event) {
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

    for (QCheckBox* box : EditorCheckBoxes) {
        OnFieldEnter(box, [this] { PhoneNumberEditEnter(); });
        OnFieldExit(box, [this] { PhoneNumberEditEnter(); });
    }
    for (QCheckBox* box : {SMSCheckBox, VoiceCheckBox}) {
        connect(box, &QCheckBox::clicked, this, &TMainForm::PhoneNumberEditEnter);
    }
    for (int k = FirstInputBox; k < static_cast<int>(EditorCheckBoxes.size()); ++k) {
        connect(EditorCheckBoxes[k], &QCheckBox::clicked, this, &TMainForm::InputCheckBoxClick);
    }
    connect(AllInputsCheckBox, &QCheckBox::clicked, this, &TMainForm::AllInputsCheckBoxClick);

    connect(SaveButton, &QPushButton::clicked, this, &TMainForm::SaveButtonClick);
    connect(RevertButton, &QPushButton::clicked, this, [this] {
        RevertButtonClick();
        // The entry stays in the editor, to be edited again; the button that
        // had the focus is disabled now.
        PhoneNumberEdit->setFocus(Qt::OtherFocusReason);
    });
    connect(DeleteButton, &QPushButton::clicked, this, &TMainForm::DeleteButtonClick);
    new SharedAcceleratorChooser(PhoneNumberEditPanel, SaveButton, SendAllButton);
    // Save is the default button of the editor: Enter stores the entry, unless
    // the focus is on one of the editor's own buttons, which Enter presses.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, PhoneNumberEditPanel);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            QPushButton* target =
                focused != nullptr && focused->parentWidget() == PhoneNumberEditPanel ? focused
                                                                                      : SaveButton;
            if (target->isEnabled()) {
                target->click();
            }
        });
    }

    connect(MoveToTopOfListMenuItem, &QAction::triggered, this,
            &TMainForm::MoveToTopOfListMenuItemClick);
    connect(MoveUpListMenuItem, &QAction::triggered, this, &TMainForm::MoveUpListMenuItemClick);
    connect(MoveDownListMenuItem, &QAction::triggered, this, &TMainForm::MoveDownListMenuItemClick);
    connect(MoveToEndOfListMenuItem, &QAction::triggered, this,
            &TMainForm::MoveToEndOfListMenuItemClick);
}
