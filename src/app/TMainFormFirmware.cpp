#include "app/TMainForm.h"

#include "app/DeviceExchange.h"
#include "dialogs/MessageDialog.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpgrade.h"

#include <QPushButton>

void TMainForm::WireFirmware() {
    connect(TestReflashButton, &QPushButton::clicked, this, &TMainForm::TestReflashButtonClick);
}

void TMainForm::TestReflashButtonClick() {
    DeviceExchange exchange(*this);
    // An image that cannot be written is refused before the dialler is
    // restarted: it would otherwise be left waiting in its bootloader.
    const FirmwareImage image = LoadFirmwareImage(FirmwareImageCandidates());
    if (!image.Problem.isEmpty()) {
        ShowErrorMessage(tr("Error"), image.Problem);
        return;
    }
    exchange.Begin();
    const UpgradeResult result =
        UpgradeFirmware(*Transport, *mDeviceSearch, image.Data,
                        [this](const QString& text) { ShowActivity(text); });
    // Success shows in the status bar: the supervisor reconnects to the
    // restarted dialler and reads its new version.
    if (result.Outcome != UpgradeOutcome::Upgraded) {
        ShowErrorMessage(tr("Error"), UpgradeFailureText(result));
    }
}
