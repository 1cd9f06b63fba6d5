#pragma once

#include "app/VoiceMessagePage.h"
#include "device/KnownPortList.h"
#include "settings/DiallerSettings.h"
#include "settings/SettingsBinding.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class AnchorLayout;
class CircleShape;
class ComPort;
class DeviceSearch;
class DeviceTransport;
class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QStatusBar;
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

    // A window whose device search finds nothing: it never touches a port
    // of the machine. The program itself passes CreateSystemDeviceSearch().
    explicit TMainForm(QWidget* parent = nullptr);
    // A window that looks for the dialler with `search`.
    explicit TMainForm(std::unique_ptr<DeviceSearch> search, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The settings as the controls hold them.
    SettingsBinding Settings() const;

    // Window-wide behaviours that other parts of the program call.
    void SettingsChange();
    // Names the settings file in the caption ("ORNEX - site.ornex"), or no
    // file when `fileName` is empty, and clears the modified mark.
    void ShowSettingsCaption(const QString& fileName);
    // Closes the gaps in the contact list; the selection follows its row.
    void CompactContactList();
    bool SettingsModified() const;
    void PageControlChange();
    void ShowActivity(const QString& text);
    void StatusBarResize();

    // About window.
    void AboutMenuItemClick();

    // Service staff reach the Voice Messages page and the Reflash button,
    // which an installer never sees.
    void SetServiceMode(bool on);

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
    VoiceMessagePage* VoiceMessageSheet = nullptr;
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

    QTextEdit* TxRxRichEdit = nullptr;
    QPushButton* ClearDebugButton = nullptr;

    QWidget* PageButtonsPanel = nullptr;
    QPushButton* GetPageButton = nullptr;
    QPushButton* SendPageButton = nullptr;
    QPushButton* GetAllButton = nullptr;
    QPushButton* SendAllButton = nullptr;

    QStatusBar* StatusBar = nullptr;
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

    // Connection supervisor: finds the one attached dialler, connects, and
    // keeps the link while the program runs.
    bool DeviceConnected = false;
    int FirmwareMajor = 0;
    int FirmwareMinor = 0;
    int HardwareVariant = 0;
    void CheckPortTimerTimer();
    void DisconnectButtonClick();
    void CheckForORNEXFileMenuItemClick();

    // Output control.
    void SetOutputButtonClick(QObject* sender);
    // Paints the output's lamp from a fresh status query.
    void ShowOutputState(int output);
    void RefreshOutputStates();

    // Settings download: the three Get buttons.
    void GetAllButtonClick();
    void GetPageButtonClick();
    void GetPINButtonClick();

    // Tables of the generated controls.
    std::array<QCheckBox*, 2 + SettingsLimits::InputCount> EditorCheckBoxes{};
    InputControlTable InputControls{};
    std::array<OutputControlSet, SettingsLimits::OutputCount> OutputControls{};

private:
    void WireAbout();
    void UpdateCaption();

    // The modified mark: the caption shows it, but a file name may hold
    // a "*" of its own, so the caption is never read back.
    bool mSettingsModified = false;
    QString mCaptionFileName;

    void BuildMenus();
    void BuildPinPanel(QWidget* client, AnchorLayout& anchors);
    void BuildPages(QWidget* client, AnchorLayout& anchors);
    void BuildPhoneNumbersPage();
    void BuildDebugPage();
    void BuildPageButtons(QWidget* client, AnchorLayout& anchors);
    void BuildStatusBar(QWidget* client);
    void FormCreate();
    void CreateOutputRow(int output);
    void CreateInputRow(int input, int top);

    void RetriesEditChange();
    void DialAttemptsExit(int input);

    void WireTransport();

    // Contact editor beside the contact list.
public:
    void PhoneNumbersListViewSelectItem();
    // The right mouse button going down or up over the list; the popup menu
    // opens once per click, when the button comes up.
    void PhoneNumbersListViewMouseUpDown(Qt::MouseButton button, bool down,
                                         const QPoint& globalPos);
    void PhoneNumberEditEnter();
    void PhoneNumberEditExit();
    void PhoneNumberEditChange();
    void PhoneNumberEditKeyUpDown();
    void PhoneNumberEditKeyPress();
    void AllInputsCheckBoxClick();
    void InputCheckBoxClick();
    void SaveButtonClick();
    void RevertButtonClick();
    void DeleteButtonClick();
    void MoveToTopOfListMenuItemClick();
    void MoveUpListMenuItemClick();
    void MoveDownListMenuItemClick();
    void MoveToEndOfListMenuItemClick();

    // True when the editor differs from the row it last loaded or stored.
    bool ContactEditorModified() const;
    // Checks the editor's entry against the other rows and writes it into
    // `row`. A refusal has been shown and the focus is in the phone field.
    bool StoreContactFromEditor(int row);
    // Empties the editor and drops the selection without asking, for
    // callers that have just replaced the whole list.
    void ClearContactEditor();
    // Before the contact list is sent: offers to store a pending edit at its
    // own location. False when the user wanted it stored and it was refused,
    // so nothing should be sent.
    bool AskToStoreContactBeforeSending();
    // The selected row, -1 for none; selecting runs the selection rule.
    int SelectedContactRow() const;
    void SelectContactRow(int row);

    std::array<bool, 2 + SettingsLimits::InputCount> StoredChecked{};
    QString LastValidPhoneText;
    int LastValidSelStart = 0;
    int LastValidSelLength = 0;

private:
    void WireContacts();
    void RememberPhoneSelection();
    void TrackContactEditor();
    void UpdateSaveRevertButtons();
    void SetAllInputsState(Qt::CheckState state);
    void SetContactEditorEnabled(bool enabled);
    void FocusListAfterEditorButton();

    bool mPhoneChangeSuspended = false;
    bool mRightButtonDown = false;

    // Settings files and the File menu.
public:
    void NewFileMenuItemClick();
    void OpenFileMenuItemClick();
    // Runs Save As while no file has been opened or saved yet.
    void SaveFileMenuItemClick();
    void SaveAsFileMenuItemClick();
    void ExitFileMenuItemClick();

    // Full path of the settings file last opened or saved; empty at start.
    QString CurrentSettingsFile;
    QFileDialog* SettingsOpenDialog = nullptr;
    QFileDialog* SettingsSaveDialog = nullptr;

private:
    void WireFiles();
    // Asks "Settings Changed" before the settings are replaced; false when
    // the user cancels.
    bool SaveChangesBeforeReplacing();
    bool WriteSettingsTo(const QString& path);
    // Runs a file dialog; the file the user chose, empty for none.
    QString ChooseSettingsFile(QFileDialog* dialog);

    // Field checks and the close query.
public:
    void AdminPINEditExit();
    void UserPINEditExit();
    void SMSMessageEditExit(QLineEdit* field);
    // Whether the window may close now; asks to save modified settings.
    bool FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void WireValidation();
    void PinEditExit(QLineEdit* field, QLineEdit* otherField);
    // Settings the user agreed to leave as they are when the session ended;
    // the close that follows does not ask again while they are unchanged.
    std::optional<DiallerSettings> SettingsAgreedAtSessionEnd;

    void WireDevice();
    bool ConnectToDialler(const QString& portName);
    void HideVoiceMessageLabels();
    void EnableDeviceButtons(bool enabled);
    std::unique_ptr<DeviceSearch> mDeviceSearch;
    KnownPortList mKnownPorts;

    void WireOutputs();
    void PaintOutputsUnknown();

public:
    // Settings upload: the Send buttons write the settings into the dialler
    // and have it store them in flash.
    void SendPINButtonClick();
    void SendPageButtonClick();
    void SendAllButtonClick();

private:
    void WireUpload();
    void WireDownload();

public:
    // Firmware upgrade: the Reflash button writes the firmware image into
    // the dialler through its bootloader.
    void TestReflashButtonClick();

private:
    void WireFirmware();
};
