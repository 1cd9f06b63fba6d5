#pragma once

#include "settings/SettingsBinding.h"

#include <QWidget>

class QLineEdit;
class QScrollArea;

// The "Inputs" page: one row per alarm input with its normally open/closed
// and latching/slave choices, its dialling attempts, its SMS text and the
// dialler's report that it holds no voice message for it.
class InputsPage : public QWidget {
    Q_OBJECT
public:
    explicit InputsPage(QWidget* parent = nullptr);

    const InputControlTable& InputControls() const { return mInputControls; }
    QScrollArea* InputsScrollBox() const { return mInputsScrollBox; }
    QWidget* InputsScrollContent() const { return mInputsScrollContent; }

    // While quiet, the attempts edits change without marking the settings:
    // until the page is first shown, only the program puts values in them.
    bool AttemptsEditQuiet() const { return mAttemptsEditQuiet; }
    void SetAttemptsEditQuiet(bool quiet) { mAttemptsEditQuiet = quiet; }

    void RetriesEditChange();
    void DialAttemptsExit(int input);
    void SMSMessageEditExit(QLineEdit* field);
    void HideVoiceMessageLabels();

signals:
    // The user changed an input's setting.
    void Changed();

private:
    void CreateInputRow(int input, int top);

    QScrollArea* mInputsScrollBox;
    QWidget* mInputsScrollContent;
    InputControlTable mInputControls{};
    bool mAttemptsEditQuiet = true;
};
