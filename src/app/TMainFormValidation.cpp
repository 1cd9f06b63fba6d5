#include "app/TMainForm.h"

#include "dialogs/MessageDialog.h"
#include "platform/FieldEvents.h"
#include "settings/FieldExitRules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

void TMainForm::WireValidation() {
    OnFieldExit(AdminPINEdit, [this] { AdminPINEditExit(); });
    OnFieldExit(UserPINEdit, [this] { UserPINEditExit(); });
    for (const InputControlSet& controls : InputControls) {
        QLineEdit* field = controls.SMSMessageEdit;
        OnFieldExit(field, [this, field] { SMSMessageEditExit(field); });
    }

#if QT_CONFIG(sessionmanager)
    // Logging off or shutting down asks the same question as closing the
    // window; the answer Cancel stops the session from ending.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        SettingsAgreedAtSessionEnd.reset();
        if (!manager.allowsInteraction()) {
            return;
        }
        const bool mayClose = FormCloseQuery();
        manager.release();
        if (!mayClose) {
            manager.cancel();
            return;
        }
        SettingsAgreedAtSessionEnd = Settings().Read();
    });
#endif
}

void TMainForm::PinEditExit(QLineEdit* field, QLineEdit* otherField) {
    switch (CheckPinOnExit(field->text(), otherField->text())) {
    case PinExitVerdict::Accept:
        return;
    case PinExitVerdict::KeepFocus:
        ReturnFocusTo(field);
        return;
    case PinExitVerdict::SameAsOtherPin: {
        const QString text = SamePinsText(field == AdminPINEdit);
        ReturnFocusTo(field, {}, [text] { ShowErrorMessage(QStringLiteral("PIN Error"), text); });
        return;
    }
    }
}

void TMainForm::AdminPINEditExit() {
    PinEditExit(AdminPINEdit, UserPINEdit);
}

void TMainForm::UserPINEditExit() {
    PinEditExit(UserPINEdit, AdminPINEdit);
}

void TMainForm::SMSMessageEditExit(QLineEdit* field) {
    const SmsMessageExitVerdict verdict = CheckSmsMessageOnExit(field->text());
    if (verdict.Trimmed != field->text()) {
        // A change like any other: it marks the settings modified.
        field->setText(verdict.Trimmed);
    }
    if (verdict.HasDoubleQuote) {
        ReturnFocusTo(field,
                      [] { ShowErrorMessage(QStringLiteral("Message Error"), DoubleQuoteText()); });
    }
}

bool TMainForm::FormCloseQuery() {
    // An exchange with the dialler is under way (showing a message, most
    // likely); closing now would leave the dialler half written.
    if (DeviceBusy) {
        return false;
    }
    if (!SettingsModified()) {
        return true;
    }
    const int answer = ShowMessageDialog(
        QStringLiteral("Settings Changed"),
        QStringLiteral("Do you want to save the current settings before closing?"),
        QStringLiteral("&Yes\r\n&No\r\n&Cancel"), QuestionIcon, 1);
    switch (answer) {
    case 1:
        // The user has had the chance to save; a failed or cancelled save
        // does not keep the window open.
        SaveFileMenuItemClick();
        return true;
    case 2:
        return true;
    default:
        return false;
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const bool agreedAtSessionEnd = !DeviceBusy && SettingsAgreedAtSessionEnd.has_value() &&
                                    *SettingsAgreedAtSessionEnd == Settings().Read();
    if (agreedAtSessionEnd || FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}
