#pragma once

#include "settings/DiallerSettings.h"
#include "settings/SettingsBinding.h"

#include <QMainWindow>

#include <array>

class AnchorLayout;
class CircleShape;
class ComPort;
class DeviceTransport;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTextEdit;
class QTimer;
class QTreeWidget;
class UpDown;

// The three controls of one output on the Outputs page.
struct OutputControlSet {
    QPushButton* OnButton = nullptr;
    QPushButton* OffButton = nullptr;
    CircleShape* Status = nullptr;
};

// The program's one window. The settings live in its controls for the whole
// run; the download, upload and file commands reach them through the
// settings binding.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 836;
    static constexpr int ClientHeight = 651;
    static constexpr int StatusBarHeight = 19;
    static constexpr int ConnectionPanelWidth = 275;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The settings as the controls hold them.
    SettingsBinding Settings() const;

    // Window-wide behaviours that other parts of the program call.
    void SettingsChange();
    // Closes the gaps in the contact list; the selection follows its row.
    void CompactContactList();
    bool SettingsModified() const;
    void PageControlChange();
    void ShowActivity(const QString& text);
    void StatusBarResize();

    // About window.
    void AboutMenuItemClick();

    // Flags of the settings model.
    bool LoadingSettings = true;
    bool AttemptsEditQuiet = true;
    bool DeviceBusy = false;
    int CurrentContactRow = -1;

    // Fixed controls.
    QWidget* PINPanel = nullptr;
    QLineEdit* AdminPINEdit = nullptr;
    QLineEdit* UserPINEdit = nullptr;
    QPushButton* GetPINButton = nullptr;
    QPushButton* SendPINButton = nullptr;
    QPushButton* DisconnectButton = nullptr;

    QTabWidget* PageControl = nullptr;
    QWidget* PhoneNumbersSheet = nullptr;
    QWidget* InputsSheet = nullptr;
    QWidget* VoiceMessageSheet = nullptr;
    QWidget* OutputsSheet = nullptr;
    QWidget* DebugSheet = nullptr;

    QTreeWidget* PhoneNumbersListView = nullptr;
    QMenu* PhoneNumbersListPopupMenu = nullptr;
    QAction* MoveToTopOfListMenuItem = nullptr;
    QAction* MoveUpListMenuItem = nullptr;
    QAction* MoveDownListMenuItem = nullptr;
    QAction* MoveToEndOfListMenuItem = nullptr;

    QFrame* PhoneNumberEditPanel = nullptr;
    QLineEdit* PhoneNumberEdit = nullptr;
    QCheckBox* SMSCheckBox = nullptr;
    QCheckBox* VoiceCheckBox = nullptr;
    QCheckBox* AllInputsCheckBox = nullptr;
    QPushButton* RevertButton = nullptr;
    QPushButton* DeleteButton = nullptr;
    QPushButton* SaveButton = nullptr;

    QScrollArea* InputsScrollBox = nullptr;
    QWidget* InputsScrollContent = nullptr;
    QScrollArea* OutputsScrollBox = nullptr;
    QWidget* OutputsScrollContent = nullptr;
    QPushButton* TestReflashButton = nullptr;

    QGroupBox* MessageSelectRadioGroup = nullptr;
    QPushButton* PlayButton = nullptr;
    QPushButton* RecordButton = nullptr;
    QPushButton* StopButton = nullptr;
    QPushButton* SendMessageButton = nullptr;
    QPushButton* SendAllMessagesButton = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

    QTextEdit* TxRxRichEdit = nullptr;
    QPushButton* ClearDebugButton = nullptr;

    QWidget* PageButtonsPanel = nullptr;
    QPushButton* GetPageButton = nullptr;
    QPushButton* SendPageButton = nullptr;
    QPushButton* GetAllButton = nullptr;
    QPushButton* SendAllButton = nullptr;

    QWidget* StatusBar = nullptr;
    std::array<QLabel*, 2> StatusPanels{};

    QAction* NewFileMenuItem = nullptr;
    QAction* OpenFileMenuItem = nullptr;
    QAction* SaveFileMenuItem = nullptr;
    QAction* SaveAsFileMenuItem = nullptr;
    QAction* CheckForORNEXFileMenuItem = nullptr;
    QAction* ExitFileMenuItem = nullptr;
    QAction* AboutMenuItem = nullptr;

    QTimer* CheckPortTimer = nullptr;
    QTimer* RecordTimer = nullptr;

    // Serial transport and traffic log. The window owns the port and the
    // transport; the traffic log writes into TxRxRichEdit.
    ::ComPort* ComPort = nullptr;
    DeviceTransport* Transport = nullptr;
    void ClearDebugButtonClick();
    // Runs the connection supervisor 1 ms after events are processed again.
    void RestartPortCheck();
    bool TrafficLogActive() const;

    // Settings download: the three Get buttons.
    void GetAllButtonClick();
    void GetPageButtonClick();
    void GetPINButtonClick();
    // File menu Save and the contact editor, which the download calls.
    void SaveFileMenuItemClick();
    void ClearContactEditor();

    // Tables of the generated controls.
    std::array<QCheckBox*, 2 + SettingsLimits::InputCount> EditorCheckBoxes{};
    InputControlTable InputControls{};
    std::array<OutputControlSet, SettingsLimits::OutputCount> OutputControls{};

private:
    void WireAbout();

    void BuildMenus();
    void BuildPinPanel(QWidget* client, AnchorLayout& anchors);
    void BuildPages(QWidget* client, AnchorLayout& anchors);
    void BuildPhoneNumbersPage();
    void BuildVoiceMessagePage();
    void BuildDebugPage();
    void BuildPageButtons(QWidget* client, AnchorLayout& anchors);
    void BuildStatusBar(QWidget* client);
    void FormCreate();
    void CreateOutputRow(int output);
    void CreateInputRow(int input, int top);

    void RetriesEditChange();
    void DialAttemptsExit(int input);

    void WireTransport();
    void WireDownload();
};
