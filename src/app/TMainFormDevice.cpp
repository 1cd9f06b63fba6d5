#include "app/TMainForm.h"

#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "device/DiallerVersion.h"
#include "device/FindDiallerPort.h"
#include "device/LinkStatusText.h"
#include "dialogs/MessageDialog.h"
#include "platform/ComPort.h"
#include "platform/DeviceSearch.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

const QString DisconnectCaption = QStringLiteral("Disco&nnect");
const QString ConnectCaption = QStringLiteral("Co&nnect");

} // namespace

void TMainForm::WireDevice() {
    // The search names the ports; it also knows where a name is opened (a
    // test's fake device tree keeps its ports outside /dev).
    ComPort->SetPathResolver(
        [search = mDeviceSearch.get()](const QString& name) { return search->PortPath(name); });
    connect(CheckPortTimer, &QTimer::timeout, this, &TMainForm::CheckPortTimerTimer);
    connect(DisconnectButton, &QPushButton::clicked, this, &TMainForm::DisconnectButtonClick);
    connect(CheckForORNEXFileMenuItem, &QAction::triggered, this,
            &TMainForm::CheckForORNEXFileMenuItemClick);
}

void TMainForm::CheckPortTimerTimer() {
    // Ticks never overlap: the timer stays off while this one runs, also
    // while the firmware warning waits for the user.
    CheckPortTimer->stop();
    CheckPortTimer->setInterval(SupervisorPeriodMs);

    const DiallerPortSearch found = FindDiallerPort(*mDeviceSearch, mKnownPorts);
    bool failed = false;
    if (found.Dialler.Found()) {
        if (ConnectionAttemptDue(ComPort->Port(), DeviceConnected, ComPort->Connected(),
                                 found.PortListChanged, found.Dialler.PortName)) {
            failed = !ConnectToDialler(found.Dialler.PortName);
        }
    } else {
        DeviceConnected = false;
        HideVoiceMessageLabels();
        try {
            ComPort->Close();
        } catch (const ComPortError&) {
            ComPort->SetConnected(false);
        }
        // No port is chosen now: the dialler is looked for again only when
        // the system's port list changes.
        ComPort->SetPort(QString());
        StatusPanels[1]->setText(LinkStatusText(found.Dialler.Conflict ? LinkState::SeveralFound
                                                                       : LinkState::NotDetected));
        failed = true;
    }

    EnableDeviceButtons(DeviceConnected);
    if (PageControl->currentWidget() == OutputsSheet) {
        if (failed) {
            PaintOutputsUnknown();
        } else {
            RefreshOutputStates();
        }
    }
    // A port error during this tick's exchanges has set the interval to 1 ms.
    CheckPortTimer->start();
}

bool TMainForm::ConnectToDialler(const QString& portName) {
    bool failed = false;
    try {
        ComPort->SetPort(portName);
        ComPort->Open();
    } catch (const ComPortError&) {
        ComPort->SetConnected(false);
        failed = true;
    }
    QByteArray reply;
    if (!failed && ComPort->Connected() && QueryVersion(*Transport, reply)) {
        const DiallerVersion version = ParseVersionReply(reply);
        FirmwareMajor = version.FirmwareMajor;
        FirmwareMinor = version.FirmwareMinor;
        HardwareVariant = version.HardwareVariant;
        failed = !version.IsComplete();
    } else {
        failed = true;
    }

    HideVoiceMessageLabels();
    if (failed) {
        // The port stays open: opening it again at the next tick does nothing
        // and the dialler is simply asked again.
        DeviceConnected = false;
        StatusPanels[1]->setText(LinkStatusText(LinkState::CannotConnect, ComPort->Port()));
        return false;
    }
    const DiallerVersion version{FirmwareMajor, FirmwareMinor, HardwareVariant};
    DeviceConnected = true;
    StatusPanels[1]->setText(LinkStatusText(LinkState::Connected, ComPort->Port(), version));
    if (NeedsFirmwareUpgrade(version)) {
        // Shown at every connection; the dialler is used all the same.
        ShowMessageDialog(FirmwareWarningTitle, FirmwareWarningText(version), QStringLiteral("OK"),
                          WarningIcon, 1);
    }
    return true;
}

void TMainForm::HideVoiceMessageLabels() {
    for (const InputControlSet& input : InputControls) {
        input.VoiceMessageLabel->hide();
    }
}

void TMainForm::EnableDeviceButtons(bool enabled) {
    for (QPushButton* button : {GetAllButton, SendAllButton, GetPageButton, SendPageButton,
                                GetPINButton, SendPINButton}) {
        button->setEnabled(enabled);
    }
}

void TMainForm::DisconnectButtonClick() {
    if (DisconnectButton->text() != DisconnectCaption) {
        // Supervision resumes at once.
        DisconnectButton->setText(DisconnectCaption);
        RestartPortCheck();
        return;
    }
    DisconnectButton->setText(ConnectCaption);
    CheckPortTimer->stop();
    if (!ComPort->Connected()) {
        return;
    }
    try {
        ComPort->Close();
    } catch (const ComPortError&) {
        // Closed all the same; the user asked for the link to go.
        ComPort->SetConnected(false);
    }
    StatusPanels[1]->setText(LinkStatusText(LinkState::DisconnectedByUser));
    DeviceConnected = false;
    HideVoiceMessageLabels();
    EnableDeviceButtons(false);
}

void TMainForm::CheckForORNEXFileMenuItemClick() {
    // The supervisor looks by itself every second; the hidden menu item has
    // nothing left to do.
}
