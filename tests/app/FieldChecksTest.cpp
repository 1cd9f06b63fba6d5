#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/InputsPage.h"
#include "app/PinPanel.h"
#include "app/TMainForm.h"
#include "device/DeviceSession.h"
#include "dialogs/MessageDialog.h"
#include "platform/FieldEvents.h"
#include "settings/SettingsFile.h"
#include "support/DialogAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

class FieldChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        quitOnLastWindowClosed = QApplication::quitOnLastWindowClosed();
        QApplication::setQuitOnLastWindowClosed(false);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void TearDown() override { QApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed); }

    // Puts the cursor into `field` and types over its text as the user would.
    void TypeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        ASSERT_TRUE(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    // Leaves `field` with the Tab key and lets the window react.
    void TabOutOf(QLineEdit* field) {
        QTest::keyClick(field, Qt::Key_Tab);
        Settle();
    }

    // Lets the window finish its reaction, messages included, and makes it
    // the active window again, as the desktop does once a message has gone
    // (the offscreen platform leaves that to the test).
    void Settle() {
        EXPECT_TRUE(QTest::qWaitFor([] { return !FocusReturnPending(); }));
        QApplication::processEvents();
        if (!form.isActiveWindow()) {
            form.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        }
    }

    QWidget* Focused() const { return QApplication::focusWidget(); }

    // Gives the settings the modified mark without a field check.
    void Mark() {
        form.Inputs()->InputControls()[0].SMSMessageEdit->setText("Fire");
        ASSERT_TRUE(form.SettingsModified());
    }

    bool quitOnLastWindowClosed = true;
    TMainForm form;
};

TEST_F(FieldChecksTest, AdminPinNeedsFourDigitsBeforeItCanBeLeft) {
    DialogAnswerer noDialogs({});
    TypeInto(form.Pins()->AdminPINEdit(), "123");
    TabOutOf(form.Pins()->AdminPINEdit());
    EXPECT_EQ(Focused(), form.Pins()->AdminPINEdit());
    EXPECT_EQ(form.Pins()->AdminPINEdit()->text(), "123");

    QTest::keyClicks(form.Pins()->AdminPINEdit(), "4");
    TabOutOf(form.Pins()->AdminPINEdit());
    EXPECT_NE(Focused(), form.Pins()->AdminPINEdit());

    TypeInto(form.Pins()->AdminPINEdit(), "12a3b45678");
    EXPECT_EQ(form.Pins()->AdminPINEdit()->text(), "123456");
    TabOutOf(form.Pins()->AdminPINEdit());
    EXPECT_NE(Focused(), form.Pins()->AdminPINEdit());
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(FieldChecksTest, EmptyOrPastedNonDigitPinsCannotBeLeft) {
    DialogAnswerer noDialogs({});
    TypeInto(form.Pins()->UserPINEdit(), "");
    TabOutOf(form.Pins()->UserPINEdit());
    EXPECT_EQ(Focused(), form.Pins()->UserPINEdit());

    // Pasted text is not filtered by the keyboard rule.
    for (const char* pasted : {"12a4", "-123", "+1234", " 1234", "-1"}) {
        form.Pins()->UserPINEdit()->setText(QString::fromLatin1(pasted));
        TabOutOf(form.Pins()->UserPINEdit());
        EXPECT_EQ(Focused(), form.Pins()->UserPINEdit()) << pasted;
    }
    form.Pins()->UserPINEdit()->setText("000000");
    TabOutOf(form.Pins()->UserPINEdit());
    EXPECT_NE(Focused(), form.Pins()->UserPINEdit());
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(FieldChecksTest, EqualPinsKeepTheFocusInTheFieldThatWasLeft) {
    {
        DialogAnswerer answerer({"OK"});
        TypeInto(form.Pins()->UserPINEdit(), "7431");
        TabOutOf(form.Pins()->UserPINEdit());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "PIN Error");
        EXPECT_EQ(answerer.Seen()[0].text, "The User and Admin PINs are the same.");
        EXPECT_EQ(answerer.Seen()[0].buttons, QStringList{"OK"});
        EXPECT_EQ(answerer.Seen()[0].icon, ErrorIcon);
        EXPECT_EQ(Focused(), form.Pins()->UserPINEdit());
        EXPECT_EQ(form.Pins()->UserPINEdit()->text(), "7431");
    }
    {
        // Leaving the Admin PIN for the User PIN: one message, the Admin
        // PIN's, and the User PIN does not complain about being left again.
        DialogAnswerer answerer({"OK"});
        form.Pins()->AdminPINEdit()->setFocus();
        Settle();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, "The User and Admin PINs are the same.");
    }
    {
        DialogAnswerer answerer({"OK"});
        ASSERT_EQ(Focused(), form.Pins()->UserPINEdit());
        form.Pins()->AdminPINEdit()->setFocus();
        Settle();
        ASSERT_EQ(Focused(), form.Pins()->UserPINEdit());
        ASSERT_EQ(answerer.Seen().size(), 1u);
    }
    {
        // Changing one of them ends it.
        DialogAnswerer noDialogs({});
        QTest::keyClick(form.Pins()->UserPINEdit(), Qt::Key_Backspace);
        QTest::keyClicks(form.Pins()->UserPINEdit(), "2");
        TabOutOf(form.Pins()->UserPINEdit());
        EXPECT_NE(Focused(), form.Pins()->UserPINEdit());
        EXPECT_TRUE(noDialogs.Seen().empty());
    }
    {
        DialogAnswerer answerer({"OK"});
        TypeInto(form.Pins()->AdminPINEdit(), "7432");
        form.Editor()->SMSCheckBox()->setFocus();
        form.Pins()->UserPINEdit()->setFocus(); // from nowhere near: only the Admin PIN was left
        Settle();
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, "The Admin and User PINs are the same.");
        EXPECT_EQ(Focused(), form.Pins()->AdminPINEdit());
    }
}

TEST_F(FieldChecksTest, FocusGoingBackIsNoExitOfTheFieldThatHadItBriefly) {
    DialogAnswerer noDialogs({});
    form.Pins()->UserPINEdit()->setText("34");
    TypeInto(form.Pins()->AdminPINEdit(), "12");
    form.Pins()->UserPINEdit()->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_EQ(Focused(), form.Pins()->AdminPINEdit());
    EXPECT_FALSE(FocusReturnPending());
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(FieldChecksTest, ClickThatLeavesABadFieldDoesNotRun) {
    auto* probe = new QPushButton(QStringLiteral("Probe"), form.Pins());
    probe->setGeometry(400, 8, 60, 25);
    probe->show();
    QSignalSpy clicks(probe, &QPushButton::clicked);

    DialogAnswerer noDialogs({});
    TypeInto(form.Pins()->AdminPINEdit(), "12");
    QTest::mouseClick(probe, Qt::LeftButton);
    Settle();
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Focused(), form.Pins()->AdminPINEdit());

    // A user's click: the release comes after the window has had its say.
    QTest::mousePress(probe, Qt::LeftButton);
    Settle();
    QTest::mouseRelease(probe, Qt::LeftButton);
    Settle();
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(Focused(), form.Pins()->AdminPINEdit());

    QTest::keyClicks(form.Pins()->AdminPINEdit(), "34");
    QTest::mouseClick(probe, Qt::LeftButton);
    Settle();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(Focused(), probe);
}

TEST_F(FieldChecksTest, LeavingForAnotherWindowOrTheMenuIsNoExit) {
    DialogAnswerer noDialogs({});
    TypeInto(form.Pins()->AdminPINEdit(), "12");
    QFocusEvent toOtherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form.Pins()->AdminPINEdit(), &toOtherWindow);
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(form.Pins()->AdminPINEdit(), &toMenu);
    Settle();
    EXPECT_FALSE(FocusReturnPending());
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(FieldChecksTest, SmsMessageLosesSurroundingBlanksAndGetsTheMark) {
    form.PageControl()->setCurrentWidget(form.Inputs());
    QLineEdit* sms = form.Inputs()->InputControls()[2].SMSMessageEdit;
    form.SetLoadingSettings(true);
    sms->setText(" \tFront door open  ");
    form.SetLoadingSettings(false);
    ASSERT_EQ(form.windowTitle(), "ORNEX");

    sms->setFocus();
    TabOutOf(sms);
    EXPECT_EQ(sms->text(), "Front door open");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_NE(Focused(), sms);

    // Nothing to trim: no change, no mark. An empty message is allowed.
    form.setWindowTitle("ORNEX");
    for (const char* text : {"Front door open", ""}) {
        form.SetLoadingSettings(true);
        sms->setText(QString::fromLatin1(text));
        form.SetLoadingSettings(false);
        sms->setFocus();
        TabOutOf(sms);
        EXPECT_EQ(form.windowTitle(), "ORNEX") << text;
        EXPECT_NE(Focused(), sms);
    }
}

TEST_F(FieldChecksTest, DoubleQuoteInAnSmsMessageIsShownAndKept) {
    form.PageControl()->setCurrentWidget(form.Inputs());
    QLineEdit* sms = form.Inputs()->InputControls()[5].SMSMessageEdit;
    DialogAnswerer answerer({"OK"});
    TypeInto(sms, "Say \"help\" ");
    TabOutOf(sms);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].title, "Message Error");
    EXPECT_EQ(answerer.Seen()[0].text,
              "The SMS message cannot contain a double quote (\") character.");
    EXPECT_EQ(answerer.Seen()[0].icon, ErrorIcon);
    EXPECT_EQ(sms->text(), "Say \"help\"");
    EXPECT_EQ(Focused(), sms);
}

TEST_F(FieldChecksTest, SmsMessageWithAQuoteBringsItsPageBack) {
    form.PageControl()->setCurrentWidget(form.Inputs());
    QLineEdit* sms = form.Inputs()->InputControls()[0].SMSMessageEdit;
    DialogAnswerer answerer({"OK"});
    TypeInto(sms, "\"");
    form.PageControl()->setCurrentWidget(form.Contacts());
    Settle();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(form.PageControl()->currentWidget(), form.Inputs());
    EXPECT_EQ(Focused(), sms);
}

TEST_F(FieldChecksTest, CloseWithoutTheMarkClosesAtOnce) {
    DialogAnswerer noDialogs({});
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(FieldChecksTest, CloseWithTheMarkAsks) {
    Mark();
    {
        DialogAnswerer answerer({"&Cancel"});
        EXPECT_FALSE(form.close());
        EXPECT_TRUE(form.isVisible());
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "Settings Changed");
        EXPECT_EQ(answerer.Seen()[0].text,
                  "Do you want to save the current settings before closing?");
        EXPECT_EQ(answerer.Seen()[0].buttons, QStringList({"&Yes", "&No", "&Cancel"}));
        EXPECT_EQ(answerer.Seen()[0].icon, QuestionIcon);
    }
    {
        // File > Exit goes the same way.
        DialogAnswerer answerer({"&Cancel"});
        form.ExitFileMenuItem()->trigger();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
}

TEST_F(FieldChecksTest, CloseAnsweredNoWritesNothing) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("site.ornex");
    {
        DialogAnswerer answerer({DialogAnswer::ChooseFile(path)});
        form.SaveAsFileMenuItem()->trigger();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    Mark();

    DialogAnswerer answerer({"&No"});
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
}

TEST_F(FieldChecksTest, CloseAnsweredYesClosesOnlyOnceSaved) {
    Mark();
    const DialogAnswer cancelFileDialog =
        DialogAnswer::Act([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    {
        // No file yet: Save As; cancelled, it keeps the window and the mark.
        DialogAnswerer answerer({"&Yes", cancelFileDialog});
        EXPECT_FALSE(form.close());
        ASSERT_EQ(answerer.Seen().size(), 2u);
        EXPECT_EQ(answerer.Seen()[1].className, "QFileDialog");
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.SettingsModified());
    }
    {
        // File > Exit goes the same way.
        DialogAnswerer answerer({"&Yes", cancelFileDialog});
        form.ExitFileMenuItem()->trigger();
        EXPECT_EQ(answerer.Seen().size(), 2u);
        EXPECT_TRUE(form.isVisible());
    }
    QTemporaryDir dir;
    {
        // A save that fails (a name inside a plain file) keeps it open too.
        const QString plain = QDir(dir.path()).filePath("plain");
        QFile file(plain);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        DialogAnswerer answerer(
            {"&Yes", DialogAnswer::ChooseFile(QDir(plain).filePath("site")), "OK"});
        EXPECT_FALSE(form.close());
        ASSERT_EQ(answerer.Seen().size(), 3u);
        EXPECT_EQ(answerer.Seen()[2].title, "Error");
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.SettingsModified());
    }

    const QString path = QDir(dir.path()).filePath("site.ornex");
    DialogAnswerer answerer({"&Yes", DialogAnswer::ChooseFile(path)});
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), EncodeSettingsFile(form.Settings().Read()));
}

TEST_F(FieldChecksTest, CloseDuringADeviceExchangeIsIgnored) {
    Mark();
    form.Session()->SetDeviceBusy(true);
    DialogAnswerer noDialogs({});
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.ExitFileMenuItem()->trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(noDialogs.Seen().empty());
    form.Session()->SetDeviceBusy(false);
}

TEST_F(FieldChecksTest, SmsMessageTakesOnlyWhatTheDiallerCanStore) {
    form.PageControl()->setCurrentWidget(form.Inputs());
    QLineEdit* field = form.Inputs()->InputControls()[1].SMSMessageEdit;
    field->setFocus();
    for (const QChar c : QString::fromUtf8("Caf\u00e9 \u20ac5")) {
        // Keys as a keyboard layout delivers them: the character as text.
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_A, QString(c), Qt::NoModifier);
    }
    EXPECT_EQ(field->text(), QString::fromUtf8("Caf\u00e9 5"));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8("\u20ac")));

    // A paste keeps what can be stored, in place of the caret.
    field->setCursorPosition(4);
    QApplication::clipboard()->setText(QString::fromUtf8("\u201cdoor\u201d\tx"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), QString::fromUtf8("Caf\u00e9doorx 5"));
    EXPECT_EQ(field->cursorPosition(), 9);
    EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8("\u201c \u201d U+0009")));
}

} // namespace
