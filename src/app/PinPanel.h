#pragma once

#include <QWidget>

class ConnectionSupervisor;
class QLineEdit;
class QPushButton;

// The strip above the pages: the two PINs, the buttons that read and write
// only them, and the service staff's Disconnect.
class PinPanel : public QWidget {
    Q_OBJECT
public:
    PinPanel(ConnectionSupervisor& supervisor, QWidget* parent = nullptr);

    QLineEdit* AdminPINEdit() const { return mAdminPINEdit; }
    QLineEdit* UserPINEdit() const { return mUserPINEdit; }
    QPushButton* GetPINButton() const { return mGetPINButton; }
    QPushButton* SendPINButton() const { return mSendPINButton; }
    QPushButton* DisconnectButton() const { return mDisconnectButton; }

    void AdminPINEditExit();
    void UserPINEditExit();
    // Drops the link and stops looking for the dialler, or, pressed again
    // as "Connect", looks for it at once.
    void DisconnectButtonClick();

signals:
    // The user changed a PIN.
    void Changed();

private:
    void PinEditExit(QLineEdit* field, QLineEdit* otherField);

    ConnectionSupervisor& mSupervisor;
    QLineEdit* mAdminPINEdit;
    QLineEdit* mUserPINEdit;
    QPushButton* mDisconnectButton;
    QPushButton* mGetPINButton;
    QPushButton* mSendPINButton;
    bool mDisconnected = false;
};
