#pragma once

#include "settings/SettingsBinding.h"

#include <QObject>

#include <functional>

class ContactsPage;
class DeviceSession;
class QTabWidget;

// The Get and Send buttons: reads the settings from the dialler into the
// pages, or writes the pages' settings into it, all of them, one page's or
// only the PINs.
class SettingsTransfer : public QObject {
    Q_OBJECT
public:
    struct Pages {
        QTabWidget* PageControl;
        ContactsPage* Contacts;
        QWidget* InputsSheet;
        // The settings as the pages' controls hold them.
        std::function<SettingsBinding()> Settings;
        // Offers to save modified settings before they are replaced; false
        // when the user cancels.
        std::function<bool()> SaveChangesBeforeReplacing;
    };

    SettingsTransfer(DeviceSession& session, Pages pages, QObject* parent = nullptr);

    void GetAllButtonClick();
    // The page in front: Phone Numbers or Inputs.
    void GetPageButtonClick();
    void GetPINButtonClick();
    void SendPINButtonClick();
    void SendPageButtonClick();
    void SendAllButtonClick();

private:
    DeviceSession& mSession;
    Pages mPages;
};
