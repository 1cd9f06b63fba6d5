#include "app/TMainForm.h"

#include "app/DeviceExchange.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "settings/SettingsUpload.h"
#include "settings/SettingsUploader.h"

#include <QDateTime>
#include <QPushButton>
#include <QTabWidget>

namespace {

class WindowUploadFeedback : public UploadFeedback {
public:
    explicit WindowUploadFeedback(TMainForm& form) : mForm(form) {}

    void ShowActivity(const QString& text) override { mForm.ShowActivity(text); }
    void ShowCommandError(const QString& text) override {
        ShowErrorMessage(TMainForm::tr("Command Error"), text);
    }

private:
    TMainForm& mForm;
};

// Reads the scope from the controls and sends it, unless a value in it could
// not be stored by the dialler. Such values come from a settings file or a
// dialler, never from the editors; a phone number or message with a ";" or a
// double quote would even end its command early and have the rest carried out
// as a command of its own. Nothing of the scope is sent then.
void Upload(TMainForm& form, DeviceExchange& exchange, UploadScope scope) {
    const DiallerSettings settings = form.Settings().Read();
    if (const std::optional<QString> problem = FindUploadProblem(settings, scope)) {
        ShowErrorMessage(TMainForm::tr("Error"),
                         *problem +
                             TMainForm::tr("\r\n\r\nNothing has been sent to the ORNEX. Correct "
                                           "the value and send again."));
        return;
    }
    exchange.Begin();
    WindowUploadFeedback feedback(form);
    UploadSettings(*form.Transport, feedback, settings, scope,
                   FirmwareVersion{form.FirmwareMajor, form.FirmwareMinor});
}

} // namespace

void TMainForm::WireUpload() {
    connect(SendPINButton, &QPushButton::clicked, this, &TMainForm::SendPINButtonClick);
    connect(SendPageButton, &QPushButton::clicked, this, &TMainForm::SendPageButtonClick);
    connect(SendAllButton, &QPushButton::clicked, this, &TMainForm::SendAllButtonClick);
}

void TMainForm::SendPINButtonClick() {
    DeviceExchange exchange(*this);
    Upload(*this, exchange, UploadScope::Pins);
}

void TMainForm::SendPageButtonClick() {
    DeviceExchange exchange(*this);
    QWidget* page = PageControl->currentWidget();
    if (page == PhoneNumbersSheet) {
        // The question comes before the hourglass: the user answers it.
        if (AskToStoreContactBeforeSending()) {
            Upload(*this, exchange, UploadScope::Contacts);
        }
    } else if (page == InputsSheet) {
        Upload(*this, exchange, UploadScope::Inputs);
    }
}

void TMainForm::SendAllButtonClick() {
    DeviceExchange exchange(*this);
    // Whole seconds, as the log line reports them.
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    // Send All sends the contact list as it stands; an edit not yet saved in
    // the contact editor is not part of it.
    Upload(*this, exchange, UploadScope::All);
    if (exchange.Begun() && Transport->TrafficLogShown() && !Transport->FirmwareUpgradeActive()) {
        const auto seconds = static_cast<int>(QDateTime::currentSecsSinceEpoch() - started);
        Transport->AppendToLastLogLine(QString::asprintf("Time taken = %d seconds", seconds));
    }
}
