#include "app/VoiceMessagePage.h"
#include "DiallerPtyServer.h"
#include "app/CommandLine.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "app/TMainForm.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
#include "dialogs/MessageDialog.h"
#include "platform/ComPort.h"
#include "support/BusyWindowProbe.h"
#include "support/DialogAnswerer.h"
#include "support/VoiceImages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Commands = QList<QByteArray>;

// A loud 4.5-second message: its peak of 3072 is halved at start.
QByteArray LoudMessage() {
    return VoiceImage(72000, [](int i) { return qint16(i % 3 == 0 ? 3072 : -5); });
}

QByteArray HalvedMessage() {
    return VoiceImage(72000, [](int i) { return qint16(i % 3 == 0 ? 1536 : -2); });
}

// A working directory with voice files for some inputs, made current while
// the window is created, as the program finds them where it is started.
class VoiceFolder {
public:
    VoiceFolder() : mPrevious(QDir::currentPath()) {
        Write(2, LoudMessage());
        Write(3, QuietVoiceImage(15)); // under a millisecond: empty
        Write(5, QuietVoiceImage(72800));
        Write(7, QuietVoiceImage(72000).left(43)); // too short for a header
        QDir::setCurrent(mDir.path());
    }
    ~VoiceFolder() { QDir::setCurrent(mPrevious); }

    QString FilePath(const QString& name) const { return mDir.filePath(name); }

private:
    void Write(int input, const QByteArray& bytes) {
        QFile file(mDir.filePath(VoiceFileName(input)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir mDir;
    QString mPrevious;
};

class VoiceMessagePageTest : public ::testing::Test {
protected:
    VoiceMessagePageTest() {
        // What the connection supervisor does when it finds the dialler; the
        // supervisor itself stays off, as it would find no dialler here.
        form.Supervisor()->CheckPortTimer()->stop();
        form.Session()->ComPort()->SetPort(dialler.PortName());
        form.Session()->ComPort()->Open();
    }

    VoiceMessagePage& Page() { return *form.Voice(); }

    QStringList Items() {
        QStringList texts;
        for (QRadioButton* item : Page().MessageItems) {
            texts << item->text();
        }
        return texts;
    }

    void Select(int input) { Page().MessageItems[input - 1]->click(); }

    void Behave(const std::function<void(DiallerLineBehaviour&)>& change) {
        DiallerLineBehaviour behaviour;
        change(behaviour);
        dialler.SetBehaviour(behaviour);
    }

    VoiceFolder folder;
    DiallerPtyServer dialler;
    TMainForm form;
};

TEST_F(VoiceMessagePageTest, StartUpFillListsEachInputWithItsMessage) {
    EXPECT_EQ(Items(), QStringList({"Input &1 Message (0 sec)", "Input &2 Message (4.5 sec)",
                                    "Input &3 Message (0 sec)", "Input &4 Message (0 sec)",
                                    "Input &5 Message (4.6 sec)", "Input &6 Message (0 sec)",
                                    "Input &7 Message (0 sec)", "Input &8 Message (0 sec)"}));
    EXPECT_EQ(Page().SelectedIndex(), 0);
    EXPECT_TRUE(Page().MessageItems[0]->isChecked());
    // Loaded messages are limited; missing and short files leave empty ones.
    EXPECT_EQ(SlotBytes(Page().Messages()[1], 72044), HalvedMessage());
    EXPECT_EQ(SlotBytes(Page().Messages()[4], 72844), QuietVoiceImage(72800));
    for (int slot : {0, 6}) {
        EXPECT_EQ(SlotBytes(Page().Messages()[slot], 44),
                  QByteArray(EmptyVoiceHeader.data(), EmptyVoiceHeader.size()));
    }
    // New goes back to the first message.
    Select(5);
    form.NewFileMenuItemClick();
    EXPECT_EQ(Page().SelectedIndex(), 0);
}

TEST_F(VoiceMessagePageTest, OnlyServiceModeShowsThePageAndTheReflashButton) {
    const auto visibleTabs = [this] {
        QStringList tabs;
        for (int i = 0; i < form.PageControl()->count(); ++i) {
            if (form.PageControl()->isTabVisible(i)) {
                tabs << form.PageControl()->tabText(i);
            }
        }
        return tabs;
    };
    EXPECT_FALSE(ReadCommandLine({"ornex-config"}).Options.ServiceMode);
    EXPECT_EQ(visibleTabs(), QStringList({"Phone Numbers", "Inputs", "Outputs"}));
    EXPECT_FALSE(form.Outputs()->TestReflashButton()->isVisibleTo(form.Outputs()));

    form.SetServiceMode(ReadCommandLine({"ornex-config", "--service"}).Options.ServiceMode);
    EXPECT_EQ(visibleTabs(), QStringList({"Phone Numbers", "Inputs", "Voice Messages", "Outputs"}));
    EXPECT_TRUE(form.Outputs()->TestReflashButton()->isVisibleTo(form.Outputs()));
    EXPECT_FALSE(form.Pins()->DisconnectButton()->isVisibleTo(&form));

    form.SetServiceMode(false);
    EXPECT_EQ(visibleTabs(), QStringList({"Phone Numbers", "Inputs", "Outputs"}));
    EXPECT_FALSE(form.Outputs()->TestReflashButton()->isVisibleTo(form.Outputs()));
}

TEST_F(VoiceMessagePageTest, SendAllSendsEveryMessageAndGoesOnPastAFailure) {
    // Input 2's is refused; input 3's is under a millisecond and not sent.
    Behave([](DiallerLineBehaviour& b) { b.ReplacedReplies = {{"upl 2;", "Error\r"}}; });
    DialogAnswerer answerer({});
    Page().SendAllMessagesButton->click();

    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"upl 2;", "upl 5;"}));
    EXPECT_EQ(dialler.VoiceMessage(5), QuietVoiceImage(72800));
    EXPECT_TRUE(dialler.VoiceMessage(2).isEmpty());
    ExpectBusyStateRestored(form);
}

TEST_F(VoiceMessagePageTest, SendSelectedSendsItsMessageOrReportsTheFailure) {
    Select(2);
    {
        DialogAnswerer answerer({});
        Page().SendMessageButton->click();
        EXPECT_TRUE(answerer.Seen().empty());
        EXPECT_EQ(dialler.VoiceMessage(2), HalvedMessage());
        ExpectBusyStateRestored(form);
    }

    struct Case {
        const char* name;
        std::function<void()> fault;
        QByteArray received;
    };
    const Case cases[] = {
        {"another line instead of Ready",
         [this] { Behave([](DiallerLineBehaviour& b) {
                      b.ReplacedReplies = {{"upl", "?\r"}};
                  }); },
         "upl 5;"},
        {"no connection", [this] { form.Session()->ComPort()->Close(); }, ""},
    };
    Select(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.fault();
        dialler.ClearReceivedCommands();
        StateAtMessage state;
        DialogAnswerer answerer({PressOkNoting(form, state)});
        Page().SendMessageButton->click();

        ASSERT_EQ(answerer.Seen().size(), 1u);
        const SeenDialog& seen = answerer.Seen()[0];
        EXPECT_EQ(seen.title, "Error");
        EXPECT_EQ(seen.text, "Error sending voice message to ORNEX!");
        EXPECT_EQ(seen.buttons, QStringList({"OK"}));
        EXPECT_EQ(seen.icon, ErrorIcon);
        EXPECT_TRUE(state.deviceBusy);
        EXPECT_TRUE(state.hourglass);
        EXPECT_EQ(state.activity, "Sending voice message 5 to ORNEX");
        EXPECT_EQ(dialler.ReceivedBytes(), c.received);
        ExpectBusyStateRestored(form);
    }

    // An empty message is not sent, and nothing is said.
    Select(3);
    dialler.ClearReceivedCommands();
    DialogAnswerer empty({});
    Page().SendMessageButton->click();
    EXPECT_TRUE(empty.Seen().empty());
    EXPECT_TRUE(dialler.ReceivedBytes().isEmpty());
}

TEST_F(VoiceMessagePageTest, ExportWritesTheSelectedMessageIntoTheWorkingFolder) {
    Select(2);
    Page().Button3->click();
    QFile exported(folder.FilePath("Volume_Adjusted_Message_2.wav"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), HalvedMessage());
}

} // namespace
