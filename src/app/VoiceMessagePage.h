#pragma once

#include "voice/VoiceMessageStore.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QToolButton;
class TMainForm;

// The "Voice Messages" page: one message per input, picked in the radio
// group, exported to a file and sent to the dialler one by one or all
// together. Play, Record, Stop and the two test buttons have no function yet.
//
// The page works on the window's message table in place; its sends run with
// the window busy like every other exchange with the dialler.
class VoiceMessagePage : public QWidget {
    Q_OBJECT
public:
    VoiceMessagePage(TMainForm& form, VoiceMessageTable& messages, QWidget* parent = nullptr);

    // The start-up fill: loads each input's voice file from the current
    // working directory into its slot and lists the inputs with the
    // durations of their messages. A file that cannot be read leaves an
    // empty message, silently.
    void FillFromVoiceFiles();

    // The selected item's index, which is also the slot's; -1 for none.
    int SelectedIndex() const;
    void SelectMessage(int index);

    void SendMessageButtonClick();
    void SendAllMessagesButtonClick();
    // Exports the selected message to "Volume_Adjusted_Message_N.wav" in
    // the current working directory; a file that cannot be written is
    // skipped silently.
    void Button3Click();

    QGroupBox* MessageSelectRadioGroup = nullptr;
    std::array<QRadioButton*, SettingsLimits::InputCount> MessageItems{};
    QPushButton* PlayButton = nullptr;
    QPushButton* RecordButton = nullptr;
    QPushButton* StopButton = nullptr;
    QToolButton* SendMessageButton = nullptr;
    QToolButton* SendAllMessagesButton = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

private:
    TMainForm& mForm;
    VoiceMessageTable& mMessages;
    QButtonGroup* mItems = nullptr;
};
