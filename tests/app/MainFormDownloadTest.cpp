#include "DiallerPtyServer.h"
#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/DebugPage.h"
#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "app/SettingsTransfer.h"
#include "app/TMainForm.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "platform/ComPort.h"
#include "settings/SettingsFile.h"
#include "support/DialogAnswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString CommunicationErrorText =
    QStringLiteral("Unable to retrieve settings from ORNEX.\r\n\r\nPlease try again.");

// What the dialler holds: everything differs from the window's defaults, and
// the contacts stand at locations 3 and 6 with a gap before each.
DiallerSettings DiallerHolds() {
    DiallerSettings s;
    s.Contacts[2] = {"0123456781", true, false, {true, false, true}};
    s.Contacts[5] = {
        "+44123*#", false, true, {false, false, false, false, false, false, false, true}};
    InputSettings& three = s.Inputs[2];
    three.NormallyOpen = false;
    three.Latching = false;
    three.DiallingAttempts = 5;
    three.SmsMessage = "Back door";
    three.VoiceMessageMissing = true;
    s.Inputs[0].SmsMessage = "Front door";
    s.Inputs[7].DiallingAttempts = 12;
    s.AdminPin = "135790";
    s.UserPin = "2468";
    return s;
}

// The same settings as the window shows them after a download.
DiallerSettings Shown(DiallerSettings s) {
    CompactContacts(s.Contacts, -1);
    return s;
}

// Settings the window holds before a download, unlike the dialler's.
DiallerSettings WindowHolds() {
    DiallerSettings s;
    s.Contacts[9] = {"999", true, true, {true}};
    s.Inputs[1].SmsMessage = "Garage";
    s.Inputs[1].NormallyOpen = false;
    s.Inputs[4].DiallingAttempts = 8;
    s.AdminPin = "1111";
    s.UserPin = "2222";
    return s;
}

class MainFormDownload : public ::testing::Test {
protected:
    MainFormDownload() {
        // The supervisor would find no dialler here and close the port the
        // test opens by hand.
        form.Supervisor()->CheckPortTimer()->stop();
        form.Session()->ComPort()->SetPort(dialler.PortName());
        form.Session()->ComPort()->Open();
        for (QPushButton* b :
             {form.GetAllButton(), form.GetPageButton(), form.Pins()->GetPINButton()}) {
            b->setEnabled(true);
        }
        dialler.SetSettings(DiallerHolds());
    }

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Puts settings into the window without marking them modified.
    void Hold(const DiallerSettings& settings) {
        form.SetLoadingSettings(true);
        form.Settings().Write(settings);
        form.SetLoadingSettings(false);
    }

    void ShowPage(QWidget* page) { form.PageControl()->setCurrentWidget(page); }

    void ShowDebugTab() {
        form.PageControl()->setTabVisible(form.PageControl()->indexOf(form.Debug()), true);
    }

    DiallerSettings Read() const { return form.Settings().Read(); }

    DiallerPtyServer dialler;
    TMainForm form;
};

void ExpectCommunicationError(const SeenDialog& seen) {
    EXPECT_EQ(seen.title, "Communication Error");
    EXPECT_EQ(seen.text, CommunicationErrorText);
    EXPECT_EQ(seen.buttons, QStringList({"OK"}));
    EXPECT_EQ(seen.icon, ErrorIcon);
}

} // namespace

TEST_F(MainFormDownload, GetAllPutsTheDiallersSettingsIntoTheWindow) {
    Hold(WindowHolds());
    // An entry half edited in the contact editor.
    form.Contacts()->PhoneNumbersListView()->setCurrentItem(
        form.Contacts()->PhoneNumbersListView()->topLevelItem(9));
    form.Editor()->SetCurrentContactRow(9);
    form.Editor()->PhoneNumberEdit()->setText("555");
    form.Editor()->EditorCheckBoxes()[3]->setChecked(true);

    DialogAnswerer answerer({});
    form.GetAllButton()->click();

    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"dnld all;"}));
    EXPECT_EQ(Read(), Shown(DiallerHolds()));
    EXPECT_FALSE(form.Inputs()->InputControls()[2].VoiceMessageLabel->isHidden());
    EXPECT_TRUE(form.Inputs()->InputControls()[1].VoiceMessageLabel->isHidden());
    for (int row = 0; row < 99; ++row) {
        EXPECT_EQ(form.Contacts()->PhoneNumbersListView()->topLevelItem(row)->text(0),
                  QString::number(row + 1));
    }
    // The editor and the selection are cleared.
    EXPECT_TRUE(form.Editor()->PhoneNumberEdit()->text().isEmpty());
    for (QCheckBox* box : form.Editor()->EditorCheckBoxes()) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_EQ(form.Editor()->CurrentContactRow(), -1);
    EXPECT_TRUE(form.Contacts()->PhoneNumbersListView()->selectedItems().isEmpty());
    // The window is free again.
    EXPECT_TRUE(form.StatusPanels()[0]->text().isEmpty());
    EXPECT_FALSE(form.Session()->DeviceBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFormDownload, EachButtonShowsWhatItIsDoing) {
    QStringList painted;
    struct PaintSpy : QObject {
        explicit PaintSpy(QStringList& texts) : texts(texts) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                texts << static_cast<QLabel*>(watched)->text();
            }
            return false;
        }
        QStringList& texts;
    } spy(painted);
    form.StatusPanels()[0]->installEventFilter(&spy);

    form.GetAllButton()->click();
    form.GetPageButton()->click();
    ShowPage(form.Inputs());
    form.GetPageButton()->click();
    form.Pins()->GetPINButton()->click();
    form.StatusPanels()[0]->removeEventFilter(&spy);

    painted.removeDuplicates();
    EXPECT_EQ(
        painted,
        QStringList({"Getting all settings from ORNEX", "", "Getting phone numbers from ORNEX",
                     "Getting input settings from ORNEX", "Getting PINs from ORNEX"}));
    EXPECT_EQ(dialler.ReceivedCommands().size(), 4);
}

TEST_F(MainFormDownload, GetPinsChangesOnlyThePins) {
    Hold(WindowHolds());
    form.Pins()->GetPINButton()->click();
    DiallerSettings expected = WindowHolds();
    expected.AdminPin = "135790";
    expected.UserPin = "2468";
    EXPECT_EQ(Read(), expected);
}

TEST_F(MainFormDownload, GetForAPageChangesOnlyThatPage) {
    Hold(WindowHolds());
    ShowPage(form.Inputs());
    EXPECT_EQ(form.GetPageButton()->text(), "Get Inputs from ORNEX");
    form.GetPageButton()->click();
    DiallerSettings expected = WindowHolds();
    expected.Inputs = DiallerHolds().Inputs;
    EXPECT_EQ(Read(), expected);

    Hold(WindowHolds());
    ShowPage(form.Contacts());
    form.GetPageButton()->click();
    expected = WindowHolds();
    expected.Contacts = Shown(DiallerHolds()).Contacts;
    EXPECT_EQ(Read(), expected);

    // The Outputs page has no settings to get.
    dialler.ClearReceivedCommands();
    ShowPage(form.Outputs());
    form.Transfer()->GetPageButtonClick();
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}

// Right after start the attempts edits are quiet until the Inputs page has
// been shown; PINs and messages mark at once; contacts and the two choices
// of an input never do.
TEST_F(MainFormDownload, AfterStartChangedAttemptsDoNotMarkTheSettings) {
    DiallerSettings dialler1;
    dialler1.Contacts[0] = {"0123456781", true, false, {true}};
    for (InputSettings& input : dialler1.Inputs) {
        input.NormallyOpen = false;
        input.Latching = false;
        input.DiallingAttempts = 7;
        input.VoiceMessageMissing = true;
    }
    dialler.SetSettings(dialler1);
    form.GetAllButton()->click();
    EXPECT_EQ(Read(), dialler1);
    EXPECT_EQ(form.windowTitle(), "ORNEX");

    DiallerSettings dialler2 = dialler1;
    dialler2.UserPin = "1357";
    dialler.SetSettings(dialler2);
    form.GetAllButton()->click();
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormDownload, AfterStartAChangedMessageMarksTheSettings) {
    DiallerSettings changed;
    changed.Inputs[5].SmsMessage = "Shed";
    dialler.SetSettings(changed);
    form.GetAllButton()->click();
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormDownload, OnceTheInputsPageWasShownChangedAttemptsMark) {
    ShowPage(form.Inputs());
    ShowPage(form.Contacts());
    DiallerSettings changed;
    changed.Inputs[3].DiallingAttempts = 4;
    dialler.SetSettings(changed);
    form.GetAllButton()->click();
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(MainFormDownload, ModifiedSettingsAreOfferedForSavingFirst) {
    Hold(WindowHolds());
    form.SettingsChange();
    {
        DialogAnswerer answerer({"&Cancel"});
        form.GetAllButton()->click();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        const SeenDialog& seen = answerer.Seen().at(0);
        EXPECT_EQ(seen.title, "Settings Changed");
        EXPECT_EQ(seen.text, "Do you want to save the current settings first?");
        EXPECT_EQ(seen.buttons, QStringList({"&Yes", "&No", "&Cancel"}));
        EXPECT_EQ(seen.defaultButton, "&Yes");
        EXPECT_EQ(seen.icon, QuestionIcon);
    }
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
    EXPECT_EQ(Read(), WindowHolds());

    {
        Hold(WindowHolds());
        DialogAnswerer answerer({"&No"});
        form.GetAllButton()->click();
        EXPECT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(Read(), Shown(DiallerHolds()));
        // A download never takes the mark away.
        EXPECT_EQ(form.windowTitle(), "ORNEX*");
    }

    // Yes saves the settings the window held before they are replaced; with
    // no file yet that goes through Save As.
    QTemporaryDir folder;
    const QString path = folder.filePath("site.ornex");
    Hold(WindowHolds());
    DialogAnswerer answerer({"&Yes", DialogAnswer::ChooseFile(path)});
    form.GetAllButton()->click();
    EXPECT_EQ(answerer.Seen().size(), 2u);
    DiallerSettings saved;
    ASSERT_TRUE(ReadSettingsFile(path, saved).Ok());
    EXPECT_EQ(saved.AdminPin, WindowHolds().AdminPin);
    EXPECT_EQ(Read(), Shown(DiallerHolds()));
    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex*");
    EXPECT_EQ(dialler.ReceivedCommands().size(), 2);
}

TEST_F(MainFormDownload, AFailureChangesNothingAndSaysSo) {
    Hold(WindowHolds());
    DiallerLineBehaviour behaviour;
    behaviour.WrongEchoAt = 0;
    dialler.SetBehaviour(behaviour);
    ShowPage(form.Inputs());
    for (QPushButton* button :
         {form.GetAllButton(), form.GetPageButton(), form.Pins()->GetPINButton()}) {
        for (const bool busyBefore : {false, true}) {
            form.Session()->SetDeviceBusy(busyBefore);
            DialogAnswerer answerer({"OK"});
            button->click();
            ASSERT_EQ(answerer.Seen().size(), 1u) << button->objectName().toStdString();
            ExpectCommunicationError(answerer.Seen().at(0));
            EXPECT_EQ(form.Session()->DeviceBusy(), busyBefore);
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
            EXPECT_TRUE(form.StatusPanels()[0]->text().isEmpty());
        }
    }
    EXPECT_EQ(Read(), WindowHolds());
    EXPECT_EQ(form.windowTitle(), "ORNEX");
}

TEST_F(MainFormDownload, ValuesTheSettingsCannotHoldAreLeftOutOrFittedAndReported) {
    DiallerSettings odd;
    odd.Contacts[0] = {"12345678901234567890", true, false, {true}};
    odd.Contacts[1] = {"0123456781", true, false, {true}};
    odd.Contacts[2] = {"01234-56782", true, false, {true}};
    odd.Inputs[0].DiallingAttempts = 150;
    odd.Inputs[3].SmsMessage = "  Back door ";
    odd.Inputs[4].SmsMessage = QString(95, 'm');
    odd.AdminPin = "1234567";
    odd.UserPin = "12a4";
    dialler.SetSettings(odd);

    DialogAnswerer answerer({"OK"});
    form.GetAllButton()->click();

    DiallerSettings expected;
    expected.Contacts[0] = odd.Contacts[1];
    expected.Inputs[0].DiallingAttempts = 99;
    expected.Inputs[3].SmsMessage = "Back door";
    expected.Inputs[4].SmsMessage = QString(90, 'm');
    EXPECT_EQ(Read(), expected);

    ASSERT_EQ(answerer.Seen().size(), 1u);
    const SeenDialog& seen = answerer.Seen().at(0);
    EXPECT_EQ(seen.title, "Warning");
    EXPECT_EQ(seen.icon, WarningIcon);
    EXPECT_EQ(seen.buttons, QStringList({"OK"}));
    for (const char* named : {"12345678901234567890", "01234-56782", "input 1", "input 4",
                              "input 5", "Admin PIN", "User PIN"}) {
        EXPECT_TRUE(seen.text.contains(named)) << named;
    }
}

TEST_F(MainFormDownload, LinesEndingInLineFeedsApplyNothingButEmptyTheList) {
    Hold(WindowHolds());
    DiallerLineBehaviour behaviour;
    behaviour.CrLfLineEnds = true;
    dialler.SetBehaviour(behaviour);
    DialogAnswerer answerer({});
    form.GetAllButton()->click();
    EXPECT_TRUE(answerer.Seen().empty());
    DiallerSettings expected = WindowHolds();
    expected.Contacts = ContactList{};
    EXPECT_EQ(Read(), expected);
}

TEST_F(MainFormDownload, GetAllLogsItsTimeWhileTheDebugTabIsShown) {
    const QRegularExpression timeLine(QStringLiteral("^LEN:\\d{4}Time taken = \\d+ seconds$"),
                                      QRegularExpression::MultilineOption);
    // The window's settings as the dialler's, so that no Get All asks first.
    dialler.SetSettings(DiallerSettings{});
    DialogAnswerer answerer({});
    form.GetAllButton()->click();
    EXPECT_TRUE(form.Debug()->TxRxRichEdit()->document()->isEmpty());

    ShowDebugTab();
    form.GetAllButton()->click();
    const QString log = form.Debug()->TxRxRichEdit()->toPlainText();
    EXPECT_TRUE(log.startsWith("dnld all;\ndnld all;VER:")) << log.toStdString();
    EXPECT_TRUE(timeLine.match(log).hasMatch()) << log.toStdString();

    // Only Get All times itself.
    form.Debug()->ClearDebugButtonClick();
    form.GetPageButton()->click();
    form.Pins()->GetPINButton()->click();
    EXPECT_FALSE(form.Debug()->TxRxRichEdit()->toPlainText().contains("Time taken"));

    form.Debug()->ClearDebugButtonClick();
    form.Session()->Transport()->SetFirmwareUpgradeActive(true);
    form.GetAllButton()->click();
    form.Session()->Transport()->SetFirmwareUpgradeActive(false);
    EXPECT_FALSE(form.Debug()->TxRxRichEdit()->toPlainText().contains("Time taken"));
    EXPECT_TRUE(answerer.Seen().empty());
}
