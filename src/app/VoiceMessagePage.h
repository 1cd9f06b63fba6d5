#pragma once

#include "platform/SoundDevices.h"
#include "voice/VoiceMessageStore.h"

#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QToolButton;
class DeviceSession;
class QTimer;
class VoiceRecorder;

// The "Voice Messages" page: one message per input, picked in the radio
// group, listened to, replaced by a recording of up to 15 seconds from the
// PC's sound input, exported to a file and sent to the dialler one by one or
// all together. Button1 and Button2 are service tests of the sound input.
//
// The page works on the window's message table in place; its sends run with
// the window busy like every other exchange with the dialler. Playback and
// the tests hold the window until they end, as the user expects of them.
class VoiceMessagePage : public QWidget {
    Q_OBJECT
public:
    VoiceMessagePage(DeviceSession& session, VoiceMessageTable& messages,
                     QWidget* parent = nullptr);
    ~VoiceMessagePage() override;

    // The sound devices the page plays and records with; the PC's own
    // unless replaced (tests put a fake in).
    void UseSoundDevices(std::unique_ptr<SoundDevices> devices);

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

    // Plays the selected message; the window takes no input until it ends.
    void PlayButtonClick();
    // Starts recording into the selected message; RecordTimer ends it after
    // 15 seconds unless Stop comes first.
    void RecordButtonClick();
    // Ends the recording and puts it into the message that was selected when
    // it started, whatever is selected now.
    void StopButtonClick();
    void RecordTimerTimer();
    // Records five seconds, plays them back and offers to keep them in
    // "tempfile.wav" in the working folder.
    void Button2Click();
    // Captures raw samples into "my_recorded_audio.bin" in the working
    // folder until Escape is held down.
    void Button1Click();

    // The messages the page plays, records into and sends.
    VoiceMessageTable& Messages() const { return mMessages; }

    // Ends a recording 15 seconds after it started.
    QTimer* RecordTimer() const { return mRecordTimer; }

    bool RecordingInProgress = false;

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
    void RecordingFailed(const QString& reason);

    DeviceSession& mSession;
    QTimer* mRecordTimer;
    VoiceMessageTable& mMessages;
    QButtonGroup* mItems = nullptr;
    std::unique_ptr<SoundDevices> mDevices;
    std::unique_ptr<VoiceRecorder> mRecorder;
    // The slot the running recording goes into.
    int mRecordingIndex = -1;
};

// Where a recording waits before it goes into its slot: the system's
// temporary folder.
QString TemporaryRecordingPath();
// Where the record-and-play test keeps its recording, and where the capture
// test writes: the current working folder.
inline const QString SoundTestFileName = QStringLiteral("tempfile.wav");
inline const QString CaptureTestFileName = QStringLiteral("my_recorded_audio.bin");
