#include "DiallerPtyServer.h"
#include "app/TMainForm.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "platform/ComPort.h"
#include "platform/UpDown.h"
#include "settings/UploadCommands.h"
#include "support/BusyWindowProbe.h"
#include "support/DialogAnswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/DebugPage.h"
#include "app/InputsPage.h"
#include "app/PinPanel.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
#include "support/SettingsBuilders.h"
#include "support/WindowActions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Commands = QList<QByteArray>;

class UploadButtonsTest : public ::testing::Test {
protected:
    UploadButtonsTest() {
        // What the connection supervisor does when it finds the dialler; the
        // supervisor itself stays off, as it would find no dialler here and
        // close the port.
        form.Supervisor()->CheckPortTimer()->stop();
        form.Session()->ComPort()->SetPort(dialler.PortName());
        form.Session()->ComPort()->Open();
        form.Session()->SetVersion({3, 25, 0});
        for (QPushButton* button :
             {form.SendAllButton(), form.SendPageButton(), form.Pins()->SendPINButton()}) {
            button->setEnabled(true);
        }
    }

    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void FillContacts(std::initializer_list<std::pair<int, ContactEntry>> entries) {
        ContactList contacts{};
        for (const auto& [location, entry] : entries) {
            contacts[location - 1] = entry;
        }
        form.Settings().WriteContacts(contacts);
    }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void ShowDebugTab() {
        form.PageControl()->setTabVisible(form.PageControl()->indexOf(form.Debug()), true);
    }

    void SendPage(QWidget* page) {
        form.PageControl()->setCurrentWidget(page);
        Click(form.SendPageButton());
    }

    void Refuse(const QByteArray& prefix) {
        DiallerLineBehaviour behaviour = dialler.Behaviour();
        behaviour.RefusedCommands << prefix;
        dialler.SetBehaviour(behaviour);
    }

    static void ExpectError(const SeenDialog& seen, const QString& title, const QString& text) {
        EXPECT_EQ(seen.title, title);
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.buttons, QStringList({"OK"}));
        EXPECT_EQ(seen.defaultButton, "OK");
        EXPECT_EQ(seen.icon, ErrorIcon);
    }

    DiallerPtyServer dialler;
    TMainForm form;
};

TEST_F(UploadButtonsTest, SendAllSendsEverythingInOrderThenSaves) {
    form.Pins()->AdminPINEdit()->setText("1111");
    form.Pins()->UserPINEdit()->setText("2222");
    FillContacts({{3, Contact("0333", {2, 5})}, {40, Contact("0440", {1}, true, true)}});
    const InputControlSet& six = form.Inputs()->InputControls()[5];
    six.NONCComboBox->setCurrentIndex(0);
    six.SlaveLatchComboBox->setCurrentIndex(0);
    six.RetriesUpDown->SetPosition(0);
    form.Inputs()->InputControls()[1].SMSMessageEdit->setText("Back door");
    const QString caption = form.windowTitle();
    ShowDebugTab();

    DialogAnswerer answerer({});
    Click(form.SendAllButton());

    EXPECT_TRUE(answerer.Seen().empty());
    Commands expected = {"pin,2,1111;", "pin,1,2222;", "del,0,all;", "add,2&5,0333,s;",
                         "add,1,0440,v,s;"};
    const InputSettingsList inputs = form.Settings().ReadInputs();
    for (int n = 1; n <= 8; ++n) {
        expected << ModifyInputCommand(n, inputs[n - 1])
                 << NameCommand(n, inputs[n - 1].SmsMessage);
    }
    expected << "save all;";
    EXPECT_EQ(dialler.ReceivedCommands(), expected);
    EXPECT_TRUE(expected.contains("mod,inp,6,nc,s,0;"));
    EXPECT_TRUE(expected.contains("name,6,\"\";"));
    EXPECT_TRUE(expected.contains("name,2,\"Back door\";"));
    EXPECT_EQ(dialler.FlashSaves(), 1);
    ExpectBusyStateRestored(form);
    // Sending neither sets nor clears the modified mark.
    EXPECT_EQ(form.windowTitle(), caption);
    const QString log = form.Debug()->TxRxRichEdit()->toPlainText();
    EXPECT_TRUE(log.contains(QRegularExpression("Time taken = \\d+ seconds\\s*$")))
        << log.right(200).toStdString();
}

TEST_F(UploadButtonsTest, OlderFirmwareGetsOneAddPerInput) {
    form.Session()->SetVersion({3, 24, 0});
    dialler.SetFirmwareVersion(3, 24, 1);
    FillContacts({{1, Contact("0123456781", {2, 5})}});
    DialogAnswerer answerer({});
    SendPage(form.Contacts());
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"del,0,all;", "add,2,0123456781,s;", "add,5,0123456781,s;", "save all;"}));
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(UploadButtonsTest, AFailingAdminPinEndsSendAll) {
    Refuse("pin,2");
    StateAtMessage state;
    DialogAnswerer answerer({PressOkNoting(form, state)});
    Click(form.SendAllButton());

    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"pin,2,7431;"}));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    ExpectError(answerer.Seen()[0], "Command Error",
                "Error setting Admin PIN.\r\n\r\nPlease try again.");
    EXPECT_TRUE(state.deviceBusy);
    EXPECT_TRUE(state.hourglass);
    EXPECT_EQ(state.activity, "Sending PINs to ORNEX");
    ExpectBusyStateRestored(form);
}

TEST_F(UploadButtonsTest, SendPinsAndItsFlashSave) {
    form.Pins()->UserPINEdit()->setText("123456");
    {
        DialogAnswerer answerer({});
        Click(form.Pins()->SendPINButton());
        EXPECT_TRUE(answerer.Seen().empty());
    }
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"pin,2,7431;", "pin,1,123456;", "save all;"}));
    EXPECT_EQ(dialler.Settings().UserPin, "123456");

    dialler.ClearReceivedCommands();
    Refuse("save all");
    StateAtMessage state;
    DialogAnswerer failing({PressOkNoting(form, state)});
    Click(form.Pins()->SendPINButton());
    ASSERT_EQ(failing.Seen().size(), 1u);
    ExpectError(failing.Seen()[0], "Command Error",
                "Error saving PINs to flash memory.\r\n\r\nPlease try again.");
    EXPECT_EQ(state.activity, "Saving PINs to flash memory");
    ExpectBusyStateRestored(form);
}

TEST_F(UploadButtonsTest, SendInputsPageAndItsFailure) {
    form.Inputs()->InputControls()[2].SMSMessageEdit->setText("Window");
    {
        DialogAnswerer answerer({});
        SendPage(form.Inputs());
        EXPECT_TRUE(answerer.Seen().empty());
    }
    const Commands received = dialler.ReceivedCommands();
    ASSERT_EQ(received.size(), 17);
    EXPECT_EQ(received[0], "mod,inp,1,no,l,3;");
    EXPECT_EQ(received[5], "name,3,\"Window\";");
    EXPECT_EQ(received[16], "save all;");
    EXPECT_EQ(dialler.Settings().Inputs[2].SmsMessage, "Window");

    dialler.ClearReceivedCommands();
    Refuse("mod,inp,2");
    DialogAnswerer failing({"OK"});
    SendPage(form.Inputs());
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"mod,inp,1,no,l,3;", "name,1,\"\";", "mod,inp,2,no,l,3;"}));
    ASSERT_EQ(failing.Seen().size(), 1u);
    ExpectError(failing.Seen()[0], "Command Error",
                "Error sending input settings.\r\n\r\nPlease try again.");
    ExpectBusyStateRestored(form);
}

TEST_F(UploadButtonsTest, NoSendPageOnOtherPages) {
    DialogAnswerer answerer({});
    form.PageControl()->setCurrentWidget(form.Voice());
    form.SendPageButton()->click();
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
    ExpectBusyStateRestored(form);
}

// Values no editor lets through can come from a settings file or a dialler.
// Such a value would end its command early and have the rest carried out as a
// command of its own, so nothing of the button's scope is sent.
TEST_F(UploadButtonsTest, UnsendableValuesStopTheWholeScope) {
    // What one click showed; every message is answered with OK.
    const auto refusal = [](const std::function<void()>& send) {
        DialogAnswerer answerer({"OK"});
        send();
        EXPECT_EQ(answerer.Seen().size(), 1u);
        if (answerer.Seen().empty()) {
            return SeenDialog{};
        }
        return answerer.Seen()[0];
    };

    form.Inputs()->InputControls()[2].SMSMessageEdit->setText("Gate\";del,0,all;\"");
    const SeenDialog quote = refusal([this] { Click(form.SendAllButton()); });
    EXPECT_EQ(quote.title, "Error");
    EXPECT_EQ(quote.icon, ErrorIcon);
    EXPECT_TRUE(
        quote.text.startsWith("The SMS message of input 3 contains a double quote (\") character."))
        << quote.text.toStdString();
    EXPECT_FALSE(quote.text.contains("Please try again"));

    form.Inputs()->InputControls()[2].SMSMessageEdit->setText("Gate;del,0,all");
    const SeenDialog semicolon = refusal([this] { SendPage(form.Inputs()); });
    EXPECT_TRUE(
        semicolon.text.startsWith("The SMS message of input 3 contains a semicolon (;) character."))
        << semicolon.text.toStdString();
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());

    // The PINs do not include the inputs.
    {
        DialogAnswerer none({});
        Click(form.Pins()->SendPINButton());
        EXPECT_TRUE(none.Seen().empty());
    }
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"pin,2,7431;", "pin,1,8297;", "save all;"}));
    dialler.ClearReceivedCommands();

    form.Inputs()->InputControls()[2].SMSMessageEdit->setText("Gate");
    FillContacts({{7, Contact("1;del,0,all", {1})}});
    const SeenDialog number = refusal([this] { SendPage(form.Contacts()); });
    EXPECT_TRUE(number.text.startsWith(
        "The phone number at location 7 contains characters the dialler cannot store."))
        << number.text.toStdString();

    FillContacts({});
    form.Pins()->UserPINEdit()->setText("123");
    const SeenDialog pin = refusal([this] { Click(form.Pins()->SendPINButton()); });
    EXPECT_TRUE(pin.text.startsWith("The User PIN must be 4 to 6 digits."))
        << pin.text.toStdString();

    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
    ExpectBusyStateRestored(form);
}

TEST_F(UploadButtonsTest, AListBreakingTheEditorsRulesIsNotSent) {
    // As a settings file may bring it: a number twice, and an entry with
    // neither SMS nor Voice.
    ContactEntry silent = Contact("07700900222", {2});
    silent.ReportBySms = false;
    silent.ReportByVoice = false;
    FillContacts({{3, Contact("01632960111", {1})}, {5, silent}, {7, Contact("01632960111", {1})}});
    for (const bool all : {false, true}) {
        form.PageControl()->setCurrentWidget(all ? static_cast<QWidget*>(form.Inputs())
                                                 : form.Contacts());
        DialogAnswerer answerer({"OK"});
        Click(all ? form.SendAllButton() : form.SendPageButton());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        ExpectError(answerer.Seen()[0], "Send Error",
                    "The phone numbers break the rules of the list:\r\n\r\n"
                    "Location 5: neither \"SMS\" nor \"Voice\" is checked.\r\n"
                    "Location 7: 01632960111 is also at location 3.\r\n\r\n"
                    "Nothing has been sent to the ORNEX. Correct the list and send again.");
        EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
        EXPECT_EQ(form.PageControl()->currentWidget(), form.Contacts());
        EXPECT_EQ(form.Contacts()->SelectedContactRow(), 4);
        form.Contacts()->SelectContactRow(-1);
    }
    ExpectBusyStateRestored(form);
}

class SendWithPendingEditTest : public UploadButtonsTest {
protected:
    void SetUp() override {
        UploadButtonsTest::SetUp();
        FillContacts({{1, Contact("111", {1})}, {2, Contact("222", {2})}});
        ClickListRow(form.Contacts()->PhoneNumbersListView(), 0);
        ASSERT_EQ(form.Editor()->CurrentContactRow(), 0);
        caption = form.windowTitle();
    }

    void TypeNumber(const QString& text) {
        TypeInto(form.Editor()->PhoneNumberEdit(), text);
        ASSERT_TRUE(form.Editor()->SaveButton()->isEnabled());
    }

    static void ExpectQuestion(const SeenDialog& seen) {
        EXPECT_EQ(seen.title, "Save Changes");
        EXPECT_EQ(seen.text,
                  "Do you want to save the changes to this phone number entry before sending?");
        EXPECT_EQ(seen.buttons, QStringList({"No", "Yes"}));
        EXPECT_EQ(seen.defaultButton, "Yes");
        EXPECT_EQ(seen.icon, QuestionIcon);
    }

    QString caption;
};

TEST_F(SendWithPendingEditTest, NoSendsTheListWithoutTheEdit) {
    TypeNumber("1119");
    DialogAnswerer answerer({"No"});
    SendPage(form.Contacts());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    ExpectQuestion(answerer.Seen()[0]);
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"del,0,all;", "add,1,111,s;", "add,2,222,s;", "save all;"}));
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "1119");
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_EQ(
        form.Contacts()->PhoneNumbersListView()->topLevelItem(0)->text(ContactRow::NumberColumn),
        "111");
}

TEST_F(SendWithPendingEditTest, YesStoresTheEditInPlaceAndSendsIt) {
    TypeNumber("1119");
    DialogAnswerer answerer({"Yes"});
    SendPage(form.Contacts());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"del,0,all;", "add,1,1119,s;", "add,2,222,s;", "save all;"}));
    EXPECT_FALSE(form.Editor()->SaveButton()->isEnabled());
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "1119");
    // Sending is no saving: the stored entry still marks the settings.
    EXPECT_EQ(form.windowTitle(), caption + "*");
}

TEST_F(SendWithPendingEditTest, YesWithARefusedEntrySendsNothing) {
    TypeNumber("222");
    DialogAnswerer answerer({"Yes", "OK"});
    SendPage(form.Contacts());
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].text, "The phone number already exists in location 2!");
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
    EXPECT_EQ(form.Editor()->CurrentContactRow(), 0);
    EXPECT_EQ(form.Editor()->PhoneNumberEdit()->text(), "222");
    ExpectBusyStateRestored(form);
}

TEST_F(SendWithPendingEditTest, SendAllAsksNothingAndSendsTheListAsItStands) {
    TypeNumber("1119");
    DialogAnswerer answerer({});
    Click(form.SendAllButton());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(dialler.ReceivedCommands().contains("add,1,111,s;"));
    EXPECT_TRUE(form.Editor()->SaveButton()->isEnabled());
}

} // namespace
