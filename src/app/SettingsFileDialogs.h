#pragma once

#include <QFileDialog>

// The Open and Save As dialogs of settings files: Qt's own dialog, filtered
// to settings files whatever the case of their names.
QFileDialog* MakeSettingsFileDialog(QWidget* parent, const char* name,
                                    QFileDialog::AcceptMode mode);

// Runs a settings file dialog over `window` and gives the file the user
// chose, empty for none; the window has the keyboard again afterwards.
QString ChooseSettingsFile(QFileDialog* dialog, QWidget* window);
