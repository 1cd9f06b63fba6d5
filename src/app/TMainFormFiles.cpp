#include "app/TMainForm.h"

#include "dialogs/MessageDialog.h"
#include "settings/SettingsFile.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

QFileDialog* MakeSettingsFileDialog(QWidget* parent, const char* name,
                                    QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    // Qt's own dialog looks and behaves the same on every system.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setNameFilter(SettingsFileFormat::DialogFilter);
    // Installers copy settings files between Windows and Linux machines;
    // "SITE.ORNEX" is a settings file wherever it lands.
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    return dialog;
}

} // namespace

QString TMainForm::ChooseSettingsFile(QFileDialog* dialog) {
    const bool chosen = dialog->exec() == QDialog::Accepted;
    // A name typed into the dialog opens its completion list, and Enter in
    // that list closes the dialog while the list stays open, unseen, with
    // the keyboard: the next key (an accelerator, say) would only close it.
    for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
        if (const QCompleter* completer = field->completer()) {
            completer->popup()->hide();
        }
    }
    activateWindow();
    return chosen ? dialog->selectedFiles().value(0) : QString();
}

void TMainForm::WireFiles() {
    SettingsOpenDialog =
        MakeSettingsFileDialog(this, "SettingsOpenDialog", QFileDialog::AcceptOpen);
    SettingsOpenDialog->setFileMode(QFileDialog::ExistingFile);
    SettingsSaveDialog =
        MakeSettingsFileDialog(this, "SettingsSaveDialog", QFileDialog::AcceptSave);
    SettingsSaveDialog->setFileMode(QFileDialog::AnyFile);
    // The name chosen here may still get the extension appended; only then
    // is it known which file would be replaced, so the question is ours.
    SettingsSaveDialog->setOption(QFileDialog::DontConfirmOverwrite);

    connect(NewFileMenuItem, &QAction::triggered, this, &TMainForm::NewFileMenuItemClick);
    connect(OpenFileMenuItem, &QAction::triggered, this, &TMainForm::OpenFileMenuItemClick);
    connect(SaveFileMenuItem, &QAction::triggered, this, &TMainForm::SaveFileMenuItemClick);
    connect(SaveAsFileMenuItem, &QAction::triggered, this, &TMainForm::SaveAsFileMenuItemClick);
    connect(ExitFileMenuItem, &QAction::triggered, this, &TMainForm::ExitFileMenuItemClick);
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
    LoadingSettings = true;
    AttemptsEditQuiet = true;
    ShowSettingsCaption(QString());
    // The caption no longer names a file, so Save must not write the new
    // settings over the file opened before without asking for a name.
    CurrentSettingsFile.clear();

    const SettingsBinding binding = Settings();
    binding.WritePins(SettingsLimits::AdminPinDefault, SettingsLimits::UserPinDefault);
    ClearContactEditor();
    // The voice message indicators report what the dialler holds, which a
    // new set of settings does not change.
    InputSettingsList inputs = binding.ReadInputs();
    for (InputSettings& input : inputs) {
        const bool voiceMessageMissing = input.VoiceMessageMissing;
        input = InputSettings{};
        input.VoiceMessageMissing = voiceMessageMissing;
    }
    binding.WriteInputs(inputs);

    PageControl->setCurrentWidget(PhoneNumbersSheet);
    VoiceMessageSheet->SelectMessage(0);
    binding.WriteContacts(ContactList{});

    PageControlChange();
    LoadingSettings = false;
}

void TMainForm::OpenFileMenuItemClick() {
    SettingsOpenDialog->setNameFilter(SettingsFileFormat::DialogFilter);
    SettingsOpenDialog->selectFile(QString());
    if (!SaveChangesBeforeReplacing()) {
        return;
    }
    const QString path = ChooseSettingsFile(SettingsOpenDialog);
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
    PhoneNumbersListView->clearSelection();
    PhoneNumbersListView->setCurrentItem(nullptr);
    CurrentContactRow = -1;
    CurrentSettingsFile = path;
    ShowSettingsCaption(QFileInfo(path).fileName());
}

void TMainForm::SaveFileMenuItemClick() {
    if (CurrentSettingsFile.isEmpty()) {
        SaveAsFileMenuItemClick();
        return;
    }
    WriteSettingsTo(CurrentSettingsFile);
}

void TMainForm::SaveAsFileMenuItemClick() {
    SettingsSaveDialog->setNameFilter(SettingsFileFormat::DialogFilter);
    const QString chosen = ChooseSettingsFile(SettingsSaveDialog);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = SettingsFilePathWithExtension(chosen);
    if (QFileInfo::exists(path)) {
        const int answer =
            ShowMessageDialog(QStringLiteral("Warning"), QStringLiteral("Overwrite existing file?"),
                              QStringLiteral("&Yes\r\n&No"), WarningIcon, 1);
        if (answer != 1) {
            return;
        }
    }
    if (WriteSettingsTo(path)) {
        CurrentSettingsFile = path;
    }
}

void TMainForm::ExitFileMenuItemClick() {
    // The same way out as the title bar's close button, with its questions.
    close();
}
