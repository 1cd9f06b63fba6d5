#pragma once

#include "settings/DiallerSettings.h"
#include "settings/SettingsBinding.h"
#include "voice/VoiceMessageStore.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class AnchorLayout;
class ConnectionSupervisor;
class ContactEditor;
class ContactsPage;
class DebugPage;
class DeviceSearch;
class DeviceSession;
class InputsPage;
class OutputsPage;
class PinPanel;
class QAction;
class QCloseEvent;
class QFileDialog;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class SettingsTransfer;
class VoiceMessagePage;

// The program's one window: the frame around the pages. It holds the menus
// and the File commands, the page control with the buttons below it, the
// status bar, and the caption with its modified mark; the settings live in
// the pages' controls for the whole run.
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

    // The link to the dialler and the parts of the window.
    DeviceSession* Session() const { return mSession; }
    ConnectionSupervisor* Supervisor() const { return mSupervisor; }
    SettingsTransfer* Transfer() const { return mTransfer; }
    PinPanel* Pins() const { return mPins; }
    ContactsPage* Contacts() const { return mContacts; }
    ContactEditor* Editor() const;
    InputsPage* Inputs() const { return mInputs; }
    VoiceMessagePage* Voice() const { return mVoice; }
    OutputsPage* Outputs() const { return mOutputs; }
    DebugPage* Debug() const { return mDebug; }

    QTabWidget* PageControl() const { return mPageControl; }
    QWidget* PageButtonsPanel() const { return mPageButtonsPanel; }
    QPushButton* GetPageButton() const { return mGetPageButton; }
    QPushButton* SendPageButton() const { return mSendPageButton; }
    QPushButton* GetAllButton() const { return mGetAllButton; }
    QPushButton* SendAllButton() const { return mSendAllButton; }
    QStatusBar* StatusBar() const { return mStatusBar; }
    const std::array<QLabel*, 2>& StatusPanels() const { return mStatusPanels; }

    QAction* NewFileMenuItem() const { return mNewFileMenuItem; }
    QAction* OpenFileMenuItem() const { return mOpenFileMenuItem; }
    QAction* SaveFileMenuItem() const { return mSaveFileMenuItem; }
    QAction* SaveAsFileMenuItem() const { return mSaveAsFileMenuItem; }
    QAction* CheckForORNEXFileMenuItem() const { return mCheckForORNEXFileMenuItem; }
    QAction* ExitFileMenuItem() const { return mExitFileMenuItem; }
    QAction* AboutMenuItem() const { return mAboutMenuItem; }
    QFileDialog* SettingsOpenDialog() const { return mSettingsOpenDialog; }
    QFileDialog* SettingsSaveDialog() const { return mSettingsSaveDialog; }
    // Full path of the settings file last opened or saved; empty at start.
    const QString& CurrentSettingsFile() const { return mCurrentSettingsFile; }

    // The settings as the controls hold them.
    SettingsBinding Settings() const;
    // While the program itself puts settings in place, nothing marks them
    // modified.
    bool LoadingSettings() const { return mLoadingSettings; }
    void SetLoadingSettings(bool loading) { mLoadingSettings = loading; }
    void SettingsChange();
    // Names the settings file in the caption ("ORNEX - site.ornex"), or no
    // file when `fileName` is empty, and clears the modified mark.
    void ShowSettingsCaption(const QString& fileName);
    bool SettingsModified() const { return mSettingsModified; }
    void PageControlChange();
    void ShowActivity(const QString& text);
    void StatusBarResize();

    void AboutMenuItemClick();
    // Service staff reach the Voice Messages page and the Reflash button,
    // which an installer never sees.
    void SetServiceMode(bool on);

    void NewFileMenuItemClick();
    void OpenFileMenuItemClick();
    // Runs Save As while no file has been opened or saved yet. Both return
    // whether the settings were written.
    bool SaveFileMenuItemClick();
    bool SaveAsFileMenuItemClick();
    void ExitFileMenuItemClick();
    void CheckForORNEXFileMenuItemClick();

    // Whether the window may close now; asks to save modified settings.
    bool FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildPages(QWidget* client, AnchorLayout& anchors);
    void BuildPageButtons(QWidget* client, AnchorLayout& anchors);
    void BuildStatusBar(QWidget* client);
    void FormCreate();
    void KeepTabOrder();
    void WireDevice();
    void WireFiles();
    void WireSessionEnd();
    void UpdateCaption();
    void EnableDeviceButtons(bool enabled);
    // Asks "Settings Changed" before the settings are replaced; false when
    // the user cancels.
    bool SaveChangesBeforeReplacing();
    bool WriteSettingsTo(const QString& path);

    // The window's one table of messages: all bytes zero until the start-up
    // fill, held apart from the window for its size.
    std::unique_ptr<VoiceMessageTable> mVoiceMessages = std::make_unique<VoiceMessageTable>();
    DeviceSession* mSession;
    ConnectionSupervisor* mSupervisor;
    SettingsTransfer* mTransfer = nullptr;

    PinPanel* mPins = nullptr;
    QTabWidget* mPageControl = nullptr;
    ContactsPage* mContacts = nullptr;
    InputsPage* mInputs = nullptr;
    VoiceMessagePage* mVoice = nullptr;
    OutputsPage* mOutputs = nullptr;
    DebugPage* mDebug = nullptr;
    QWidget* mPageButtonsPanel = nullptr;
    QPushButton* mGetPageButton = nullptr;
    QPushButton* mSendPageButton = nullptr;
    QPushButton* mGetAllButton = nullptr;
    QPushButton* mSendAllButton = nullptr;
    QStatusBar* mStatusBar = nullptr;
    std::array<QLabel*, 2> mStatusPanels{};

    QAction* mNewFileMenuItem = nullptr;
    QAction* mOpenFileMenuItem = nullptr;
    QAction* mSaveFileMenuItem = nullptr;
    QAction* mSaveAsFileMenuItem = nullptr;
    QAction* mCheckForORNEXFileMenuItem = nullptr;
    QAction* mExitFileMenuItem = nullptr;
    QAction* mAboutMenuItem = nullptr;
    QFileDialog* mSettingsOpenDialog = nullptr;
    QFileDialog* mSettingsSaveDialog = nullptr;
    QString mCurrentSettingsFile;

    bool mLoadingSettings = true;
    // The modified mark: the caption shows it, but a file name may hold
    // a "*" of its own, so the caption is never read back.
    bool mSettingsModified = false;
    QString mCaptionFileName;
    // Settings the user agreed to leave as they are when the session ended;
    // the close that follows does not ask again while they are unchanged.
    std::optional<DiallerSettings> mSettingsAgreedAtSessionEnd;
};
