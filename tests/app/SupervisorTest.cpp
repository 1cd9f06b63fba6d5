#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"

#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "device/CommandFraming.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
#include "platform/CircleShape.h"
#include "platform/ComPort.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

constexpr int WaitMs = 10000;

// The supervisor's tests start the window themselves, after setting up the
// devices and the dialler.
class Supervisor : public ConnectedWindowFixture {
protected:
    void SetUp() override {}

    std::vector<QPushButton*> DeviceButtons() const {
        return {form->GetAllButton(),         form->SendAllButton(),
                form->GetPageButton(),        form->SendPageButton(),
                form->Pins()->GetPINButton(), form->Pins()->SendPINButton()};
    }

    bool DeviceButtonsEnabled(bool enabled) const {
        for (QPushButton* button : DeviceButtons()) {
            if (button->isEnabled() != enabled) {
                return false;
            }
        }
        return true;
    }

    void ShowVoiceMessageLabels() {
        for (const InputControlSet& input : form->Inputs()->InputControls()) {
            input.VoiceMessageLabel->show();
        }
    }

    bool VoiceMessageLabelsHidden() const {
        for (const InputControlSet& input : form->Inputs()->InputControls()) {
            if (!input.VoiceMessageLabel->isHidden()) {
                return false;
            }
        }
        return true;
    }

    int VersionQueries() const { return dialler.ReceivedCommands().count("ver;"); }

    void ShowOutputsPage() { form->PageControl()->setCurrentWidget(form->Outputs()); }
    int Lamp(int output) const {
        return form->Outputs()->OutputControls()[output - 1].Status->BrushColor();
    }
};

} // namespace

TEST_F(Supervisor, ADiallerAttachedAtStartIsConnectedAtTheFirstTick) {
    StartWindow();
    EXPECT_EQ(form->Supervisor()->CheckPortTimer()->interval(), 100);
    EXPECT_TRUE(Status().isEmpty());
    ShowVoiceMessageLabels();

    ASSERT_TRUE(WaitForStatus(ConnectedText(QStringLiteral("ORNEX-3G v3.25")), WaitMs))
        << Status().toStdString();
    EXPECT_TRUE(form->Session()->DeviceConnected());
    EXPECT_EQ(form->Session()->FirmwareMajor(), 3);
    EXPECT_EQ(form->Session()->FirmwareMinor(), 25);
    EXPECT_EQ(form->Session()->HardwareVariant(), 1);
    EXPECT_TRUE(form->Session()->ComPort()->Connected());
    EXPECT_EQ(form->Session()->ComPort()->Port(), port);
    EXPECT_TRUE(DeviceButtonsEnabled(true));
    EXPECT_TRUE(VoiceMessageLabelsHidden());
    EXPECT_EQ(form->Supervisor()->CheckPortTimer()->interval(), 1000);
    EXPECT_TRUE(form->Supervisor()->CheckPortTimer()->isActive());

    // A connected dialler off the Outputs page is left alone.
    QTest::qWait(2500);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"ver;"});
}

TEST_F(Supervisor, ADiallerPluggedInLaterIsConnectedOnceThePortListChanges) {
    FakeDeviceTree empty;
    form = std::make_unique<TMainForm>(empty.Search());
    ASSERT_TRUE(WaitForStatus(QStringLiteral("ORNEX not detected"), WaitMs));
    EXPECT_FALSE(form->Session()->DeviceConnected());
    EXPECT_TRUE(form->Session()->ComPort()->Port().isEmpty());
    EXPECT_TRUE(DeviceButtonsEnabled(false));

    empty.AddDialler(port, dialler.PortName());
    ASSERT_TRUE(WaitForStatus(ConnectedText(), WaitMs)) << Status().toStdString();
    EXPECT_TRUE(DeviceButtonsEnabled(true));
    EXPECT_EQ(VersionQueries(), 1);
}

TEST_F(Supervisor, TwoDiallersAreAnErrorUntilOneIsUnplugged) {
    StartWindow();
    ASSERT_TRUE(WaitForConnection(WaitMs));
    ShowOutputsPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Lamp(1) == 255; }, WaitMs));

    const QString second = port + QStringLiteral("9");
    devices.AddDialler(second, dialler.PortName());
    ASSERT_TRUE(WaitForStatus(QStringLiteral("ERROR: Multiple ORNEX found"), WaitMs));
    EXPECT_FALSE(form->Session()->DeviceConnected());
    EXPECT_FALSE(form->Session()->ComPort()->Connected());
    EXPECT_TRUE(form->Session()->ComPort()->Port().isEmpty());
    EXPECT_TRUE(DeviceButtonsEnabled(false));
    EXPECT_EQ(Lamp(1), CircleShape::White);
    EXPECT_EQ(Lamp(2), CircleShape::White);

    devices.RemovePort(second);
    ASSERT_TRUE(WaitForStatus(ConnectedText(), WaitMs)) << Status().toStdString();
    EXPECT_TRUE(DeviceButtonsEnabled(true));
    EXPECT_EQ(VersionQueries(), 2);
}

TEST_F(Supervisor, OldFirmwareConnectsAndIsReportedFromInsideTheTick) {
    dialler.SetFirmwareVersion(3, 9, 2);
    QString statusWhileShown;
    bool timerRanWhileShown = true;
    DialogAnswerer answerer({DialogAnswer::Act([&](QWidget* modal) {
        statusWhileShown = Status();
        timerRanWhileShown = form->Supervisor()->CheckPortTimer()->isActive();
        QTest::qWait(1500); // a tick would be due by now
        modal->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    })});
    StartWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.Seen().size() == 1; }, WaitMs));
    const SeenDialog& warning = answerer.Seen().front();
    EXPECT_EQ(warning.title, "ORNEX firmware");
    EXPECT_EQ(warning.text,
              "The firmware in the attached ORNEX (v3.9) needs to be upgraded to version 3.14");
    EXPECT_EQ(warning.buttons, QStringList{"OK"});
    EXPECT_EQ(warning.icon, 2);

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Supervisor()->CheckPortTimer()->isActive(); }, WaitMs));
    EXPECT_EQ(statusWhileShown, ConnectedText(QStringLiteral("ORNEX-4G v3.9")));
    EXPECT_FALSE(timerRanWhileShown);
    EXPECT_EQ(VersionQueries(), 1);
    EXPECT_TRUE(form->Session()->DeviceConnected());
    EXPECT_EQ(form->Session()->HardwareVariant(), 2);
    EXPECT_TRUE(DeviceButtonsEnabled(true));
}

TEST_F(Supervisor, TheRequiredFirmwareOnAnUnknownModelShowsNoSuffixAndNoWarning) {
    dialler.SetFirmwareVersion(3, 14, 7);
    DialogAnswerer noDialogs({});
    StartWindow();
    ASSERT_TRUE(WaitForStatus(ConnectedText(QStringLiteral("ORNEX v3.14")), WaitMs))
        << Status().toStdString();
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(Supervisor, AnIncompleteVersionCannotConnectAndIsAskedAgainEachSecond) {
    dialler.SetVersionReply("SW 3.14\r");
    StartWindow();
    ShowVoiceMessageLabels();
    const QString cannotConnect = QStringLiteral("ORNEX on ") + port + " - cannot connect";
    ASSERT_TRUE(WaitForStatus(cannotConnect, WaitMs)) << Status().toStdString();
    EXPECT_FALSE(form->Session()->DeviceConnected());
    EXPECT_EQ(form->Session()->FirmwareMajor(), 3);
    EXPECT_EQ(form->Session()->FirmwareMinor(), -1);
    EXPECT_TRUE(DeviceButtonsEnabled(false));
    EXPECT_TRUE(VoiceMessageLabelsHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return VersionQueries() >= 3; }, WaitMs));
    EXPECT_EQ(Status(), cannotConnect);

    // Nothing was plugged in or out; the retry alone connects.
    dialler.SetVersionReply({});
    ASSERT_TRUE(WaitForStatus(ConnectedText(QStringLiteral("ORNEX-3G v3.25")), WaitMs));
}

TEST_F(Supervisor, ACarriageReturnInFrontOfTheVersionBelongsToTheLine) {
    dialler.SetVersionReply("\rSW 3.14, HW 1\r");
    StartWindow();
    ASSERT_TRUE(WaitForStatus(ConnectedText(QStringLiteral("ORNEX-3G v3.14")), WaitMs))
        << Status().toStdString();
}

TEST_F(Supervisor, AVersionLineWithoutEndInItsBufferFailsTheQuery) {
    // Whatever stands in front of "SW " is skipped.
    dialler.SetVersionReply(QByteArray(186, ' ') + "SW 3.14, HW 1\r");
    StartWindow();
    ASSERT_TRUE(WaitForStatus(QStringLiteral("ORNEX on ") + port + " - cannot connect", WaitMs))
        << Status().toStdString();

    // 199 bytes with the carriage return still fit.
    dialler.SetVersionReply(QByteArray(185, ' ') + "SW 3.14, HW 1\r");
    ASSERT_TRUE(WaitForConnection(WaitMs)) << Status().toStdString();
}

TEST_F(Supervisor, UnpluggingLosesTheLinkWithinASecond) {
    dialler.SetOutput(1, true);
    StartWindow();
    ASSERT_TRUE(WaitForConnection(WaitMs));
    ShowOutputsPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Lamp(1) == 65280 && Lamp(2) == 255; }, WaitMs));
    ShowVoiceMessageLabels();

    devices.RemovePort(port);
    dialler.HangUp();
    ASSERT_TRUE(WaitForStatus(QStringLiteral("ORNEX not detected"), WaitMs));
    EXPECT_FALSE(form->Session()->DeviceConnected());
    EXPECT_FALSE(form->Session()->ComPort()->Connected());
    EXPECT_TRUE(form->Session()->ComPort()->Port().isEmpty());
    EXPECT_TRUE(DeviceButtonsEnabled(false));
    EXPECT_TRUE(VoiceMessageLabelsHidden());
    EXPECT_EQ(Lamp(1), CircleShape::White);
    EXPECT_EQ(Lamp(2), CircleShape::White);
}

TEST_F(Supervisor, APortErrorInACommandIsFollowedByAReconnectionAtOnce) {
    StartWindow();
    ASSERT_TRUE(WaitForConnection(WaitMs));

    // The dialler drops off the line in the middle of a command and comes
    // back under the same name before the supervisor looks again.
    DiallerPtyServer back;
    DiallerLineBehaviour dropOff;
    dropOff.HangUpWhenReceived = "out,1";
    dialler.SetBehaviour(dropOff);
    devices.RedirectPort(port, back.PortName());

    EXPECT_FALSE(SendCommand(*form->Session()->Transport(), "out,1,on;"));
    EXPECT_FALSE(form->Session()->ComPort()->Connected());
    EXPECT_EQ(form->Supervisor()->CheckPortTimer()->interval(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return back.ReceivedCommands().contains("ver;"); }, WaitMs));
    EXPECT_TRUE(form->Session()->ComPort()->Connected());
    EXPECT_TRUE(form->Session()->DeviceConnected());
    EXPECT_EQ(Status(), ConnectedText());
    EXPECT_EQ(form->Supervisor()->CheckPortTimer()->interval(), 1000);
}

TEST_F(Supervisor, DisconnectTakesTheLinkDownUntilPressedAgain) {
    StartWindow();
    ASSERT_TRUE(WaitForConnection(WaitMs));
    ShowVoiceMessageLabels();

    form->Pins()->DisconnectButton()->click();
    EXPECT_EQ(form->Pins()->DisconnectButton()->text(), "Co&nnect");
    EXPECT_EQ(Status(), "DISCONNECTED");
    EXPECT_FALSE(form->Session()->DeviceConnected());
    EXPECT_FALSE(form->Session()->ComPort()->Connected());
    EXPECT_FALSE(form->Supervisor()->CheckPortTimer()->isActive());
    EXPECT_TRUE(DeviceButtonsEnabled(false));
    EXPECT_TRUE(VoiceMessageLabelsHidden());
    QTest::qWait(1500);
    EXPECT_EQ(Status(), "DISCONNECTED");

    form->Pins()->DisconnectButton()->click();
    EXPECT_EQ(form->Pins()->DisconnectButton()->text(), "Disco&nnect");
    ASSERT_TRUE(WaitForConnection(WaitMs));
    EXPECT_EQ(VersionQueries(), 2);
}

TEST_F(Supervisor, DisconnectWhileNotConnectedOnlyStopsTheSupervisor) {
    FakeDeviceTree empty;
    form = std::make_unique<TMainForm>(empty.Search());
    ASSERT_TRUE(WaitForStatus(QStringLiteral("ORNEX not detected"), WaitMs));

    form->Pins()->DisconnectButton()->click();
    EXPECT_EQ(form->Pins()->DisconnectButton()->text(), "Co&nnect");
    EXPECT_FALSE(form->Supervisor()->CheckPortTimer()->isActive());
    EXPECT_EQ(Status(), "ORNEX not detected");

    // Stopped: a dialler plugged in now is not noticed.
    empty.AddDialler(port, dialler.PortName());
    QTest::qWait(1500);
    EXPECT_EQ(Status(), "ORNEX not detected");

    form->Pins()->DisconnectButton()->click();
    ASSERT_TRUE(WaitForConnection(WaitMs));
}
