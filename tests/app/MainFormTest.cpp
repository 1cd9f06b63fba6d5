#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "app/TMainForm.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "platform/UpDown.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QStringList VisibleTabs() const {
        QStringList tabs;
        for (int i = 0; i < form.PageControl()->count(); ++i) {
            if (form.PageControl()->isTabVisible(i)) {
                tabs << form.PageControl()->tabText(i);
            }
        }
        return tabs;
    }

    void ShowPage(QWidget* page) { form.PageControl()->setCurrentWidget(page); }

    QLineEdit* RetriesEdit(int input) const {
        return form.Inputs()->InputControls()[input - 1].RetriesUpDown->Buddy();
    }

    // Types into a field as the user would and then leaves it.
    void TypeAndLeave(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        form.Pins()->AdminPINEdit()->setFocus();
    }

    TMainForm form;
};

TEST_F(MainFormTest, FreshStart) {
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    EXPECT_EQ(VisibleTabs(), QStringList({"Phone Numbers", "Inputs", "Outputs"}));
    EXPECT_EQ(form.PageControl()->currentWidget(), form.Contacts());
    EXPECT_EQ(form.GetPageButton()->text(), "Get Phone Numbers from ORNEX");
    EXPECT_EQ(form.SendPageButton()->text(), "Send Phone Numbers to ORNEX");
    for (QPushButton* b :
         {form.Pins()->GetPINButton(), form.Pins()->SendPINButton(), form.GetPageButton(),
          form.SendPageButton(), form.GetAllButton(), form.SendAllButton()}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
    EXPECT_FALSE(form.Pins()->DisconnectButton()->isVisibleTo(&form));
    EXPECT_FALSE(form.Outputs()->TestReflashButton()->isVisibleTo(form.Outputs()));

    ASSERT_EQ(form.Contacts()->PhoneNumbersListView()->topLevelItemCount(), 99);
    ASSERT_EQ(form.Contacts()->PhoneNumbersListView()->columnCount(), 12);
    EXPECT_EQ(form.Contacts()->PhoneNumbersListView()->headerItem()->text(11), "IN8");
    for (int row = 0; row < 99; ++row) {
        const QTreeWidgetItem* item = form.Contacts()->PhoneNumbersListView()->topLevelItem(row);
        EXPECT_EQ(item->text(0), QString::number(row + 1));
        for (int cell = 1; cell < 12; ++cell) {
            EXPECT_TRUE(item->text(cell).isEmpty());
        }
    }

    const DiallerSettings settings = form.Settings().Read();
    EXPECT_EQ(settings, DiallerSettings{});
    for (int n = 1; n <= 8; ++n) {
        const InputControlSet& controls = form.Inputs()->InputControls()[n - 1];
        EXPECT_EQ(controls.NONCComboBox->currentText(), "Normally Open");
        EXPECT_EQ(controls.SlaveLatchComboBox->currentText(), "Latching");
        EXPECT_EQ(RetriesEdit(n)->text(), "3");
        EXPECT_TRUE(controls.VoiceMessageLabel->isHidden());
        EXPECT_EQ(controls.NONCComboBox->objectName(),
                  QStringLiteral("Input%1NONCComboBox").arg(n));
    }
    EXPECT_EQ(form.Pins()->AdminPINEdit()->text(), "7431");
    EXPECT_EQ(form.Pins()->UserPINEdit()->text(), "8297");
    EXPECT_EQ(form.Editor()->EditorCheckBoxes()[2]->objectName(), "Input1CheckBox");
    EXPECT_EQ(form.Editor()->EditorCheckBoxes()[9]->text(), "Input &8");
    EXPECT_NE(form.findChild<QWidget*>("Out2Status"), nullptr);
    EXPECT_EQ(form.Outputs()->OutputControls()[0].OnButton->text(), "Set Output 1 On");
    EXPECT_EQ(form.Outputs()->OutputControls()[1].OffButton->objectName(), "Output2OffButton");
    EXPECT_TRUE(form.Supervisor()->CheckPortTimer()->isActive());
    EXPECT_FALSE(form.Voice()->RecordTimer()->isActive());
}

TEST_F(MainFormTest, PageButtonsFollowThePage) {
    ShowPage(form.Inputs());
    EXPECT_EQ(form.GetPageButton()->text(), "Get Inputs from ORNEX");
    EXPECT_EQ(form.SendPageButton()->text(), "Send Inputs to ORNEX");

    ShowPage(form.Outputs());
    EXPECT_FALSE(form.GetPageButton()->isVisible());
    EXPECT_FALSE(form.SendPageButton()->isVisible());

    ShowPage(form.Contacts());
    EXPECT_TRUE(form.GetPageButton()->isVisible());
    EXPECT_TRUE(form.SendPageButton()->isVisible());
    EXPECT_EQ(form.GetPageButton()->text(), "Get Phone Numbers from ORNEX");
}

TEST_F(MainFormTest, ModifiedMarkIsAppendedOnce) {
    form.Pins()->AdminPINEdit()->setFocus();
    QTest::keyClicks(form.Pins()->AdminPINEdit(), "1");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_TRUE(form.SettingsModified());
    QTest::keyClicks(form.Pins()->AdminPINEdit(), "2");
    form.Inputs()->InputControls()[2].SMSMessageEdit->setText("Intruder");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormTest, NoMarkWhileLoading) {
    form.SetLoadingSettings(true);
    form.Pins()->UserPINEdit()->setText("1234");
    form.Inputs()->InputControls()[0].SMSMessageEdit->setText("Fire");
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    form.SetLoadingSettings(false);
    form.Pins()->UserPINEdit()->setText("4321");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormTest, ProgramChangesOfSelectorsDoNotMark) {
    InputSettingsList inputs{};
    inputs[2].NormallyOpen = false;
    inputs[2].Latching = false;
    form.Settings().WriteInputs(inputs);
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    EXPECT_FALSE(form.Settings().ReadInputs()[2].NormallyOpen);
    EXPECT_EQ(form.Inputs()->InputControls()[2].NONCComboBox->currentText(), "Normally Closed");

    // The user's selection marks.
    QComboBox* combo = form.Inputs()->InputControls()[4].SlaveLatchComboBox;
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormTest, AttemptsStayQuietUntilInputsPageShown) {
    UpDown* upDown = form.Inputs()->InputControls()[0].RetriesUpDown;
    upDown->StepUp();
    EXPECT_EQ(RetriesEdit(1)->text(), "4");
    EXPECT_EQ(form.windowTitle(), "ORNEX");

    ShowPage(form.Inputs());
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    upDown->StepUp();
    EXPECT_EQ(upDown->Position(), 5);
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormTest, AttemptsFieldRule) {
    ShowPage(form.Inputs());
    QLineEdit* edit = RetriesEdit(2);
    UpDown* upDown = form.Inputs()->InputControls()[1].RetriesUpDown;

    TypeAndLeave(edit, "");
    EXPECT_EQ(edit->text(), "3");

    TypeAndLeave(edit, "7");
    EXPECT_EQ(edit->text(), "7");
    EXPECT_EQ(upDown->Position(), 7);

    TypeAndLeave(edit, "07");
    EXPECT_EQ(edit->text(), "07");
    EXPECT_EQ(form.Settings().ReadInputs()[1].DiallingAttempts, 7);

    TypeAndLeave(edit, "123");
    EXPECT_EQ(edit->text(), "12");

    TypeAndLeave(edit, "4x");
    EXPECT_EQ(edit->text(), "4");

    edit->setFocus();
    edit->setText("-1"); // pasted, not typed
    form.Pins()->AdminPINEdit()->setFocus();
    EXPECT_EQ(edit->text(), "4");
}

TEST_F(MainFormTest, FlagCellsReadOnlyCapitalY) {
    QTreeWidgetItem* row = form.Contacts()->PhoneNumbersListView()->topLevelItem(4);
    row->setText(1, "0123");
    row->setText(2, "Y");
    row->setText(3, "y");
    row->setText(4, "yes");
    row->setText(5, "Y");
    const ContactEntry contact = form.Settings().ReadContacts()[4];
    EXPECT_EQ(contact.PhoneNumber, "0123");
    EXPECT_TRUE(contact.ReportBySms);
    EXPECT_FALSE(contact.ReportByVoice);
    EXPECT_FALSE(contact.ReportsInput[0]);
    EXPECT_TRUE(contact.ReportsInput[1]);
}

TEST_F(MainFormTest, CompactingMovesRowsUpAndSelectionFollows) {
    ContactList contacts{};
    contacts[1] = {"222", true, false, {}};
    contacts[4] = {"555", false, true, {}};
    contacts[98] = {"999", true, true, {}};
    form.Settings().WriteContacts(contacts);
    form.Contacts()->PhoneNumbersListView()->setCurrentItem(
        form.Contacts()->PhoneNumbersListView()->topLevelItem(98));

    form.Contacts()->CompactContactList();

    const ContactList after = form.Settings().ReadContacts();
    EXPECT_EQ(after[0].PhoneNumber, "222");
    EXPECT_EQ(after[1].PhoneNumber, "555");
    EXPECT_TRUE(after[1].ReportByVoice);
    EXPECT_EQ(after[2].PhoneNumber, "999");
    EXPECT_TRUE(after[98].IsFree());
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 2);
    EXPECT_EQ(form.Contacts()->PhoneNumbersListView()->currentItem()->text(0), "3");
    EXPECT_EQ(form.Contacts()->PhoneNumbersListView()->topLevelItemCount(), 99);
    EXPECT_EQ(form.windowTitle(), "ORNEX");
}

TEST_F(MainFormTest, ResizeKeepsConnectionPanelAndStretchesFields) {
    ShowPage(form.Inputs());
    QLineEdit* sms = form.Inputs()->InputControls()[0].SMSMessageEdit;
    const int wideSms = sms->width();
    const int wideBar = form.StatusBar()->width();

    form.resize(form.minimumSize());
    QApplication::processEvents();
    QLabel* connection = form.StatusPanels()[1];
    EXPECT_EQ(connection->width(), 275);
    EXPECT_EQ(connection->geometry().right() + 1, form.StatusBar()->width());
    EXPECT_EQ(form.StatusPanels()[0]->width(), form.StatusBar()->width() - 275);

    form.resize(form.width() + 200, form.height() + 100);
    QApplication::processEvents();
    EXPECT_EQ(form.StatusBar()->width(), wideBar + 200);
    EXPECT_EQ(connection->geometry().right() + 1, form.StatusBar()->width());
    EXPECT_EQ(sms->width(), wideSms + 200);
    EXPECT_EQ(sms->x(), 90);
}

// What a screen reader finds: one status bar, reading both panels.
TEST_F(MainFormTest, AssistiveTechnologyFindsTheStatusBarAndItsPanels) {
    form.ShowActivity(QStringLiteral("Getting all settings from ORNEX"));
    form.StatusPanels()[1]->setText(QStringLiteral("ORNEX not detected"));
    std::vector<QAccessibleInterface*> bars;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (node->role() == QAccessible::StatusBar) {
            bars.push_back(node);
        }
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i));
        }
    };
    walk(QAccessible::queryAccessibleInterface(&form));
    ASSERT_EQ(bars.size(), 1u);
    QStringList read;
    for (int i = 0; i < bars[0]->childCount(); ++i) {
        read << bars[0]->child(i)->text(QAccessible::Name);
    }
    EXPECT_EQ(read, QStringList({"Getting all settings from ORNEX", "ORNEX not detected"}));
}

} // namespace
