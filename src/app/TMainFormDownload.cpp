#include "app/TMainForm.h"

#include "app/DeviceExchange.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "settings/DownloadSettings.h"

#include <QDateTime>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// Runs the download with `activity` in the status bar. The window busy
// state ends with it, before the caller puts the settings in place or
// reports a failure.
bool Download(TMainForm& form, const QString& activity, SettingsReply& reply) {
    form.ShowActivity(activity);
    DeviceExchange exchange(form);
    exchange.Begin();
    return DownloadSettings(*form.Transport, reply);
}

void ShowCommunicationError() {
    ShowErrorMessage(QStringLiteral("Communication Error"),
                     QStringLiteral("Unable to retrieve settings from ORNEX.\r\n\r\n"
                                    "Please try again."));
}

// The values the dialler reported that the settings cannot hold have been
// cut, held in range or left out; the user hears of it once, after the
// settings are in place, so the window behind the message shows the result.
void ShowProblems(const QStringList& problems) {
    if (problems.isEmpty()) {
        return;
    }
    ShowMessageDialog(QStringLiteral("Warning"), DownloadProblemsText(problems),
                      QStringLiteral("OK"), WarningIcon, 1);
}

// The appliers work on the settings as the controls hold them, and the
// result goes back through the controls, whose own change events then set
// the modified mark for changed PINs, messages and attempts.
QStringList PutInputs(TMainForm& form, const SettingsReply& reply) {
    const SettingsBinding binding = form.Settings();
    const AppliedSettings applied = ApplyInputLines(reply, binding.Read());
    binding.WriteInputs(applied.Settings.Inputs);
    return applied.Problems;
}

QStringList PutContacts(TMainForm& form, const SettingsReply& reply) {
    const SettingsBinding binding = form.Settings();
    const AppliedSettings applied = ApplyContactLines(reply, binding.Read());
    binding.WriteContacts(applied.Settings.Contacts);
    // The row the editor showed may now hold another number or none: the
    // editor starts empty, and what it held unsaved is dropped.
    form.ClearContactEditor();
    form.PhoneNumbersListView->setCurrentItem(nullptr);
    form.CompactContactList();
    return applied.Problems;
}

QStringList PutPins(TMainForm& form, const SettingsReply& reply) {
    const SettingsBinding binding = form.Settings();
    const AppliedSettings applied = ApplyPinLine(reply, binding.Read());
    binding.WritePins(applied.Settings.AdminPin, applied.Settings.UserPin);
    return applied.Problems;
}

} // namespace

void TMainForm::WireDownload() {
    connect(GetAllButton, &QPushButton::clicked, this, &TMainForm::GetAllButtonClick);
    connect(GetPageButton, &QPushButton::clicked, this, &TMainForm::GetPageButtonClick);
    connect(GetPINButton, &QPushButton::clicked, this, &TMainForm::GetPINButtonClick);
}

void TMainForm::GetAllButtonClick() {
    // The download goes on whether or not the settings were saved.
    if (!SaveChangesBeforeReplacing()) {
        return;
    }
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    SettingsReply reply;
    const bool received = Download(*this, tr("Getting all settings from ORNEX"), reply);
    QStringList problems;
    if (received) {
        problems << PutInputs(*this, reply);
        problems << PutContacts(*this, reply);
        problems << PutPins(*this, reply);
    }
    // Logged before any message, so that the time is the transfer's alone
    // and the line follows the transfer's traffic.
    if (Transport->TrafficLogShown() && !Transport->FirmwareUpgradeActive()) {
        const auto seconds = static_cast<int>(QDateTime::currentSecsSinceEpoch() - started);
        Transport->AppendToLastLogLine(QString::asprintf("Time taken = %d seconds", seconds));
    }
    if (!received) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(problems);
}

void TMainForm::GetPageButtonClick() {
    QWidget* page = PageControl->currentWidget();
    if (page != PhoneNumbersSheet && page != InputsSheet) {
        return;
    }
    const bool contacts = page == PhoneNumbersSheet;
    SettingsReply reply;
    if (!Download(*this,
                  contacts ? tr("Getting phone numbers from ORNEX")
                           : tr("Getting input settings from ORNEX"),
                  reply)) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(contacts ? PutContacts(*this, reply) : PutInputs(*this, reply));
}

void TMainForm::GetPINButtonClick() {
    SettingsReply reply;
    if (!Download(*this, tr("Getting PINs from ORNEX"), reply)) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(PutPins(*this, reply));
}
