#include "app/TMainForm.h"

#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/InputsPage.h"
#include "app/SettingsFileDialogs.h"
#include "app/VoiceMessagePage.h"
#include "device/DeviceSession.h"
#include "dialogs/MessageDialog.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QTabWidget>
#include <QTreeWidget>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

void TMainForm::WireFiles() {
    mSettingsOpenDialog =
        MakeSettingsFileDialog(this, "SettingsOpenDialog", QFileDialog::AcceptOpen);
    mSettingsOpenDialog->setFileMode(QFileDialog::ExistingFile);
    mSettingsSaveDialog =
        MakeSettingsFileDialog(this, "SettingsSaveDialog", QFileDialog::AcceptSave);
    mSettingsSaveDialog->setFileMode(QFileDialog::AnyFile);
    // The name chosen here may still get the extension appended; only then
    // is it known which file would be replaced, so the question is ours.
    mSettingsSaveDialog->setOption(QFileDialog::DontConfirmOverwrite);

    connect(mNewFileMenuItem, &QAction::triggered, this, &TMainForm::NewFileMenuItemClick);
    connect(mOpenFileMenuItem, &QAction::triggered, this, &TMainForm::OpenFileMenuItemClick);
    connect(mSaveFileMenuItem, &QAction::triggered, this, &TMainForm::SaveFileMenuItemClick);
    connect(mSaveAsFileMenuItem, &QAction::triggered, this, &TMainForm::SaveAsFileMenuItemClick);
    connect(mExitFileMenuItem, &QAction::triggered, this, &TMainForm::ExitFileMenuItemClick);
}

bool TMainForm::SaveChangesBeforeReplacing() {
    if (!SettingsModified()) {
        return true;
    }
    const int answer =
        ShowMessageDialog(QStringLiteral("Settings Changed"),
                          QStringLiteral("Do you want to save the current settings first?"),
                          QStringLiteral("&Yes\r\n&No\r\n&Cancel"), QuestionIcon, 1);
    if (answer == 3) {
        return false;
    }
    if (answer == 1) {
        // Whatever the save's outcome, the user has chosen to go on.
        SaveFileMenuItemClick();
    }
    return true;
}

bool TMainForm::WriteSettingsTo(const QString& path) {
    const SettingsFileResult result = WriteSettingsFile(path, Settings().Read());
    if (!result.Ok()) {
        ShowErrorMessage(QStringLiteral("Error"), SettingsFileSaveErrorText(result, path));
        return false;
    }
    ShowSettingsCaption(QFileInfo(path).fileName());
    return true;
}

void TMainForm::NewFileMenuItemClick() {
    if (!SaveChangesBeforeReplacing()) {
        return;
    }
    mLoadingSettings = true;
    mInputs->SetAttemptsEditQuiet(true);
    ShowSettingsCaption(QString());
    // The caption no longer names a file, so Save must not write the new
    // settings over the file opened before without asking for a name.
    mCurrentSettingsFile.clear();

    const SettingsBinding binding = Settings();
    binding.WritePins(SettingsLimits::AdminPinDefault, SettingsLimits::UserPinDefault);
    Editor()->ClearContactEditor();
    // The voice message indicators report what the dialler holds, which a
    // new set of settings does not change.
    InputSettingsList inputs = binding.ReadInputs();
    for (InputSettings& input : inputs) {
        const bool voiceMessageMissing = input.VoiceMessageMissing;
        input = InputSettings{};
        input.VoiceMessageMissing = voiceMessageMissing;
    }
    binding.WriteInputs(inputs);

    mPageControl->setCurrentWidget(mContacts);
    mVoice->SelectMessage(0);
    binding.WriteContacts(ContactList{});

    PageControlChange();
    mLoadingSettings = false;
}

void TMainForm::OpenFileMenuItemClick() {
    mSettingsOpenDialog->setNameFilter(SettingsFileFormat::DialogFilter);
    mSettingsOpenDialog->selectFile(QString());
    if (!SaveChangesBeforeReplacing()) {
        return;
    }
    const QString path = ChooseSettingsFile(mSettingsOpenDialog, this);
    if (path.isEmpty()) {
        return;
    }

    DiallerSettings settings;
    const SettingsFileResult result = ReadSettingsFile(path, settings);
    if (!result.Ok()) {
        ShowErrorMessage(QStringLiteral("Error"), SettingsFileErrorText(result));
        return;
    }
    // Every location stays where the file has it; the voice message
    // indicators are cleared, as the file says nothing about the dialler.
    Settings().Write(settings);
    mContacts->PhoneNumbersListView()->clearSelection();
    mContacts->PhoneNumbersListView()->setCurrentItem(nullptr);
    Editor()->SetCurrentContactRow(-1);
    mCurrentSettingsFile = path;
    ShowSettingsCaption(QFileInfo(path).fileName());
}

bool TMainForm::SaveFileMenuItemClick() {
    if (mCurrentSettingsFile.isEmpty()) {
        return SaveAsFileMenuItemClick();
    }
    return WriteSettingsTo(mCurrentSettingsFile);
}

bool TMainForm::SaveAsFileMenuItemClick() {
    mSettingsSaveDialog->setNameFilter(SettingsFileFormat::DialogFilter);
    const QString chosen = ChooseSettingsFile(mSettingsSaveDialog, this);
    if (chosen.isEmpty()) {
        return false;
    }
    const QString path = SettingsFilePathWithExtension(chosen);
    if (QFileInfo::exists(path)) {
        const int answer =
            ShowMessageDialog(QStringLiteral("Warning"), QStringLiteral("Overwrite existing file?"),
                              QStringLiteral("&Yes\r\n&No"), WarningIcon, 1);
        if (answer != 1) {
            return false;
        }
    }
    if (!WriteSettingsTo(path)) {
        return false;
    }
    mCurrentSettingsFile = path;
    return true;
}

void TMainForm::ExitFileMenuItemClick() {
    // The same way out as the title bar's close button, with its questions.
    close();
}

void TMainForm::WireSessionEnd() {
#if QT_CONFIG(sessionmanager)
    // Logging off or shutting down asks the same question as closing the
    // window; the answer Cancel stops the session from ending.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        mSettingsAgreedAtSessionEnd.reset();
        if (!manager.allowsInteraction()) {
            return;
        }
        const bool mayClose = FormCloseQuery();
        manager.release();
        if (!mayClose) {
            manager.cancel();
            return;
        }
        mSettingsAgreedAtSessionEnd = Settings().Read();
    });
#endif
}

bool TMainForm::FormCloseQuery() {
    // An exchange with the dialler is under way (showing a message, most
    // likely); closing now would leave the dialler half written.
    if (mSession->DeviceBusy()) {
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
        // The changes would be lost: a cancelled or failed save keeps the
        // window open with its mark, as Cancel does.
        return SaveFileMenuItemClick();
    case 2:
        return true;
    default:
        return false;
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const bool agreedAtSessionEnd = !mSession->DeviceBusy() &&
                                    mSettingsAgreedAtSessionEnd.has_value() &&
                                    *mSettingsAgreedAtSessionEnd == Settings().Read();
    if (agreedAtSessionEnd || FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}
