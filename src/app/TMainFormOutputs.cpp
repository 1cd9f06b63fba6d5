#include "app/TMainForm.h"

#include "device/OutputControl.h"
#include "dialogs/MessageDialog.h"
#include "platform/CircleShape.h"

#include <QPushButton>

void TMainForm::WireOutputs() {
    for (const OutputControlSet& output : OutputControls) {
        for (QPushButton* button : {output.OnButton, output.OffButton}) {
            connect(button, &QPushButton::clicked, this,
                    [this, button] { SetOutputButtonClick(button); });
        }
    }
}

void TMainForm::SetOutputButtonClick(QObject* sender) {
    // The buttons tell by their names which output they switch and how.
    const auto request = ParseOutputButtonName(sender->objectName());
    if (!request || !IsDiallerOutput(request->Output)) {
        return;
    }
    // Without a connection the port is closed and the command fails at once.
    if (!SetOutput(*Transport, request->Output, request->On)) {
        ShowErrorMessage(QStringLiteral("Command Error"),
                         QStringLiteral("Unable to set output.\r\n\r\nPlease try again."));
    }
    ShowOutputState(request->Output);
}

void TMainForm::ShowOutputState(int output) {
    if (!IsDiallerOutput(output)) {
        return;
    }
    OutputControls[output - 1].Status->SetBrushColor(
        OutputStateColour(GetOutputState(*Transport, DeviceConnected, output)));
}

void TMainForm::RefreshOutputStates() {
    for (int output = 1; output <= SettingsLimits::OutputCount; ++output) {
        ShowOutputState(output);
    }
}

void TMainForm::PaintOutputsUnknown() {
    for (const OutputControlSet& output : OutputControls) {
        output.Status->SetBrushColor(OutputColours::Unknown);
    }
}
