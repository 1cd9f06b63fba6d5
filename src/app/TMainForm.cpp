#include "app/TMainForm.h"

#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/DebugPage.h"
#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PageWidgets.h"
#include "app/PinPanel.h"
#include "app/SettingsTransfer.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
#include "device/DeviceTransport.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/TAboutBox.h"
#include "platform/Anchors.h"
#include "platform/DeviceSearch.h"
#include "platform/PendingInput.h"
#include "platform/UpDown.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

const QString BaseCaption = QStringLiteral("ORNEX");

// A service page is out of an installer's reach: it has no tab, and the
// keys and the wheel that step through the tabs pass it by as they pass a
// disabled tab. Its controls stay enabled, as the program still uses them.
void ShowPage(QTabWidget* pages, QWidget* page, bool shown) {
    const int index = pages->indexOf(page);
    pages->setTabVisible(index, shown);
    pages->tabBar()->setTabEnabled(index, shown);
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : TMainForm(std::make_unique<NoDeviceSearch>(), parent) {}

TMainForm::TMainForm(std::unique_ptr<DeviceSearch> search, QWidget* parent)
    : QMainWindow(parent), mSession(new DeviceSession(this)),
      mSupervisor(new ConnectionSupervisor(*mSession, std::move(search), this)) {
    UpdateCaption();
    // Tahoma 8 point; where it is missing, a face of similar width keeps the
    // captions inside their fixed-size buttons.
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setPixelSize(11);
    setFont(font);

    BuildMenus();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->resize(ClientWidth, ClientHeight);
    auto* anchors = new AnchorLayout(client, client->size());
    mPins = new PinPanel(*mSupervisor, client);
    anchors->Place(mPins, QRect(0, 0, 836, 41), AnchorLeft | AnchorTop | AnchorRight);
    BuildPages(client, *anchors);
    BuildPageButtons(client, *anchors);
    BuildStatusBar(client);
    anchors->Place(mStatusBar,
                   QRect(0, ClientHeight - StatusBarHeight, ClientWidth, StatusBarHeight),
                   AnchorLeft | AnchorRight | AnchorBottom);
    setCentralWidget(client);
    mSupervisor->CheckPortTimer()->start();

    mTransfer =
        new SettingsTransfer(*mSession,
                             {mPageControl, mContacts, mInputs, [this] { return Settings(); },
                              [this] { return SaveChangesBeforeReplacing(); }},
                             this);
    FormCreate();

    // The menu bar is part of Qt's client area but not of the designed one.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(ClientWidth, ClientHeight + menuHeight);
    // Smallest window: 852 x 630 with the frame, which leaves this much inside it.
    setMinimumSize(852 - 16, 630 - 39);

    WireDevice();
    WireFiles();
    WireSessionEnd();
    KeepTabOrder();

    // Enter presses the focused button, as Space does, anywhere in the
    // window; Qt gives this only to the push buttons of dialogs.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(true);
    }
    for (QToolButton* button : findChildren<QToolButton*>()) {
        new EnterClicksButton(button);
    }
}

TMainForm::~TMainForm() = default;

ContactEditor* TMainForm::Editor() const {
    return mContacts->Editor();
}

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    mNewFileMenuItem = Named(file->addAction(tr("&New")), "NewFileMenuItem");
    mOpenFileMenuItem = Named(file->addAction(tr("&Open")), "OpenFileMenuItem");
    mOpenFileMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mSaveFileMenuItem = Named(file->addAction(tr("&Save")), "SaveFileMenuItem");
    mSaveFileMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mSaveAsFileMenuItem = Named(file->addAction(tr("Save &As...")), "SaveAsFileMenuItem");
    mSaveAsFileMenuItem->setShortcut(QKeySequence(Qt::Key_F12));
    mCheckForORNEXFileMenuItem =
        Named(file->addAction(tr("Check For &ORNEX")), "CheckForORNEXFileMenuItem");
    mCheckForORNEXFileMenuItem->setShortcut(QKeySequence(Qt::Key_F5));
    mCheckForORNEXFileMenuItem->setVisible(false);
    file->addSeparator();
    mExitFileMenuItem = Named(file->addAction(tr("E&xit")), "ExitFileMenuItem");

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    mAboutMenuItem = Named(help->addAction(tr("About")), "AboutMenuItem");
    connect(mAboutMenuItem, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
}

void TMainForm::BuildPages(QWidget* client, AnchorLayout& anchors) {
    mPageControl = Named(new QTabWidget(client), "PageControl");
    anchors.Place(mPageControl, QRect(0, 39, 836, 530), AnchorAll);

    // The voice page wraps its button captions as measured before it is in
    // the window, and its controls come first in the tab order, as they
    // always have.
    mVoice = new VoiceMessagePage(*mSession, *mVoiceMessages);
    mVoice->resize(828, 501);
    mVoice->setParent(mPageControl);
    // The other pages are made inside the window, so that their fixed-size
    // labels are measured in the window's font.
    mContacts = new ContactsPage(mPageControl);
    mInputs = new InputsPage(mPageControl);
    mOutputs = new OutputsPage(*mSession, mSupervisor->Search(), mPageControl);
    // The log counts as shown while the Debug page's tab is, whichever page
    // is in front.
    mDebug = new DebugPage(
        *mSession->Transport(),
        [this] { return mPageControl->isTabVisible(mPageControl->indexOf(mDebug)); }, mPageControl);
    mPageControl->addTab(mContacts, tr("Phone Numbers"));
    mPageControl->addTab(mInputs, tr("Inputs"));
    mPageControl->addTab(mVoice, tr("Voice Messages"));
    mPageControl->addTab(mOutputs, tr("Outputs"));
    mPageControl->addTab(mDebug, tr("Debug"));
    connect(mPageControl, &QTabWidget::currentChanged, this, &TMainForm::PageControlChange);
}

void TMainForm::BuildPageButtons(QWidget* client, AnchorLayout& anchors) {
    mPageButtonsPanel = Named(new QWidget(client), "PageButtonsPanel");
    anchors.Place(mPageButtonsPanel, QRect(0, 570, 836, 64),
                  AnchorLeft | AnchorRight | AnchorBottom);
    auto* bevel = Named(new QFrame(mPageButtonsPanel), "Bevel1");
    bevel->setFrameShape(QFrame::VLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(437, 0, 3, 62);
    mGetPageButton = MakeButton(mPageButtonsPanel, "GetPageButton", QString());
    mGetPageButton->setGeometry(33, 20, 170, 25);
    mSendPageButton = MakeButton(mPageButtonsPanel, "SendPageButton", QString());
    mSendPageButton->setGeometry(235, 20, 170, 25);
    mGetAllButton =
        MakeButton(mPageButtonsPanel, "GetAllButton", tr("&Get All Settings from ORNEX"));
    mGetAllButton->setGeometry(471, 20, 150, 25);
    mSendAllButton =
        MakeButton(mPageButtonsPanel, "SendAllButton", tr("&Send All Settings to ORNEX"));
    mSendAllButton->setGeometry(653, 20, 150, 25);
    for (QPushButton* b : {mGetPageButton, mSendPageButton, mGetAllButton, mSendAllButton}) {
        b->setEnabled(false);
    }
}

void TMainForm::BuildStatusBar(QWidget* client) {
    // Panel 0 shows what the program is doing, panel 1 the connection. The
    // panels are placed by StatusBarResize rather than by the status bar's
    // own layout, which would put margins around them; as its children they
    // are still what assistive technology reads out of the status bar.
    mStatusBar = Named(new QStatusBar(client), "StatusBar");
    mStatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(mStatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        mStatusPanels[i] = panel;
    }
    mStatusPanels[1]->setAlignment(Qt::AlignCenter);
    new EventHook(mStatusBar, [this](QEvent* event) {
        if (event->type() == QEvent::Resize) {
            StatusBarResize();
        }
    });
}

void TMainForm::StatusBarResize() {
    const int height = mStatusBar->height();
    const int panel0 = mStatusBar->width() - ConnectionPanelWidth;
    mStatusPanels[0]->setGeometry(0, 0, std::max(0, panel0), height);
    mStatusPanels[1]->setGeometry(std::max(0, panel0), 0, ConnectionPanelWidth, height);
}

void TMainForm::ShowActivity(const QString& text) {
    mStatusPanels[0]->setText(text);
    // The callers block the event loop for their exchange; the text must be
    // on screen before it starts.
    mStatusPanels[0]->repaint();
}

void TMainForm::FormCreate() {
    ShowPage(mPageControl, mDebug, false);
    ShowPage(mPageControl, mVoice, false);
    Settings().WritePins(SettingsLimits::AdminPinDefault, SettingsLimits::UserPinDefault);
    mVoice->FillFromVoiceFiles();
    mPageControl->setCurrentWidget(mContacts);
    PageControlChange();
    mLoadingSettings = false;
}

void TMainForm::KeepTabOrder() {
    // Tab goes from the buttons below the pages into the rows of the Outputs
    // and Inputs pages, as it always has.
    QWidget* previous = mSendAllButton;
    const auto follow = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    for (const OutputControlSet& output : mOutputs->OutputControls()) {
        follow(output.OnButton);
        follow(output.OffButton);
    }
    for (const InputControlSet& input : mInputs->InputControls()) {
        follow(input.NONCComboBox);
        follow(input.SlaveLatchComboBox);
        follow(input.RetriesUpDown->Buddy());
        follow(input.SMSMessageEdit);
    }
}

void TMainForm::SetServiceMode(bool on) {
    ShowPage(mPageControl, mVoice, on);
    if (!on && mPageControl->currentWidget() == mVoice) {
        mPageControl->setCurrentWidget(mContacts);
    }
    mOutputs->TestReflashButton()->setVisible(on);
}

void TMainForm::PageControlChange() {
    QWidget* page = mPageControl->currentWidget();
    if (page == mOutputs || page == mDebug) {
        mGetPageButton->hide();
        mSendPageButton->hide();
        if (page == mOutputs) {
            // The page is on screen before the status query blocks the
            // window, and the lamps show the dialler's state now, not at the
            // next tick.
            mOutputs->OutputsScrollBox()->repaint();
            mPageButtonsPanel->repaint();
            mOutputs->RefreshOutputStates();
        }
        return;
    }
    if (page == mInputs) {
        mInputs->SetAttemptsEditQuiet(false);
    }
    const QString caption = mPageControl->tabText(mPageControl->currentIndex());
    mGetPageButton->setText(tr("Get %1 from ORNEX").arg(caption));
    mSendPageButton->setText(tr("Send %1 to ORNEX").arg(caption));
    mGetPageButton->show();
    mSendPageButton->show();
}

void TMainForm::SettingsChange() {
    if (mLoadingSettings || mSettingsModified) {
        return;
    }
    mSettingsModified = true;
    UpdateCaption();
}

void TMainForm::ShowSettingsCaption(const QString& fileName) {
    mCaptionFileName = fileName;
    mSettingsModified = false;
    UpdateCaption();
}

void TMainForm::UpdateCaption() {
    QString caption = BaseCaption;
    if (!mCaptionFileName.isEmpty()) {
        // Qt takes "[*]" in a title for its own modified mark and hides it;
        // doubled, it shows as written.
        QString name = mCaptionFileName;
        name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
        caption += QStringLiteral(" - ") + name;
    }
    if (mSettingsModified) {
        caption += QLatin1Char('*');
    }
    setWindowTitle(caption);
}

SettingsBinding TMainForm::Settings() const {
    return SettingsBinding(mContacts->PhoneNumbersListView(), mInputs->InputControls(),
                           mPins->AdminPINEdit(), mPins->UserPINEdit());
}

void TMainForm::AboutMenuItemClick() {
    TAboutBox about(this);
    about.PlaceOver(frameGeometry());
    about.exec();
}

void TMainForm::EnableDeviceButtons(bool enabled) {
    for (QPushButton* button : {mGetAllButton, mSendAllButton, mGetPageButton, mSendPageButton,
                                mPins->GetPINButton(), mPins->SendPINButton()}) {
        button->setEnabled(enabled);
    }
}

void TMainForm::WireDevice() {
    connect(mSession, &DeviceSession::ActivityShown, this, &TMainForm::ShowActivity);
    connect(mSession->Transport(), &DeviceTransport::PendingInputDiscardRequested, this,
            [] { DiscardPendingInput(); });
    connect(mSupervisor, &ConnectionSupervisor::LinkStatusShown, mStatusPanels[1],
            &QLabel::setText);
    connect(mSupervisor, &ConnectionSupervisor::LinkChanged, this, &TMainForm::EnableDeviceButtons);
    connect(mSupervisor, &ConnectionSupervisor::LinkReset, mInputs,
            &InputsPage::HideVoiceMessageLabels);
    connect(mSupervisor, &ConnectionSupervisor::FirmwareWarningDue, this,
            [](const DiallerVersion& version) {
                ShowMessageDialog(FirmwareWarningTitle, FirmwareWarningText(version),
                                  QStringLiteral("OK"), WarningIcon, 1);
            });
    connect(mSupervisor, &ConnectionSupervisor::TickEnded, this, [this](bool failed) {
        if (mPageControl->currentWidget() != mOutputs) {
            return;
        }
        if (failed) {
            mOutputs->PaintOutputsUnknown();
        } else {
            mOutputs->RefreshOutputStates();
        }
    });
    connect(mCheckForORNEXFileMenuItem, &QAction::triggered, this,
            &TMainForm::CheckForORNEXFileMenuItemClick);

    connect(mPins, &PinPanel::Changed, this, &TMainForm::SettingsChange);
    connect(mContacts, &ContactsPage::Changed, this, &TMainForm::SettingsChange);
    connect(mInputs, &InputsPage::Changed, this, &TMainForm::SettingsChange);
    Editor()->ShareSaveAcceleratorWith(mSendAllButton);

    connect(mGetAllButton, &QPushButton::clicked, mTransfer, &SettingsTransfer::GetAllButtonClick);
    connect(mGetPageButton, &QPushButton::clicked, mTransfer,
            &SettingsTransfer::GetPageButtonClick);
    connect(mPins->GetPINButton(), &QPushButton::clicked, mTransfer,
            &SettingsTransfer::GetPINButtonClick);
    connect(mPins->SendPINButton(), &QPushButton::clicked, mTransfer,
            &SettingsTransfer::SendPINButtonClick);
    connect(mSendPageButton, &QPushButton::clicked, mTransfer,
            &SettingsTransfer::SendPageButtonClick);
    connect(mSendAllButton, &QPushButton::clicked, mTransfer,
            &SettingsTransfer::SendAllButtonClick);
}

void TMainForm::CheckForORNEXFileMenuItemClick() {
    // The supervisor looks by itself every second; the hidden menu item has
    // nothing left to do.
}
