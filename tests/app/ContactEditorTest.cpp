#include "app/TMainForm.h"
#include "dialogs/MessageDialog.h"
#include "support/DialogAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "support/SettingsBuilders.h"
#include "support/WindowActions.h"

#include <gtest/gtest.h>

namespace {

class ContactEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void Fill(std::initializer_list<ContactEntry> entries) {
        ContactList contacts{};
        std::copy(entries.begin(), entries.end(), contacts.begin());
        form.Settings().WriteContacts(contacts);
    }

    QTreeWidgetItem* Row(int row) const {
        return form.Contacts()->PhoneNumbersListView()->topLevelItem(row);
    }
    QString Number(int row) const { return Row(row)->text(ContactRow::NumberColumn); }
    QStringList Numbers(int count) const {
        QStringList numbers;
        for (int row = 0; row < count; ++row) {
            numbers << Number(row);
        }
        return numbers;
    }

    void ClickRow(int row, Qt::MouseButton button = Qt::LeftButton) {
        ClickListRow(form.Contacts()->PhoneNumbersListView(), row, button);
    }

    // Replaces the phone field's text by typing, as the user would.
    void TypeNumber(const QString& text) { TypeInto(form.Editor()->PhoneNumberEdit(), text); }

    void ClickBox(QCheckBox* box) {
        // On the box itself, not on the empty space right of its caption.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    QCheckBox* InputBox(int input) const { return form.Editor()->EditorCheckBoxes()[input + 1]; }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void ExpectEditorShows(const ContactEntry& entry) {
        EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), entry.PhoneNumber);
        EXPECT_EQ(form.Editor()->SMSCheckBox()->isChecked(), entry.ReportBySms);
        EXPECT_EQ(form.Editor()->VoiceCheckBox()->isChecked(), entry.ReportByVoice);
        for (int n = 1; n <= 8; ++n) {
            EXPECT_EQ(InputBox(n)->isChecked(), entry.ReportsInput[n - 1]) << "input " << n;
        }
    }

    TMainForm form;
};

TEST_F(ContactEditorTest, StoringIntoAnEmptyLocationMovesItUpAndMarksTheSettings) {
    Fill({Contact("111"), Contact("222")});
    ClickRow(5);
    EXPECT_TRUE(form.Editor()->isEnabled());
    EXPECT_TRUE(form.Editor()->PhoneNumberEdit()->isEnabled());
    EXPECT_FALSE(form.Editor()->DeleteButton()->isEnabled());
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());

    DialogAnswerer answerer({});
    TypeNumber("0123456789");
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_TRUE(form.Editor()->RevertButton()->isEnabled());
    ClickBox(form.Editor()->SMSCheckBox());
    ClickBox(InputBox(1));
    Click(form.Editor()->SaveButton());

    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(Numbers(6), QStringList({"111", "222", "0123456789", "", "", ""}));
    EXPECT_EQ(ContactRow::Read(Row(2)), Contact("0123456789"));
    EXPECT_EQ(Row(2)->text(0), "3");
    EXPECT_EQ(form.Contacts()->SelectedContactRow(), 2);
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 2);
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_FALSE(form.Editor()->RevertButton()->isEnabled());
    EXPECT_TRUE(form.Editor()->DeleteButton()->isEnabled());
    EXPECT_FALSE(form.Editor()->ContactEditorModified());
}

TEST_F(ContactEditorTest, EnterInTheEditorStoresTheEntry) {
    Fill({Contact("111")});
    ClickRow(0);
    ClickBox(form.Editor()->VoiceCheckBox());
    form.Editor()->PhoneNumberEdit()->setFocus();
    QTest::keyClick(form.Editor()->PhoneNumberEdit(), Qt::Key_Return);
    EXPECT_EQ(ContactRow::Read(Row(0)), Contact("111", {1}, true, true));
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(ContactEditorTest, DuplicateNamesTheOtherLocationAndOwnRowIsAllowed) {
    Fill({Contact("111"), Contact("222"), Contact("333")});
    ClickRow(0);
    TypeNumber("333");
    {
        DialogAnswerer answerer({"OK"});
        Click(form.Editor()->SaveButton());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        const SeenDialog& error = answerer.Seen().at(0);
        EXPECT_EQ(error.title, "Error");
        EXPECT_EQ(error.text, "The phone number already exists in location 3!");
        EXPECT_EQ(error.buttons, QStringList({"OK"}));
        EXPECT_EQ(error.icon, ErrorIcon);
    }
    EXPECT_EQ(Numbers(3), QStringList({"111", "222", "333"}));
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "333");
    EXPECT_EQ(form.focusWidget(), form.Editor()->PhoneNumberEdit());
    EXPECT_EQ(form.windowTitle(), "ORNEX");

    DialogAnswerer none({});
    TypeNumber("111");
    ClickBox(form.Editor()->VoiceCheckBox());
    Click(form.Editor()->SaveButton());
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(ContactRow::Read(Row(0)), Contact("111", {1}, true, true));
}

TEST_F(ContactEditorTest, SixteenOtherContactsBlockOnlyACheckedInput) {
    ContactList contacts{};
    for (int row = 0; row < 16; ++row) {
        contacts[row] = Contact(QStringLiteral("10%1").arg(row), {3});
    }
    form.Settings().WriteContacts(contacts);
    ClickRow(16);
    TypeNumber("999");
    ClickBox(form.Editor()->SMSCheckBox());
    ClickBox(InputBox(3));
    {
        DialogAnswerer answerer({"OK"});
        Click(form.Editor()->SaveButton());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen().at(0).text,
                  "There are more than 16 phone numbers assigned to input 3!");
    }
    EXPECT_TRUE(Number(16).isEmpty());

    DialogAnswerer none({});
    ClickBox(InputBox(3));
    ClickBox(InputBox(1));
    Click(form.Editor()->SaveButton());
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(ContactRow::Read(Row(16)), Contact("999", {1}));
}

TEST_F(ContactEditorTest, ForbiddenCharactersAreUndoneWithTheCaretInPlace) {
    ClickRow(0);
    QLineEdit* edit = form.Editor()->PhoneNumberEdit();
    TypeNumber("0123");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    for (char c : {'a', ' ', '+'}) {
        QTest::keyClick(edit, c);
        EXPECT_EQ(edit->text(), "0123") << c;
        EXPECT_EQ(edit->cursorPosition(), 2) << c;
        EXPECT_FALSE(edit->hasSelectedText()) << c;
    }

    // A selection that a forbidden character would replace comes back too.
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit, 'x');
    EXPECT_EQ(edit->text(), "0123");
    EXPECT_EQ(edit->selectedText(), "12");
    EXPECT_EQ(edit->selectionStart(), 1);

    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, '+');
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "*#");
    EXPECT_EQ(edit->text(), "+0123*#");

    QTest::keyClicks(edit, "123456789");
    EXPECT_EQ(edit->text().size(), 16);
    QTest::keyClick(edit, '0');
    EXPECT_EQ(edit->text(), "+0123*#123456789");
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
}

TEST_F(ContactEditorTest, LoadedNumberIsShownAsItStands) {
    // A settings file may carry characters that typing cannot bring in.
    Fill({Contact("555"), Contact("12-34")});
    ClickRow(0);
    ClickRow(1);
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "12-34");
    EXPECT_FALSE(form.Editor()->ContactEditorModified());
}

TEST_F(ContactEditorTest, AllBoxChecksUnchecksAndFollowsTheInputs) {
    ClickRow(0);
    QCheckBox* all = form.Editor()->AllInputsCheckBox();
    ClickBox(all);
    EXPECT_EQ(all->checkState(), Qt::Checked);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(InputBox(n)->isChecked()) << n;
    }
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
    ClickBox(all);
    EXPECT_EQ(all->checkState(), Qt::Unchecked);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(InputBox(n)->isChecked()) << n;
    }
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());

    ClickBox(InputBox(4));
    EXPECT_EQ(all->checkState(), Qt::PartiallyChecked);
    ClickBox(all);
    EXPECT_EQ(all->checkState(), Qt::Checked);
    EXPECT_TRUE(InputBox(1)->isChecked());
    ClickBox(all);
    EXPECT_EQ(all->checkState(), Qt::Unchecked);

    for (int n = 1; n <= 7; ++n) {
        ClickBox(InputBox(n));
        EXPECT_EQ(all->checkState(), Qt::PartiallyChecked) << n;
    }
    ClickBox(InputBox(8));
    EXPECT_EQ(all->checkState(), Qt::Checked);
    ClickBox(InputBox(2));
    EXPECT_EQ(all->checkState(), Qt::PartiallyChecked);
}

TEST_F(ContactEditorTest, LoadingARowSetsTheAllBox) {
    Fill({Contact("111", {1, 2, 3, 4, 5, 6, 7, 8}), Contact("222", {5}), Contact("333", {})});
    ClickRow(0);
    EXPECT_EQ(form.Editor()->AllInputsCheckBox()->checkState(), Qt::Checked);
    ClickRow(1);
    EXPECT_EQ(form.Editor()->AllInputsCheckBox()->checkState(), Qt::PartiallyChecked);
    ClickRow(2);
    EXPECT_EQ(form.Editor()->AllInputsCheckBox()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
}

class SaveChangesTest : public ContactEditorTest {
protected:
    void SetUp() override {
        ContactEditorTest::SetUp();
        Fill({Contact("111", {1}), Contact("222", {2}, false, true)});
        ClickRow(0);
    }

    static void ExpectQuestion(const SeenDialog& seen) {
        EXPECT_EQ(seen.title, "Save Changes");
        EXPECT_EQ(seen.text, "Do you want to save the changes to this phone number entry?");
        EXPECT_EQ(seen.buttons, QStringList({"No", "Yes"}));
        EXPECT_EQ(seen.defaultButton, "Yes");
        EXPECT_EQ(seen.icon, QuestionIcon);
    }
};

TEST_F(SaveChangesTest, NoLoadsTheOtherRow) {
    TypeNumber("1119");
    DialogAnswerer answerer({"No"});
    ClickRow(1);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    ExpectQuestion(answerer.Seen().at(0));
    EXPECT_EQ(Number(0), "111");
    ExpectEditorShows(Contact("222", {2}, false, true));
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 1);
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
}

TEST_F(SaveChangesTest, YesWithABlankNumberKeepsTheFirstRowAndAsksOnce) {
    TypeNumber("");
    DialogAnswerer answerer({"Yes", "OK"});
    ClickRow(1);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    ExpectQuestion(answerer.Seen().at(0));
    EXPECT_EQ(answerer.Seen().at(1).title, "Error");
    EXPECT_EQ(answerer.Seen().at(1).text, "The phone number cannot be blank!");

    EXPECT_EQ(form.Contacts()->SelectedContactRow(), 0);
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 0);
    EXPECT_EQ(Number(0), "111");
    ExpectEditorShows(Contact("", {1}));
    // The kept entry still differs from its row, so it can still be stored.
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.Editor()->PhoneNumberEdit());
}

TEST_F(SaveChangesTest, YesStoresInPlaceWithoutCompactingAndMarksTheSettings) {
    ClickRow(5);
    TypeNumber("555");
    ClickBox(form.Editor()->VoiceCheckBox());
    ClickBox(InputBox(6));
    {
        DialogAnswerer answerer({"Yes"});
        ClickRow(0);
        ASSERT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(ContactRow::Read(Row(5)), Contact("555", {6}, false, true));
    EXPECT_TRUE(Number(2).isEmpty());
    // The stored entry is a change the user is asked to save on closing.
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    DialogAnswerer closing({"&Cancel"});
    EXPECT_FALSE(form.close());
    ASSERT_EQ(closing.Seen().size(), 1u);
    EXPECT_EQ(closing.Seen().at(0).title, "Settings Changed");
    ExpectEditorShows(Contact("111", {1}));
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 0);
}

TEST_F(SaveChangesTest, UnchangedEditorAsksNothing) {
    ClickBox(form.Editor()->SMSCheckBox());
    ClickBox(form.Editor()->SMSCheckBox());
    DialogAnswerer answerer({});
    ClickRow(1);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 1);
}

TEST_F(SaveChangesTest, BeforeSendingNoKeepsTheEditAndYesStoresInPlace) {
    TypeNumber("1119");
    {
        DialogAnswerer answerer({"No"});
        EXPECT_TRUE(form.Editor()->AskToStoreContactBeforeSending());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen().at(0).text,
                  "Do you want to save the changes to this phone number entry before sending?");
    }
    EXPECT_EQ(Number(0), "111");
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "1119");
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());

    TypeNumber("222");
    {
        DialogAnswerer answerer({"Yes", "OK"});
        EXPECT_FALSE(form.Editor()->AskToStoreContactBeforeSending());
        EXPECT_EQ(answerer.Seen().size(), 2u);
    }
    EXPECT_EQ(form.Contacts()->SelectedContactRow(), 0);

    TypeNumber("1119");
    {
        DialogAnswerer answerer({"Yes"});
        EXPECT_TRUE(form.Editor()->AskToStoreContactBeforeSending());
    }
    EXPECT_EQ(Number(0), "1119");
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_EQ(form.windowTitle(), "ORNEX*");

    DialogAnswerer none({});
    EXPECT_TRUE(form.Editor()->AskToStoreContactBeforeSending());
    EXPECT_TRUE(none.Seen().empty());
}

TEST_F(SaveChangesTest, ClearingTheEditorDropsTheEditUnasked) {
    TypeNumber("1119");
    DialogAnswerer answerer({});
    form.Editor()->ClearContactEditor();
    EXPECT_EQ(form.Contacts()->SelectedContactRow(), -1);
    EXPECT_EQ(form.Editor()->CurrentContactRow(), -1);
    EXPECT_FALSE(form.Editor()->isEnabled());
    ExpectEditorShows(ContactEntry{});
    ClickRow(1);
    EXPECT_TRUE(answerer.Seen().empty());
    ExpectEditorShows(Contact("222", {2}, false, true));
}

// Each of these buttons disables itself, and Qt would hand the focus on to
// the next enabled control, "Get Phone Numbers from ORNEX" when connected.
TEST_F(ContactEditorTest, FocusAfterSaveRevertAndDeleteStaysWithTheContacts) {
    const struct {
        QPushButton* button;
        std::vector<DialogAnswer> answers;
        QWidget* focus;
    } cases[] = {
        {form.Editor()->SaveButton(), {}, form.Contacts()->PhoneNumbersListView()},
        {form.Editor()->RevertButton(), {}, form.Editor()->PhoneNumberEdit()},
        {form.Editor()->DeleteButton(), {"Yes"}, form.Contacts()->PhoneNumbersListView()},
    };
    form.GetPageButton()->setEnabled(true);
    for (const auto& c : cases) {
        Fill({Contact("111"), Contact("222")});
        ClickRow(1);
        TypeNumber("2229");
        DialogAnswerer answerer(c.answers);
        Click(c.button);
        // The window's focus: a message shown on the way may have left the
        // window inactive, as it does on a platform without window manager.
        EXPECT_EQ(form.focusWidget(), c.focus) << c.button->objectName().toStdString();
    }
}

TEST_F(ContactEditorTest, DeleteAsksEmptiesAndMovesTheRestUp) {
    Fill({Contact("111"), Contact("222", {2, 3}, true, true), Contact("333")});
    ClickRow(3);
    EXPECT_FALSE(form.Editor()->DeleteButton()->isEnabled());
    ClickRow(1);
    EXPECT_TRUE(form.Editor()->DeleteButton()->isEnabled());
    {
        DialogAnswerer answerer({"No"});
        Click(form.Editor()->DeleteButton());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        const SeenDialog& seen = answerer.Seen().at(0);
        EXPECT_EQ(seen.title, "Delete Phone Number");
        EXPECT_EQ(seen.text,
                  "Are you sure you want to delete this phone number from the contact list?");
        EXPECT_EQ(seen.buttons, QStringList({"&Yes", "&No"}));
        EXPECT_EQ(seen.defaultButton, "&Yes");
        EXPECT_EQ(seen.icon, QuestionIcon);
    }
    EXPECT_EQ(Numbers(3), QStringList({"111", "222", "333"}));
    EXPECT_EQ(form.windowTitle(), "ORNEX");

    DialogAnswerer answerer({"Yes"});
    Click(form.Editor()->DeleteButton());
    EXPECT_EQ(Numbers(3), QStringList({"111", "333", ""}));
    EXPECT_EQ(ContactRow::Read(Row(2)), ContactEntry{});
    EXPECT_EQ(form.Contacts()->SelectedContactRow(), -1);
    EXPECT_EQ(form.Editor()->CurrentContactRow(), -1);
    EXPECT_FALSE(form.Editor()->isEnabled());
    ExpectEditorShows(ContactEntry{});
    EXPECT_FALSE(form.Editor()->DeleteButton()->isEnabled());
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

class PopupMenuTest : public ContactEditorTest {
protected:
    void SetUp() override {
        ContactEditorTest::SetUp();
        Fill({Contact("111"), Contact("222"), Contact("333")});
    }

    std::vector<bool> EnabledItems() const {
        return {form.Contacts()->MoveToTopOfListMenuItem()->isEnabled(),
                form.Contacts()->MoveUpListMenuItem()->isEnabled(),
                form.Contacts()->MoveDownListMenuItem()->isEnabled(),
                form.Contacts()->MoveToEndOfListMenuItem()->isEnabled()};
    }

    void ChooseFromMenu(QAction* item) {
        QMenu* menu = form.Contacts()->PhoneNumbersListPopupMenu();
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    }
};

TEST_F(PopupMenuTest, OpensOncePerRightClickWithItemsForTheLocation) {
    QMenu* menu = form.Contacts()->PhoneNumbersListPopupMenu();
    QSignalSpy opened(menu, &QMenu::aboutToShow);
    ClickRow(0, Qt::RightButton);
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(EnabledItems(), std::vector<bool>({false, false, true, true}));
    menu->hide();

    ClickRow(1, Qt::RightButton);
    EXPECT_EQ(EnabledItems(), std::vector<bool>({true, true, true, true}));
    menu->hide();

    ClickRow(2, Qt::RightButton);
    EXPECT_EQ(opened.count(), 3);
    EXPECT_EQ(EnabledItems(), std::vector<bool>({true, true, false, false}));
    menu->hide();

    ClickRow(3, Qt::RightButton);
    EXPECT_EQ(opened.count(), 3);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(PopupMenuTest, MovesReloadTheEntryAndMarkTheSettings) {
    DialogAnswerer answerer({});
    ClickRow(2, Qt::RightButton);
    ChooseFromMenu(form.Contacts()->MoveToTopOfListMenuItem());
    EXPECT_EQ(Numbers(4), QStringList({"333", "111", "222", ""}));
    EXPECT_EQ(form.Contacts()->SelectedContactRow(), 0);
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 0);
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "333");
    // The order is the order in which the dialler calls: a change to save.
    EXPECT_EQ(form.windowTitle(), "ORNEX*");

    // An edit that was not stored is dropped by the move, without a question.
    TypeNumber("3339");
    ClickRow(0, Qt::RightButton);
    ChooseFromMenu(form.Contacts()->MoveDownListMenuItem());
    EXPECT_EQ(Numbers(3), QStringList({"111", "333", "222"}));
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "333");
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());

    ClickRow(1, Qt::RightButton);
    ChooseFromMenu(form.Contacts()->MoveToEndOfListMenuItem());
    EXPECT_EQ(Numbers(4), QStringList({"111", "222", "333", ""}));
    ClickRow(2, Qt::RightButton);
    ChooseFromMenu(form.Contacts()->MoveUpListMenuItem());
    EXPECT_EQ(Numbers(3), QStringList({"111", "333", "222"}));
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 1);
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_TRUE(answerer.Seen().empty());
}

} // namespace
