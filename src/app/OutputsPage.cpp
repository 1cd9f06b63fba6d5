#include "app/OutputsPage.h"

#include "app/DeviceExchange.h"
#include "app/PageWidgets.h"
#include "device/DeviceSession.h"
#include "device/OutputControl.h"
#include "dialogs/MessageDialog.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpgrade.h"
#include "platform/Anchors.h"
#include "platform/CircleShape.h"

#include <QScrollArea>

OutputsPage::OutputsPage(DeviceSession& session, DeviceSearch& search, QWidget* parent)
    : QWidget(parent), mSession(session), mSearch(search) {
    setObjectName(QStringLiteral("OutputsSheet"));
    resize(828, 501);
    auto* anchors = new AnchorLayout(this, size());
    mOutputsScrollBox = Named(new QScrollArea(this), "OutputsScrollBox");
    mOutputsScrollBox->setWidgetResizable(true);
    mOutputsScrollBox->setBackgroundRole(QPalette::Base);
    anchors->Place(mOutputsScrollBox, QRect(0, 0, 828, 501), AnchorAll);
    mOutputsScrollContent = Named(new QWidget, "OutputsScrollContent");
    mOutputsScrollContent->setBackgroundRole(QPalette::Base);
    mOutputsScrollContent->setAutoFillBackground(true);
    mOutputsScrollBox->setWidget(mOutputsScrollContent);
    mTestReflashButton = MakeButton(mOutputsScrollContent, "TestReflashButton", tr("Reflash"));
    mTestReflashButton->setGeometry(672, 360, 75, 25);
    mTestReflashButton->hide();

    for (int output = 1; output <= SettingsLimits::OutputCount; ++output) {
        CreateOutputRow(output);
    }
    connect(mTestReflashButton, &QPushButton::clicked, this, &OutputsPage::TestReflashButtonClick);
}

void OutputsPage::CreateOutputRow(int output) {
    const int top = 24 + 56 * (output - 1);
    const QString n = QString::number(output);
    QWidget* page = mOutputsScrollContent;
    OutputControlSet& set = mOutputControls[output - 1];
    set.OnButton = new QPushButton(tr("Set Output %1 On").arg(n), page);
    set.OnButton->setObjectName(QStringLiteral("Output%1OnButton").arg(n));
    set.OnButton->setGeometry(29, top, 105, 25);
    set.OffButton = new QPushButton(tr("Set Output %1 Off").arg(n), page);
    set.OffButton->setObjectName(QStringLiteral("Output%1OffButton").arg(n));
    set.OffButton->setGeometry(176, top, 105, 25);
    set.Status = new CircleShape(page);
    set.Status->setObjectName(QStringLiteral("Out%1Status").arg(n));
    set.Status->setGeometry(320, top, 25, 25);
    MakeLabel(page, QStringLiteral("Out%1StatusLabel").arg(n),
              tr("Output %1 Status (Green = On, Red = Off, White = Unknown)").arg(n),
              QPoint(355, top + 6));
    for (QPushButton* button : {set.OnButton, set.OffButton}) {
        connect(button, &QPushButton::clicked, this,
                [this, button] { SetOutputButtonClick(button); });
    }
}

void OutputsPage::SetOutputButtonClick(QObject* sender) {
    // The buttons tell by their names which output they switch and how.
    const auto request = ParseOutputButtonName(sender->objectName());
    if (!request || !IsDiallerOutput(request->Output)) {
        return;
    }
    // Without a connection the port is closed and the command fails at once.
    if (!SetOutput(*mSession.Transport(), request->Output, request->On)) {
        ShowErrorMessage(QStringLiteral("Command Error"),
                         QStringLiteral("Unable to set output.\r\n\r\nPlease try again."));
    }
    ShowOutputState(request->Output);
}

void OutputsPage::ShowOutputState(int output) {
    if (!IsDiallerOutput(output)) {
        return;
    }
    mOutputControls[output - 1].Status->SetBrushColor(OutputStateColour(
        GetOutputState(*mSession.Transport(), mSession.DeviceConnected(), output)));
}

void OutputsPage::RefreshOutputStates() {
    for (int output = 1; output <= SettingsLimits::OutputCount; ++output) {
        ShowOutputState(output);
    }
}

void OutputsPage::PaintOutputsUnknown() {
    for (const OutputControlSet& output : mOutputControls) {
        output.Status->SetBrushColor(OutputColours::Unknown);
    }
}

void OutputsPage::TestReflashButtonClick() {
    DeviceExchange exchange(mSession);
    // An image that cannot be written is refused before the dialler is
    // restarted: it would otherwise be left waiting in its bootloader.
    const FirmwareImage image = LoadFirmwareImage(FirmwareImageCandidates());
    if (!image.Problem.isEmpty()) {
        ShowErrorMessage(tr("Error"), image.Problem);
        return;
    }
    exchange.Begin();
    const UpgradeResult result =
        UpgradeFirmware(*mSession.Transport(), mSearch, image.Data,
                        [this](const QString& text) { mSession.ShowActivity(text); });
    // Success shows in the status bar: the supervisor reconnects to the
    // restarted dialler and reads its new version.
    if (result.Outcome != UpgradeOutcome::Upgraded) {
        ShowErrorMessage(tr("Error"), UpgradeFailureText(result));
    }
}
