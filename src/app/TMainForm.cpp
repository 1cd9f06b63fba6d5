#include "app/TMainForm.h"

#include "platform/Anchors.h"
#include "platform/CircleShape.h"
#include "platform/DeviceSearch.h"
#include "platform/FieldEvents.h"
#include "platform/Named.h"
#include "platform/UpDown.h"
#include "settings/FieldExitRules.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace {

const QString BaseCaption = QStringLiteral("ORNEX");
constexpr int PageControlWidth = 836;
constexpr int PageControlHeight = 530;
constexpr int SheetWidth = 828;
constexpr int SheetHeight = 501;
constexpr int InputRowPitch = 70;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QPushButton(caption, parent), name);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, QPoint at) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(at);
    return label;
}

// Enter on a focused tool button clicks it, as Qt does for the push buttons
// of a dialog.
class EnterClicksButton : public QObject {
public:
    explicit EnterClicksButton(QAbstractButton* button) : QObject(button), mButton(button) {
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                mButton->animateClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton* mButton;
};

} // namespace

TMainForm::TMainForm(QWidget* parent) : TMainForm(std::make_unique<NoDeviceSearch>(), parent) {}

TMainForm::TMainForm(std::unique_ptr<DeviceSearch> search, QWidget* parent)
    : QMainWindow(parent), mDeviceSearch(std::move(search)) {
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
    // Before the pages: the Voice Messages page drives it.
    RecordTimer = Named(new QTimer(this), "RecordTimer");
    RecordTimer->setInterval(15000);
    BuildPinPanel(client, *anchors);
    BuildPages(client, *anchors);
    BuildPageButtons(client, *anchors);
    BuildStatusBar(client);
    anchors->Place(StatusBar,
                   QRect(0, ClientHeight - StatusBarHeight, ClientWidth, StatusBarHeight),
                   AnchorLeft | AnchorRight | AnchorBottom);
    setCentralWidget(client);

    CheckPortTimer = Named(new QTimer(this), "CheckPortTimer");
    CheckPortTimer->setInterval(100);
    CheckPortTimer->start();

    FormCreate();

    // The menu bar is part of Qt's client area but not of the designed one.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(ClientWidth, ClientHeight + menuHeight);
    // Smallest window: 852 x 630 with the frame, which leaves this much inside it.
    setMinimumSize(852 - 16, 630 - 39);

    WireAbout();
    WireTransport();
    WireContacts();
    WireFiles();
    WireValidation();
    WireDevice();
    WireOutputs();
    WireUpload();
    WireDownload();
    WireFirmware();

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

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    NewFileMenuItem = Named(file->addAction(tr("&New")), "NewFileMenuItem");
    OpenFileMenuItem = Named(file->addAction(tr("&Open")), "OpenFileMenuItem");
    OpenFileMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveFileMenuItem = Named(file->addAction(tr("&Save")), "SaveFileMenuItem");
    SaveFileMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsFileMenuItem = Named(file->addAction(tr("Save &As...")), "SaveAsFileMenuItem");
    SaveAsFileMenuItem->setShortcut(QKeySequence(Qt::Key_F12));
    CheckForORNEXFileMenuItem =
        Named(file->addAction(tr("Check For &ORNEX")), "CheckForORNEXFileMenuItem");
    CheckForORNEXFileMenuItem->setShortcut(QKeySequence(Qt::Key_F5));
    CheckForORNEXFileMenuItem->setVisible(false);
    file->addSeparator();
    ExitFileMenuItem = Named(file->addAction(tr("E&xit")), "ExitFileMenuItem");

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    AboutMenuItem = Named(help->addAction(tr("About")), "AboutMenuItem");
}

void TMainForm::BuildPinPanel(QWidget* client, AnchorLayout& anchors) {
    PINPanel = Named(new QWidget(client), "PINPanel");
    anchors.Place(PINPanel, QRect(0, 0, 836, 41), AnchorLeft | AnchorTop | AnchorRight);

    AdminPINEdit = Named(new QLineEdit(PINPanel), "AdminPINEdit");
    AdminPINEdit->setGeometry(67, 10, 121, 21);
    UserPINEdit = Named(new QLineEdit(PINPanel), "UserPINEdit");
    UserPINEdit->setGeometry(268, 10, 121, 21);
    for (QLineEdit* pin : {AdminPINEdit, UserPINEdit}) {
        pin->setMaxLength(SettingsLimits::PinMaxLength);
        AcceptTypedDigitsOnly(pin);
        connect(pin, &QLineEdit::textChanged, this, &TMainForm::SettingsChange);
    }
    MakeLabel(PINPanel, QStringLiteral("AdminPINLabel"), tr("&Admin PIN "), QPoint(8, 13))
        ->setBuddy(AdminPINEdit);
    MakeLabel(PINPanel, QStringLiteral("UserPINLabel"), tr("&User PIN "), QPoint(214, 13))
        ->setBuddy(UserPINEdit);

    DisconnectButton = MakeButton(PINPanel, "DisconnectButton", tr("Disco&nnect"));
    DisconnectButton->setGeometry(395, 8, 70, 25);
    GetPINButton = MakeButton(PINPanel, "GetPINButton", tr("Get PINs from ORNEX"));
    GetPINButton->setGeometry(471, 8, 150, 25);
    SendPINButton = MakeButton(PINPanel, "SendPINButton", tr("Send PINs to ORNEX"));
    SendPINButton->setGeometry(653, 8, 150, 25);
    GetPINButton->setEnabled(false);
    SendPINButton->setEnabled(false);
}

void TMainForm::BuildPages(QWidget* client, AnchorLayout& anchors) {
    PageControl = Named(new QTabWidget(client), "PageControl");
    anchors.Place(PageControl, QRect(0, 39, PageControlWidth, PageControlHeight), AnchorAll);

    PhoneNumbersSheet = Named(new QWidget, "PhoneNumbersSheet");
    InputsSheet = Named(new QWidget, "InputsSheet");
    VoiceMessageSheet = Named(new VoiceMessagePage(*this, VoiceMessages), "VoiceMessageSheet");
    OutputsSheet = Named(new QWidget, "OutputsSheet");
    DebugSheet = Named(new QWidget, "DebugSheet");
    PageControl->addTab(PhoneNumbersSheet, tr("Phone Numbers"));
    PageControl->addTab(InputsSheet, tr("Inputs"));
    PageControl->addTab(VoiceMessageSheet, tr("Voice Messages"));
    PageControl->addTab(OutputsSheet, tr("Outputs"));
    PageControl->addTab(DebugSheet, tr("Debug"));
    for (QWidget* sheet : std::initializer_list<QWidget*>{
             PhoneNumbersSheet, InputsSheet, VoiceMessageSheet, OutputsSheet, DebugSheet}) {
        sheet->resize(SheetWidth, SheetHeight);
    }

    BuildPhoneNumbersPage();

    auto* inputAnchors = new AnchorLayout(InputsSheet, InputsSheet->size());
    InputsScrollBox = Named(new QScrollArea(InputsSheet), "InputsScrollBox");
    InputsScrollBox->setFrameShape(QFrame::NoFrame);
    InputsScrollBox->setWidgetResizable(true);
    InputsScrollBox->verticalScrollBar()->setTracking(true);
    inputAnchors->Place(InputsScrollBox, QRect(0, 0, 828, 499), AnchorAll);
    InputsScrollContent = Named(new QWidget, "InputsScrollContent");
    // Eight rows of 70 pixels from 8 down, the last SMS edit ending 21 below
    // its row's top + 30.
    InputsScrollContent->setMinimumHeight(8 + InputRowPitch * 7 + 30 + 21 + 8);
    InputsScrollBox->setWidget(InputsScrollContent);

    auto* outputAnchors = new AnchorLayout(OutputsSheet, OutputsSheet->size());
    OutputsScrollBox = Named(new QScrollArea(OutputsSheet), "OutputsScrollBox");
    OutputsScrollBox->setWidgetResizable(true);
    OutputsScrollBox->setBackgroundRole(QPalette::Base);
    outputAnchors->Place(OutputsScrollBox, QRect(0, 0, SheetWidth, SheetHeight), AnchorAll);
    OutputsScrollContent = Named(new QWidget, "OutputsScrollContent");
    OutputsScrollContent->setBackgroundRole(QPalette::Base);
    OutputsScrollContent->setAutoFillBackground(true);
    OutputsScrollBox->setWidget(OutputsScrollContent);
    TestReflashButton = MakeButton(OutputsScrollContent, "TestReflashButton", tr("Reflash"));
    TestReflashButton->setGeometry(672, 360, 75, 25);

    BuildDebugPage();
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::PageControlChange);
}

void TMainForm::BuildPhoneNumbersPage() {
    auto* anchors = new AnchorLayout(PhoneNumbersSheet, PhoneNumbersSheet->size());
    PhoneNumbersListView = Named(new QTreeWidget(PhoneNumbersSheet), "PhoneNumbersListView");
    anchors->Place(PhoneNumbersListView, QRect(0, 0, 609, 501), AnchorAll);
    PhoneNumbersListView->setRootIsDecorated(false);
    PhoneNumbersListView->setItemsExpandable(false);
    PhoneNumbersListView->setUniformRowHeights(true);
    PhoneNumbersListView->setAllColumnsShowFocus(true);
    PhoneNumbersListView->setSelectionMode(QAbstractItemView::SingleSelection);
    PhoneNumbersListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    PhoneNumbersListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PhoneNumbersListView->header()->setSectionsClickable(false);
    PhoneNumbersListView->header()->setSectionsMovable(false);
    PhoneNumbersListView->header()->setStretchLastSection(false);
    PhoneNumbersListView->setContextMenuPolicy(Qt::PreventContextMenu);
    // The selected row stays visible while the list does not have the focus.
    QPalette palette = PhoneNumbersListView->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    PhoneNumbersListView->setPalette(palette);
    PhoneNumbersListView->setHeaderLabels({tr("No."), tr("Phone Number"), tr("SMS"), tr("Voice")});
    PhoneNumbersListView->setColumnWidth(0, 30);
    PhoneNumbersListView->setColumnWidth(1, 140);
    PhoneNumbersListView->setColumnWidth(2, 40);
    PhoneNumbersListView->setColumnWidth(3, 40);

    PhoneNumbersListPopupMenu = Named(new QMenu(this), "PhoneNumbersListPopupMenu");
    MoveToTopOfListMenuItem =
        Named(PhoneNumbersListPopupMenu->addAction(tr("Move to &Top")), "MoveToTopOfListMenuItem");
    MoveUpListMenuItem =
        Named(PhoneNumbersListPopupMenu->addAction(tr("Move &Up")), "MoveUpListMenuItem");
    MoveDownListMenuItem =
        Named(PhoneNumbersListPopupMenu->addAction(tr("Move &Down")), "MoveDownListMenuItem");
    MoveToEndOfListMenuItem =
        Named(PhoneNumbersListPopupMenu->addAction(tr("Move to &End")), "MoveToEndOfListMenuItem");

    PhoneNumberEditPanel = Named(new QFrame(PhoneNumbersSheet), "PhoneNumberEditPanel");
    PhoneNumberEditPanel->setFrameShape(QFrame::StyledPanel);
    anchors->Place(PhoneNumberEditPanel, QRect(612, 0, 214, 501),
                   AnchorTop | AnchorRight | AnchorBottom);
    PhoneNumberEdit = Named(new QLineEdit(PhoneNumberEditPanel), "PhoneNumberEdit");
    PhoneNumberEdit->setGeometry(24, 27, 169, 21);
    PhoneNumberEdit->setMaxLength(SettingsLimits::PhoneNumberMaxLength);
    MakeLabel(PhoneNumberEditPanel, QStringLiteral("PhoneNumberLabel"), tr("&Phone Number"),
              QPoint(24, 8))
        ->setBuddy(PhoneNumberEdit);
    MakeLabel(PhoneNumberEditPanel, QStringLiteral("ReportByLabel"), tr("Report alarms by"),
              QPoint(24, 55));
    SMSCheckBox = Named(new QCheckBox(tr("S&MS"), PhoneNumberEditPanel), "SMSCheckBox");
    SMSCheckBox->setGeometry(24, 74, 97, 17);
    VoiceCheckBox = Named(new QCheckBox(tr("&Voice"), PhoneNumberEditPanel), "VoiceCheckBox");
    VoiceCheckBox->setGeometry(124, 74, 97, 17);
    MakeLabel(PhoneNumberEditPanel, QStringLiteral("Label1"), tr("Report alarms for"),
              QPoint(24, 105));
    AllInputsCheckBox = Named(new QCheckBox(tr("All"), PhoneNumberEditPanel), "AllInputsCheckBox");
    AllInputsCheckBox->setGeometry(124, 104, 97, 17);
    RevertButton = MakeButton(PhoneNumberEditPanel, "RevertButton", tr("&Revert"));
    RevertButton->setGeometry(10, 380, 56, 25);
    DeleteButton = MakeButton(PhoneNumberEditPanel, "DeleteButton", tr("&Delete"));
    DeleteButton->setGeometry(79, 380, 56, 25);
    SaveButton = MakeButton(PhoneNumberEditPanel, "SaveButton", tr("&Save"));
    SaveButton->setGeometry(148, 380, 56, 25);
    // Enter in the editor presses Save, as the window's default button.
    SaveButton->setDefault(true);
    SaveButton->setAutoDefault(false);
    for (QWidget* w : std::initializer_list<QWidget*>{PhoneNumberEdit, SMSCheckBox, VoiceCheckBox,
                                                      AllInputsCheckBox, RevertButton, DeleteButton,
                                                      SaveButton}) {
        w->setEnabled(false);
    }
    PhoneNumberEditPanel->setEnabled(false);
}

void TMainForm::BuildDebugPage() {
    auto* anchors = new AnchorLayout(DebugSheet, DebugSheet->size());
    TxRxRichEdit = Named(new QTextEdit(DebugSheet), "TxRxRichEdit");
    TxRxRichEdit->setReadOnly(true);
    TxRxRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setPointSize(8);
    TxRxRichEdit->setFont(courier);
    anchors->Place(TxRxRichEdit, QRect(0, 0, SheetWidth, SheetHeight), AnchorAll);
    ClearDebugButton = MakeButton(DebugSheet, "ClearDebugButton", tr("&Clear"));
    anchors->Place(ClearDebugButton, QRect(730, 8, 75, 25), AnchorTop | AnchorRight);
}

void TMainForm::BuildPageButtons(QWidget* client, AnchorLayout& anchors) {
    PageButtonsPanel = Named(new QWidget(client), "PageButtonsPanel");
    anchors.Place(PageButtonsPanel, QRect(0, 570, 836, 64),
                  AnchorLeft | AnchorRight | AnchorBottom);
    auto* bevel = Named(new QFrame(PageButtonsPanel), "Bevel1");
    bevel->setFrameShape(QFrame::VLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(437, 0, 3, 62);
    GetPageButton = MakeButton(PageButtonsPanel, "GetPageButton", QString());
    GetPageButton->setGeometry(33, 20, 170, 25);
    SendPageButton = MakeButton(PageButtonsPanel, "SendPageButton", QString());
    SendPageButton->setGeometry(235, 20, 170, 25);
    GetAllButton = MakeButton(PageButtonsPanel, "GetAllButton", tr("&Get All Settings from ORNEX"));
    GetAllButton->setGeometry(471, 20, 150, 25);
    SendAllButton =
        MakeButton(PageButtonsPanel, "SendAllButton", tr("&Send All Settings to ORNEX"));
    SendAllButton->setGeometry(653, 20, 150, 25);
    for (QPushButton* b : {GetPageButton, SendPageButton, GetAllButton, SendAllButton}) {
        b->setEnabled(false);
    }
}

void TMainForm::BuildStatusBar(QWidget* client) {
    // Panel 0 shows what the program is doing, panel 1 the connection. The
    // panels are placed by StatusBarResize rather than by the status bar's
    // own layout, which would put margins around them; as its children they
    // are still what assistive technology reads out of the status bar.
    StatusBar = Named(new QStatusBar(client), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        StatusPanels[i] = panel;
    }
    StatusPanels[1]->setAlignment(Qt::AlignCenter);

    struct ResizeWatcher : QObject {
        explicit ResizeWatcher(TMainForm* form) : QObject(form), mForm(form) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Resize) {
                mForm->StatusBarResize();
            }
            return QObject::eventFilter(watched, event);
        }
        TMainForm* mForm;
    };
    StatusBar->installEventFilter(new ResizeWatcher(this));
}

void TMainForm::StatusBarResize() {
    const int height = StatusBar->height();
    const int panel0 = StatusBar->width() - ConnectionPanelWidth;
    StatusPanels[0]->setGeometry(0, 0, std::max(0, panel0), height);
    StatusPanels[1]->setGeometry(std::max(0, panel0), 0, ConnectionPanelWidth, height);
}

void TMainForm::ShowActivity(const QString& text) {
    StatusPanels[0]->setText(text);
    // The callers block the event loop for their exchange; the text must be
    // on screen before it starts.
    StatusPanels[0]->repaint();
}

void TMainForm::FormCreate() {
    EditorCheckBoxes[0] = SMSCheckBox;
    EditorCheckBoxes[1] = VoiceCheckBox;

    TestReflashButton->hide();
    DisconnectButton->hide();
    PageControl->setTabVisible(PageControl->indexOf(DebugSheet), false);
    PageControl->setTabVisible(PageControl->indexOf(VoiceMessageSheet), false);

    AdminPINEdit->setText(SettingsLimits::AdminPinDefault);
    UserPINEdit->setText(SettingsLimits::UserPinDefault);

    for (int output = 1; output <= SettingsLimits::OutputCount; ++output) {
        CreateOutputRow(output);
    }
    int top = 8;
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        CreateInputRow(input, top);
        top += InputRowPitch;
    }
    setTabOrder(EditorCheckBoxes.back(), RevertButton);
    VoiceMessageSheet->FillFromVoiceFiles();

    PageControl->setCurrentWidget(PhoneNumbersSheet);

    for (int row = 0; row < SettingsLimits::ContactCount; ++row) {
        auto* item = new QTreeWidgetItem(PhoneNumbersListView);
        item->setText(0, QString::number(row + 1));
    }

    PageControlChange();
    LoadingSettings = false;
}

void TMainForm::SetServiceMode(bool on) {
    PageControl->setTabVisible(PageControl->indexOf(VoiceMessageSheet), on);
    TestReflashButton->setVisible(on);
}

void TMainForm::CreateOutputRow(int output) {
    const int top = 24 + 56 * (output - 1);
    const QString n = QString::number(output);
    OutputControlSet& set = OutputControls[output - 1];
    set.OnButton = new QPushButton(tr("Set Output %1 On").arg(n), OutputsScrollContent);
    set.OnButton->setObjectName(QStringLiteral("Output%1OnButton").arg(n));
    set.OnButton->setGeometry(29, top, 105, 25);
    set.OffButton = new QPushButton(tr("Set Output %1 Off").arg(n), OutputsScrollContent);
    set.OffButton->setObjectName(QStringLiteral("Output%1OffButton").arg(n));
    set.OffButton->setGeometry(176, top, 105, 25);
    set.Status = new CircleShape(OutputsScrollContent);
    set.Status->setObjectName(QStringLiteral("Out%1Status").arg(n));
    set.Status->setGeometry(320, top, 25, 25);
    MakeLabel(OutputsScrollContent, QStringLiteral("Out%1StatusLabel").arg(n),
              tr("Output %1 Status (Green = On, Red = Off, White = Unknown)").arg(n),
              QPoint(355, top + 6));
}

void TMainForm::CreateInputRow(int input, int top) {
    const int i = input - 1;
    const QString n = QString::number(input);
    auto name = [&](const char* suffix) {
        return QStringLiteral("Input%1%2").arg(n, QString::fromLatin1(suffix));
    };

    auto* editorBox = new QCheckBox(tr("Input &%1").arg(n), PhoneNumberEditPanel);
    editorBox->setObjectName(name("CheckBox"));
    editorBox->setGeometry(SMSCheckBox->x(), SMSCheckBox->y() + 50 + 30 * i, 97, 17);
    editorBox->setEnabled(false);
    if (i > 0) {
        setTabOrder(EditorCheckBoxes[i + 1], editorBox);
    } else {
        setTabOrder(AllInputsCheckBox, editorBox);
    }
    EditorCheckBoxes[i + 2] = editorBox;

    QWidget* page = InputsScrollContent;
    auto* rowLabel = MakeLabel(page, name("Label"), tr("Input &%1").arg(n), QPoint(10, top + 4));

    auto* nonc = new QComboBox(page);
    nonc->setObjectName(name("NONCComboBox"));
    nonc->addItems({tr("Normally Closed"), tr("Normally Open")});
    nonc->setCurrentIndex(1);
    nonc->setGeometry(90, top, 120, 21);
    rowLabel->setBuddy(nonc);

    auto* slaveLatch = new QComboBox(page);
    slaveLatch->setObjectName(name("SlaveLatchComboBox"));
    slaveLatch->addItems({tr("Slave"), tr("Latching")});
    slaveLatch->setCurrentIndex(1);
    slaveLatch->setGeometry(230, top, 90, 21);
    for (QComboBox* combo : {nonc, slaveLatch}) {
        // Only the user's selection marks the settings; the program's own
        // change of the index (download, file, New) does not.
        connect(combo, &QComboBox::activated, this, &TMainForm::SettingsChange);
    }

    auto* retriesPanel = new QFrame(page);
    retriesPanel->setObjectName(name("RetriesPanel"));
    retriesPanel->setFrameShape(QFrame::Box);
    retriesPanel->setLineWidth(1);
    retriesPanel->setGeometry(340, top, 50, 21);
    auto* retriesEdit = new QLineEdit(retriesPanel);
    retriesEdit->setObjectName(name("RetriesEdit"));
    retriesEdit->setFrame(false);
    retriesEdit->setGeometry(1, 1, 30, 16);
    retriesEdit->setMaxLength(2);
    AcceptTypedDigitsOnly(retriesEdit);
    auto* upDown = new UpDown(retriesEdit, SettingsLimits::AttemptsMin, SettingsLimits::AttemptsMax,
                              SettingsLimits::AttemptsDefault, retriesPanel);
    upDown->setObjectName(name("RetriesUpDown"));
    upDown->setGeometry(31, 1, 15, 19);
    connect(retriesEdit, &QLineEdit::textChanged, this, &TMainForm::RetriesEditChange);
    OnFieldExit(retriesEdit, [this, input] { DialAttemptsExit(input); });

    MakeLabel(page, name("RetriesLabel"), tr("Total dialling attempts for voice messages"),
              QPoint(392, top + 4));
    auto* voiceLabel = MakeLabel(page, name("VoiceMessageLabel"), tr("No Voice Message Recorded"),
                                 QPoint(640, top + 4));
    QPalette red = voiceLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    voiceLabel->setPalette(red);
    voiceLabel->hide();

    auto* smsEdit = new QLineEdit(page);
    smsEdit->setObjectName(name("SMSMessageEdit"));
    smsEdit->setMaxLength(SettingsLimits::SmsMessageMaxLength);
    // The dialler and the settings file keep 8-bit text: a "\u20ac" or a
    // curly quote would arrive as something else, so it is never taken in.
    AcceptCharactersOnly(smsEdit, IsStorableCharacter, [smsEdit](const QString& left) {
        QToolTip::showText(smsEdit->mapToGlobal(QPoint(0, smsEdit->height())),
                           RefusedCharactersText(left), smsEdit);
    });
    connect(smsEdit, &QLineEdit::textChanged, this, &TMainForm::SettingsChange);
    MakeLabel(page, name("SMSMessageLabel"), tr("SMS Message"), QPoint(10, top + 30 + 4));
    // The SMS edit keeps 90 pixels to the left and 10 to the right of the
    // scroll box's client area as the window is resized.
    struct StretchToClient : QObject {
        StretchToClient(QWidget* content, QLineEdit* edit, int top)
            : QObject(edit), mEdit(edit), mTop(top) {
            content->installEventFilter(this);
            Apply(content->width());
        }
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Resize) {
                Apply(static_cast<QWidget*>(watched)->width());
            }
            return QObject::eventFilter(watched, event);
        }
        void Apply(int clientWidth) { mEdit->setGeometry(90, mTop, clientWidth - 90 - 10, 21); }
        QLineEdit* mEdit;
        int mTop;
    };
    new StretchToClient(page, smsEdit, top + 30);

    InputControls[i] = {nonc, slaveLatch, upDown, smsEdit, voiceLabel};
    PhoneNumbersListView->headerItem()->setText(4 + i, QStringLiteral("IN%1").arg(n));
    PhoneNumbersListView->setColumnWidth(4 + i, 40);
}

void TMainForm::PageControlChange() {
    QWidget* page = PageControl->currentWidget();
    if (page == OutputsSheet || page == DebugSheet) {
        GetPageButton->hide();
        SendPageButton->hide();
        if (page == OutputsSheet) {
            // The page is on screen before the status query blocks the
            // window, and the lamps show the dialler's state now, not at the
            // next tick.
            OutputsScrollBox->repaint();
            PageButtonsPanel->repaint();
            RefreshOutputStates();
        }
        return;
    }
    if (page == InputsSheet) {
        AttemptsEditQuiet = false;
    }
    const QString caption = PageControl->tabText(PageControl->currentIndex());
    GetPageButton->setText(tr("Get %1 from ORNEX").arg(caption));
    SendPageButton->setText(tr("Send %1 to ORNEX").arg(caption));
    GetPageButton->show();
    SendPageButton->show();
}

void TMainForm::SettingsChange() {
    if (LoadingSettings || mSettingsModified) {
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
    return SettingsBinding(PhoneNumbersListView, InputControls, AdminPINEdit, UserPINEdit);
}

void TMainForm::CompactContactList() {
    const SettingsBinding binding = Settings();
    ContactList contacts = binding.ReadContacts();
    QTreeWidgetItem* selected = PhoneNumbersListView->currentItem();
    const int selectedRow = selected && selected->isSelected()
                                ? PhoneNumbersListView->indexOfTopLevelItem(selected)
                                : -1;
    const int newRow = CompactContacts(contacts, selectedRow);
    binding.WriteContacts(contacts);
    // The row in the editor is known before the selection moves, so that the
    // selection rule sees the same entry at its new place and not a change.
    CurrentContactRow = newRow;
    if (newRow >= 0) {
        QTreeWidgetItem* item = PhoneNumbersListView->topLevelItem(newRow);
        PhoneNumbersListView->setCurrentItem(item);
        PhoneNumbersListView->scrollToItem(item);
    } else {
        PhoneNumbersListView->clearSelection();
    }
}

bool TMainForm::SettingsModified() const {
    return mSettingsModified;
}

void TMainForm::RetriesEditChange() {
    if (!AttemptsEditQuiet) {
        SettingsChange();
    }
}

void TMainForm::DialAttemptsExit(int input) {
    UpDown* upDown = InputControls[input - 1].RetriesUpDown;
    bool ok = false;
    const int value = upDown->Buddy()->text().toInt(&ok);
    if (!ok || value < SettingsLimits::AttemptsMin || value > SettingsLimits::AttemptsMax) {
        upDown->Buddy()->setText(QString::number(upDown->Position()));
    }
}
