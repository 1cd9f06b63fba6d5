// What an installer's laptop meets: a cable pulled in the middle of an
// exchange, a dialler that stops answering, a line full of rubbish, answers
// that come just in time or just too late. Whatever happens, the window must
// come back: no crash or hang, the error the user needs, the busy flag and
// cursor restored, the settings in the window and in the open file untouched,
// and the dialler found again once it is back on the bus.
#include "settings/SettingsFile.h"
#include "support/BusyWindowProbe.h"
#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"
#include "support/SettingsBuilders.h"
#include "support/VoiceImages.h"

#include "app/ContactsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "app/VoiceMessagePage.h"
#include "platform/CircleShape.h"
#include "voice/VoiceMessageStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int WaitMs = 15000;

const QString TryAgain = QStringLiteral("\r\n\r\nPlease try again.");

// What the window holds, opened from a file: different from the dialler's.
DiallerSettings WindowSite() {
    DiallerSettings s;
    s.Contacts[0] = Contact("0123456781", {1, 2});
    s.Contacts[1] = Contact("+441234567890", {3}, false, true);
    s.Contacts[2] = Contact("*99#", {8}, true, true);
    for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
        s.Inputs[n - 1] = Input(n % 2 == 0, n % 3 != 0, n, QStringLiteral("Zone %1").arg(n));
    }
    s.AdminPin = "123456";
    s.UserPin = "9876";
    return s;
}

DiallerSettings DiallerSite() {
    DiallerSettings s;
    s.Contacts[0] = Contact("0700000001", {1});
    s.Inputs[0].SmsMessage = "Front door";
    s.AdminPin = "2468";
    return s;
}

// Random bytes from a fixed seed, without "V", so that they never start a
// settings block of their own.
QByteArray Rubbish(int count) {
    QRandomGenerator random(19);
    QByteArray bytes;
    while (bytes.size() < count) {
        const char byte = static_cast<char>(random.bounded(256));
        if (byte != 'V') {
            bytes += byte;
        }
    }
    return bytes;
}

class FaultMatrix;

// One row: the fault, what the user does, and what the user must be told.
struct FaultRow {
    const char* name;
    std::function<void(FaultMatrix&)> fault;
    std::function<void(TMainForm&)> action;
    // The cable is pulled: the port leaves the device tree as the fault
    // strikes. Otherwise the dialler stays on the bus, and the user pulls
    // and replugs it after the message.
    bool unplugged = false;
    // The message; none when both are empty.
    QString title;
    QString text;
};

class FaultMatrix : public ConnectedWindowFixture, public ::testing::WithParamInterface<FaultRow> {
public:
    using ConnectedWindowFixture::dialler;

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        dialler.SetSettings(DiallerSite());
        ConnectedWindowFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // The window holds a site opened from a file, and a voice message.
        filePath = folder.filePath("site.ornex");
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeSettingsFile(WindowSite()));
        file.close();
        fileBytes = EncodeSettingsFile(WindowSite());
        form->show();
        DialogAnswerer answerer({DialogAnswer::ChooseFile(filePath)});
        form->OpenFileMenuItem()->trigger();
        ASSERT_EQ(form->Settings().Read(), WindowSite());
        PutVoiceImage(form->Voice()->Messages()[0], QuietVoiceImage(72000));
        dialler.ClearReceivedCommands();
    }

    void TearDown() override { PutVoiceImage(form->Voice()->Messages()[0], QuietVoiceImage(0)); }

    // Behaviour of the dialler for the fault.
    void Behave(const std::function<void(DiallerLineBehaviour&)>& change) {
        DiallerLineBehaviour behaviour;
        change(behaviour);
        dialler.SetBehaviour(behaviour);
    }

    void Unplug() {
        devices.RemovePort(pluggedPort);
        dialler.HangUp();
    }

    int Lamp(int output) const {
        return form->Outputs()->OutputControls()[output - 1].Status->BrushColor();
    }

    QTemporaryDir folder;
    QString filePath;
    QByteArray fileBytes;
    QString pluggedPort = port;
};

TEST_P(FaultMatrix, TheWindowComesBackUnchangedAndFindsTheDiallerAgain) {
    const FaultRow& row = GetParam();
    row.fault(*this);
    if (row.unplugged) {
        // Gone from the device tree before the exchange starts, as the
        // supervisor, blocked by the exchange, sees it only afterwards; the
        // port itself fails when the fault strikes.
        devices.RemovePort(pluggedPort);
    }

    DialogAnswerer answerer(row.title.isEmpty() ? std::vector<DialogAnswer>{}
                                                : std::vector<DialogAnswer>{"OK"});
    row.action(*form);
    if (!row.title.isEmpty()) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.Seen().empty(); }, WaitMs));
        EXPECT_EQ(answerer.Seen().at(0).title, row.title);
        EXPECT_EQ(answerer.Seen().at(0).text, row.text);
    }
    ExpectBusyStateRestored(*form);
    EXPECT_EQ(form->Settings().Read(), WindowSite());
    EXPECT_EQ(form->windowTitle(), "ORNEX - site.ornex");
    QFile file(filePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), fileBytes);

    // Off the Outputs page, so that the supervisor stops asking a silent
    // dialler for its outputs at every tick.
    form->PageControl()->setCurrentWidget(form->Contacts());
    if (!row.unplugged) {
        Unplug();
    }
    EXPECT_TRUE(WaitForStatus(QStringLiteral("ORNEX not detected"), WaitMs))
        << Status().toStdString();
    EXPECT_EQ(answerer.Seen().size(), row.title.isEmpty() ? 0u : 1u);

    // Back on the bus, well again: found, and Get All reads it.
    dialler.SetCommandObserver(nullptr);
    dialler.SetBehaviour({});
    const QString back = dialler.Replug();
    devices.AddDialler(UniqueTtyName(back), back);
    ASSERT_TRUE(WaitForConnection(WaitMs)) << Status().toStdString();
    DialogAnswerer noDialogs({});
    form->GetAllButton()->click();
    EXPECT_TRUE(noDialogs.Seen().empty());
    // A send cut short may have changed some of the dialler's settings.
    const DiallerSettings holds = dialler.Settings();
    EXPECT_EQ(form->Settings().Read().AdminPin, holds.AdminPin);
    EXPECT_EQ(form->Settings().Read().Inputs, holds.Inputs);
}

void GetAll(TMainForm& form) {
    form.GetAllButton()->click();
}
void SendAll(TMainForm& form) {
    form.SendAllButton()->click();
}
void SendPins(TMainForm& form) {
    form.Pins()->SendPINButton()->click();
}
void SendVoiceMessage(TMainForm& form) {
    form.Voice()->SendMessageButton->click();
}
// Showing the Outputs page asks the dialler for both outputs' states.
void ShowOutputs(TMainForm& form) {
    form.PageControl()->setCurrentWidget(form.Outputs());
    QTest::qWait(100);
}

const QString CommunicationError = QStringLiteral("Communication Error");
const QString Retrieve = QStringLiteral("Unable to retrieve settings from ORNEX.") + TryAgain;
const QString CommandError = QStringLiteral("Command Error");
const QString PhoneNumbersFailed = QStringLiteral("Error sending phone numbers.") + TryAgain;
const QString InputsFailed = QStringLiteral("Error sending input settings.") + TryAgain;
const QString AdminPinFailed = QStringLiteral("Error setting Admin PIN.") + TryAgain;
const QString VoiceFailed = QStringLiteral("Error sending voice message to ORNEX!");

auto Behaving(std::function<void(DiallerLineBehaviour&)> change) {
    return [change](FaultMatrix& t) { t.Behave(change); };
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultMatrix,
    ::testing::Values(
        // The port vanishes...
        FaultRow{"GetAllLosesThePortInTheBlock",
                 [](FaultMatrix& t) {
                     t.Behave([](DiallerLineBehaviour& b) { b.ByteDelayMs = 2; });
                     t.dialler.SetCommandObserver([&t](const QByteArray& command) {
                         if (command == "dnld all;") {
                             t.dialler.HangUpAfter(100);
                         }
                     });
                 },
                 GetAll, true, CommunicationError, Retrieve},
        FaultRow{"SendAllLosesThePortBetweenTwoCommands",
                 Behaving([](DiallerLineBehaviour& b) { b.HangUpWhenReceived = "a"; }), SendAll,
                 true, CommandError, PhoneNumbersFailed},
        FaultRow{"SendAllLosesThePortInAnEcho",
                 Behaving([](DiallerLineBehaviour& b) { b.HangUpWhenReceived = "mod,inp,3"; }),
                 SendAll, true, CommandError, InputsFailed},
        FaultRow{"SendPinsLosesThePort",
                 Behaving([](DiallerLineBehaviour& b) { b.HangUpWhenReceived = "pin,2"; }),
                 SendPins, true, CommandError, AdminPinFailed},
        FaultRow{"OutputQueryLosesThePort",
                 Behaving([](DiallerLineBehaviour& b) { b.HangUpWhenReceived = "sts,out,1"; }),
                 ShowOutputs,
                 true,
                 {},
                 {}},
        FaultRow{"VoiceUploadLosesThePortInTheBlock",
                 Behaving([](DiallerLineBehaviour& b) { b.HangUpAfterVoiceBytes = 30000; }),
                 SendVoiceMessage, true, QStringLiteral("Error"), VoiceFailed},
        // The dialler falls silent...
        FaultRow{"GetAllMeetsSilence", Behaving([](DiallerLineBehaviour& b) { b.Silent = true; }),
                 GetAll, false, CommunicationError, Retrieve},
        FaultRow{"SendAllMeetsSilenceBetweenTwoCommands",
                 Behaving([](DiallerLineBehaviour& b) { b.SilentWhenReceived = "a"; }), SendAll,
                 false, CommandError, PhoneNumbersFailed},
        FaultRow{"SendAllMeetsSilenceInAnEcho",
                 Behaving([](DiallerLineBehaviour& b) { b.SilentWhenReceived = "mod,inp,3"; }),
                 SendAll, false, CommandError, InputsFailed},
        FaultRow{"SendPinsMeetsSilence",
                 Behaving([](DiallerLineBehaviour& b) { b.SilentWhenReceived = "pin,2"; }),
                 SendPins, false, CommandError, AdminPinFailed},
        FaultRow{"OutputQueryMeetsSilence",
                 Behaving([](DiallerLineBehaviour& b) { b.SilentWhenReceived = "sts,out,1"; }),
                 ShowOutputs,
                 false,
                 {},
                 {}},
        FaultRow{"VoiceUploadMeetsSilenceAfterTheBlock",
                 Behaving([](DiallerLineBehaviour& b) { b.NoReplyAfterVoiceData = true; }),
                 SendVoiceMessage, false, QStringLiteral("Error"), VoiceFailed},
        // Rubbish on the line in the middle of an exchange.
        FaultRow{"SendAllMeetsAFloodOfRandomBytes",
                 Behaving([](DiallerLineBehaviour& b) { b.NoiseBeforeReply = Rubbish(4096); }),
                 SendAll, false, CommandError, AdminPinFailed},
        // A confirmation whose first byte comes later than a second.
        FaultRow{"AConfirmationJustTooLate", Behaving([](DiallerLineBehaviour& b) {
                     b.SlowLine = "Success!\r";
                     b.SlowLineBytes = 1;
                     b.SlowLineByteDelayMs = 1500;
                 }),
                 SendPins, false, CommandError, AdminPinFailed}),
    [](const ::testing::TestParamInfo<FaultRow>& info) { return std::string(info.param.name); });

// Faults the program must ride out without a word: rubbish on an idle line
// and before a settings block, and bytes that come just within their time.
class FaultsWithoutFailure : public ConnectedWindowFixture {
protected:
    void SetUp() override {
        dialler.SetSettings(DiallerSite());
        ConnectedWindowFixture::SetUp();
    }

    void ExpectGetAllReadsTheDialler() {
        DialogAnswerer noDialogs({});
        form->GetAllButton()->click();
        EXPECT_TRUE(noDialogs.Seen().empty());
        ExpectBusyStateRestored(*form);
        EXPECT_EQ(form->Settings().Read(), DiallerSite());
        EXPECT_EQ(Status(), ConnectedText());
    }
};

TEST_F(FaultsWithoutFailure, AFloodWhileIdleIsDrainedBeforeTheNextCommand) {
    dialler.Inject(Rubbish(4096));
    QTest::qWait(1500); // a supervisor tick or two with the rubbish waiting
    EXPECT_EQ(Status(), ConnectedText());
    ExpectGetAllReadsTheDialler();
}

TEST_F(FaultsWithoutFailure, AFloodBeforeTheSettingsBlockIsSkipped) {
    DiallerLineBehaviour behaviour;
    behaviour.NoiseBeforeReply = Rubbish(4096);
    dialler.SetBehaviour(behaviour);
    ExpectGetAllReadsTheDialler();
}

TEST_F(FaultsWithoutFailure, AConfirmationJustInTimeIsTaken) {
    DiallerLineBehaviour behaviour;
    behaviour.SlowLine = "Success!\r";
    behaviour.SlowLineBytes = 1;
    behaviour.SlowLineByteDelayMs = 600;
    dialler.SetBehaviour(behaviour);
    form->Settings().Write(WindowSite());
    DialogAnswerer noDialogs({});
    form->Pins()->SendPINButton()->click();
    EXPECT_TRUE(noDialogs.Seen().empty());
    ExpectBusyStateRestored(*form);
    EXPECT_EQ(dialler.Settings().AdminPin, WindowSite().AdminPin);
    EXPECT_EQ(dialler.Settings().UserPin, WindowSite().UserPin);
}

// Saving over a file the disk will not let be replaced: the old file stays
// as it was, the settings keep their modified mark, and the message names
// the file and the reason. (A full disk is FileCommandsTest's.)
class SavingFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath("site.ornex");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeSettingsFile(WindowSite()));
        file.close();
        form.show();
        DialogAnswerer answerer({DialogAnswer::ChooseFile(path)});
        form.OpenFileMenuItem()->trigger();
        ASSERT_EQ(form.windowTitle(), "ORNEX - site.ornex");
        form.Pins()->AdminPINEdit()->setText("5555");
        ASSERT_EQ(form.windowTitle(), "ORNEX - site.ornex*");
    }

    // Saves as a user would: root's right to ignore file permissions is
    // given up meanwhile, on this thread only.
    SeenDialog SaveAsUser() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct saved[2] = {};
        EXPECT_EQ(syscall(SYS_capget, &header, saved), 0);
        __user_cap_data_struct user[2] = {saved[0], saved[1]};
        user[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        EXPECT_EQ(syscall(SYS_capset, &header, user), 0);
        DialogAnswerer answerer({"OK"});
        form.SaveFileMenuItem()->trigger();
        EXPECT_EQ(syscall(SYS_capset, &header, saved), 0);
        EXPECT_EQ(answerer.Seen().size(), 1u);
        return answerer.Seen().empty() ? SeenDialog{} : answerer.Seen().front();
    }

    void ExpectNamed(const SeenDialog& seen, const QString& reason) {
        EXPECT_EQ(seen.title, "Error");
        EXPECT_EQ(seen.text, "Error opening file for writing\r\n\r\n" + path + ": " + reason)
            << seen.text.toStdString();
        EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex*");
        EXPECT_EQ(form.Settings().Read().AdminPin, "5555");
    }

    QTemporaryDir folder;
    QString path;
    TMainForm form;
};

TEST_F(SavingFaults, AReadOnlyFolderAndFile) {
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    const SeenDialog seen = SaveAsUser();
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ExpectNamed(seen, "Permission denied");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), EncodeSettingsFile(WindowSite()));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"site.ornex"});
}

TEST_F(SavingFaults, TheFileReplacedByAFolder) {
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), path + "/kept"));
    const SeenDialog seen = SaveAsUser();
    ExpectNamed(seen, "Filename refers to a directory");
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(QFileInfo::exists(path + "/kept"));
}

} // namespace
