#include "app/SettingsTransfer.h"

#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/DeviceExchange.h"
#include "device/DeviceSession.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "settings/ContactListRules.h"
#include "settings/DownloadExchange.h"
#include "settings/UploadCommands.h"
#include "settings/UploadExchange.h"

#include <QDateTime>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// Runs the download with `activity` in the status bar. The window busy
// state ends with it, before the caller puts the settings in place or
// reports a failure.
bool Download(DeviceSession& session, const QString& activity, SettingsReply& reply) {
    session.ShowActivity(activity);
    DeviceExchange exchange(session);
    exchange.Begin();
    return DownloadSettings(*session.Transport(), reply);
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

// The whole-settings transfers end the traffic log with their time in whole
// seconds, counted from `started`.
void LogTimeTaken(DeviceTransport& transport, qint64 started) {
    if (transport.TrafficLogShown() && !transport.FirmwareUpgradeActive()) {
        const auto seconds = static_cast<int>(QDateTime::currentSecsSinceEpoch() - started);
        transport.AppendToLastLogLine(QString::asprintf("Time taken = %d seconds", seconds));
    }
}

// The appliers work on the settings as the controls hold them, and the
// result goes back through the controls, whose own change events then set
// the modified mark for changed PINs, messages and attempts.
QStringList PutInputs(const SettingsTransfer::Pages& pages, const SettingsReply& reply) {
    const SettingsBinding binding = pages.Settings();
    const AppliedSettings applied = ApplyInputLines(reply, binding.Read());
    binding.WriteInputs(applied.Settings.Inputs);
    return applied.Problems;
}

QStringList PutContacts(const SettingsTransfer::Pages& pages, const SettingsReply& reply) {
    const SettingsBinding binding = pages.Settings();
    const AppliedSettings applied = ApplyContactLines(reply, binding.Read());
    binding.WriteContacts(applied.Settings.Contacts);
    // The row the editor showed may now hold another number or none: the
    // editor starts empty, and what it held unsaved is dropped.
    pages.Contacts->Editor()->ClearContactEditor();
    pages.Contacts->PhoneNumbersListView()->setCurrentItem(nullptr);
    pages.Contacts->CompactContactList();
    return applied.Problems;
}

QStringList PutPins(const SettingsTransfer::Pages& pages, const SettingsReply& reply) {
    const SettingsBinding binding = pages.Settings();
    const AppliedSettings applied = ApplyPinLine(reply, binding.Read());
    binding.WritePins(applied.Settings.AdminPin, applied.Settings.UserPin);
    return applied.Problems;
}

class WindowUploadFeedback : public UploadFeedback {
public:
    explicit WindowUploadFeedback(DeviceSession& session) : mSession(session) {}

    void ShowActivity(const QString& text) override { mSession.ShowActivity(text); }
    void ShowCommandError(const QString& text) override {
        ShowErrorMessage(SettingsTransfer::tr("Command Error"), text);
    }

private:
    DeviceSession& mSession;
};

// Reads the scope from the controls and sends it, unless a value in it could
// not be stored by the dialler. Such values come from a settings file or a
// dialler, never from the editors; a phone number or message with a ";" or a
// double quote would even end its command early and have the rest carried out
// as a command of its own. Nothing of the scope is sent then.
void Upload(DeviceSession& session, const SettingsTransfer::Pages& pages, DeviceExchange& exchange,
            UploadScope scope) {
    const DiallerSettings settings = pages.Settings().Read();
    if (const std::optional<QString> problem = FindUploadProblem(settings, scope)) {
        ShowErrorMessage(
            SettingsTransfer::tr("Error"),
            *problem + SettingsTransfer::tr("\r\n\r\nNothing has been sent to the ORNEX. Correct "
                                            "the value and send again."));
        return;
    }
    // A list from a file or a dialler may break the editor's rules; the
    // dialler would store a duplicate number once and say nothing.
    if (scope == UploadScope::Contacts || scope == UploadScope::All) {
        const std::vector<ContactListProblem> problems = FindContactListProblems(settings.Contacts);
        if (!problems.empty()) {
            ShowErrorMessage(SettingsTransfer::tr("Send Error"), ContactListProblemsText(problems));
            pages.PageControl->setCurrentWidget(pages.Contacts);
            pages.Contacts->SelectContactRow(problems.front().Row);
            return;
        }
    }
    exchange.Begin();
    WindowUploadFeedback feedback(session);
    UploadSettings(*session.Transport(), feedback, settings, scope,
                   FirmwareVersion{session.FirmwareMajor(), session.FirmwareMinor()});
}

} // namespace

SettingsTransfer::SettingsTransfer(DeviceSession& session, Pages pages, QObject* parent)
    : QObject(parent), mSession(session), mPages(std::move(pages)) {}

void SettingsTransfer::GetAllButtonClick() {
    // The download goes on whether or not the settings were saved.
    if (!mPages.SaveChangesBeforeReplacing()) {
        return;
    }
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    SettingsReply reply;
    const bool received = Download(mSession, tr("Getting all settings from ORNEX"), reply);
    QStringList problems;
    if (received) {
        problems << PutInputs(mPages, reply);
        problems << PutContacts(mPages, reply);
        problems << PutPins(mPages, reply);
    }
    // Logged before any message, so that the time is the transfer's alone
    // and the line follows the transfer's traffic.
    LogTimeTaken(*mSession.Transport(), started);
    if (!received) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(problems);
}

void SettingsTransfer::GetPageButtonClick() {
    QWidget* page = mPages.PageControl->currentWidget();
    if (page != mPages.Contacts && page != mPages.InputsSheet) {
        return;
    }
    const bool contacts = page == mPages.Contacts;
    SettingsReply reply;
    if (!Download(mSession,
                  contacts ? tr("Getting phone numbers from ORNEX")
                           : tr("Getting input settings from ORNEX"),
                  reply)) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(contacts ? PutContacts(mPages, reply) : PutInputs(mPages, reply));
}

void SettingsTransfer::GetPINButtonClick() {
    SettingsReply reply;
    if (!Download(mSession, tr("Getting PINs from ORNEX"), reply)) {
        ShowCommunicationError();
        return;
    }
    ShowProblems(PutPins(mPages, reply));
}

void SettingsTransfer::SendPINButtonClick() {
    DeviceExchange exchange(mSession);
    Upload(mSession, mPages, exchange, UploadScope::Pins);
}

void SettingsTransfer::SendPageButtonClick() {
    DeviceExchange exchange(mSession);
    QWidget* page = mPages.PageControl->currentWidget();
    if (page == mPages.Contacts) {
        // The question comes before the hourglass: the user answers it.
        if (mPages.Contacts->Editor()->AskToStoreContactBeforeSending()) {
            Upload(mSession, mPages, exchange, UploadScope::Contacts);
        }
    } else if (page == mPages.InputsSheet) {
        Upload(mSession, mPages, exchange, UploadScope::Inputs);
    }
}

void SettingsTransfer::SendAllButtonClick() {
    DeviceExchange exchange(mSession);
    // Whole seconds, as the log line reports them.
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    // Send All sends the contact list as it stands; an edit not yet saved in
    // the contact editor is not part of it.
    Upload(mSession, mPages, exchange, UploadScope::All);
    if (exchange.Begun()) {
        LogTimeTaken(*mSession.Transport(), started);
    }
}
