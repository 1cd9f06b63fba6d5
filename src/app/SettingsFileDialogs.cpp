#include "app/SettingsFileDialogs.h"

#include "settings/SettingsFile.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QLineEdit>

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

QString ChooseSettingsFile(QFileDialog* dialog, QWidget* window) {
    const bool chosen = dialog->exec() == QDialog::Accepted;
    // A name typed into the dialog opens its completion list, and Enter in
    // that list closes the dialog while the list stays open, unseen, with
    // the keyboard: the next key (an accelerator, say) would only close it.
    for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
        if (const QCompleter* completer = field->completer()) {
            completer->popup()->hide();
        }
    }
    window->activateWindow();
    return chosen ? dialog->selectedFiles().value(0) : QString();
}
