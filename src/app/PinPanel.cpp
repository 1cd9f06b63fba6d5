#include "app/PinPanel.h"

#include "app/PageWidgets.h"
#include "device/ConnectionSupervisor.h"
#include "dialogs/MessageDialog.h"
#include "platform/FieldEvents.h"
#include "settings/DiallerSettings.h"
#include "settings/FieldExitRules.h"

#include <QLineEdit>

PinPanel::PinPanel(ConnectionSupervisor& supervisor, QWidget* parent)
    : QWidget(parent), mSupervisor(supervisor) {
    setObjectName(QStringLiteral("PINPanel"));
    mAdminPINEdit = Named(new QLineEdit(this), "AdminPINEdit");
    mAdminPINEdit->setGeometry(67, 10, 121, 21);
    mUserPINEdit = Named(new QLineEdit(this), "UserPINEdit");
    mUserPINEdit->setGeometry(268, 10, 121, 21);
    for (QLineEdit* pin : {mAdminPINEdit, mUserPINEdit}) {
        pin->setMaxLength(SettingsLimits::PinMaxLength);
        AcceptTypedDigitsOnly(pin);
        connect(pin, &QLineEdit::textChanged, this, &PinPanel::Changed);
    }
    MakeLabel(this, QStringLiteral("AdminPINLabel"), tr("&Admin PIN "), QPoint(8, 13))
        ->setBuddy(mAdminPINEdit);
    MakeLabel(this, QStringLiteral("UserPINLabel"), tr("&User PIN "), QPoint(214, 13))
        ->setBuddy(mUserPINEdit);

    mDisconnectButton = MakeButton(this, "DisconnectButton", tr("Disco&nnect"));
    mDisconnectButton->setGeometry(395, 8, 70, 25);
    mGetPINButton = MakeButton(this, "GetPINButton", tr("Get PINs from ORNEX"));
    mGetPINButton->setGeometry(471, 8, 150, 25);
    mSendPINButton = MakeButton(this, "SendPINButton", tr("Send PINs to ORNEX"));
    mSendPINButton->setGeometry(653, 8, 150, 25);
    mGetPINButton->setEnabled(false);
    mSendPINButton->setEnabled(false);
    mDisconnectButton->hide();

    OnFieldExit(mAdminPINEdit, [this] { AdminPINEditExit(); });
    OnFieldExit(mUserPINEdit, [this] { UserPINEditExit(); });
    connect(mDisconnectButton, &QPushButton::clicked, this, &PinPanel::DisconnectButtonClick);
}

void PinPanel::PinEditExit(QLineEdit* field, QLineEdit* otherField) {
    switch (CheckPinOnExit(field->text(), otherField->text())) {
    case PinExitVerdict::Accept:
        return;
    case PinExitVerdict::KeepFocus:
        ReturnFocusTo(field);
        return;
    case PinExitVerdict::SameAsOtherPin: {
        const QString text = SamePinsText(field == mAdminPINEdit);
        ReturnFocusTo(field, {}, [text] { ShowErrorMessage(QStringLiteral("PIN Error"), text); });
        return;
    }
    }
}

void PinPanel::AdminPINEditExit() {
    PinEditExit(mAdminPINEdit, mUserPINEdit);
}

void PinPanel::UserPINEditExit() {
    PinEditExit(mUserPINEdit, mAdminPINEdit);
}

void PinPanel::DisconnectButtonClick() {
    mDisconnected = !mDisconnected;
    mDisconnectButton->setText(mDisconnected ? tr("Co&nnect") : tr("Disco&nnect"));
    if (mDisconnected) {
        mSupervisor.Disconnect();
    } else {
        mSupervisor.Resume();
    }
}
