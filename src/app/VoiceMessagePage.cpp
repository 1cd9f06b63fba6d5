#include "app/VoiceMessagePage.h"

#include "app/DeviceExchange.h"
#include "device/DeviceSession.h"
#include "dialogs/MessageDialog.h"
#include "platform/Named.h"
#include "voice/VoiceRecorder.h"
#include "voice/VoiceUpload.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>
#include <utility>

namespace {

// The record-and-play test records this long.
constexpr int SoundTestMs = 5000;

constexpr int GlyphSize = 16;
// Room the bevel of a tool button leaves for its caption.
constexpr int CaptionMargin = 8;

// The red dot of a recorder's record button, which the style has none of.
QIcon RecordGlyph() {
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 0, 0));
    painter.drawEllipse(QRectF(2, 2, GlyphSize - 4, GlyphSize - 4));
    return QIcon(pixmap);
}

// Breaks the caption between words so that no line is wider than `width`.
QString WrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
    QString wrapped;
    QString line;
    for (const QString& word : caption.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            wrapped += line + QLatin1Char('\n');
            line = word;
        } else {
            line = longer;
        }
    }
    return wrapped + line;
}

} // namespace

VoiceMessagePage::VoiceMessagePage(DeviceSession& session, VoiceMessageTable& messages,
                                   QWidget* parent)
    : QWidget(parent), mSession(session), mMessages(messages) {
    setObjectName(QStringLiteral("VoiceMessageSheet"));
    mRecordTimer = Named(new QTimer(this), "RecordTimer");
    mRecordTimer->setInterval(15000);
    MessageSelectRadioGroup =
        Named(new QGroupBox(tr("Message Selection"), this), "MessageSelectRadioGroup");
    MessageSelectRadioGroup->setGeometry(15, 15, 185, 250);
    new QVBoxLayout(MessageSelectRadioGroup);
    mItems = new QButtonGroup(this);

    // Glyph above a caption that wraps within the button.
    const auto sendButton = [this](const char* name, const QString& caption, const QString& hint,
                                   const QRect& geometry) {
        auto* button = Named(new QToolButton(this), name);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
        button->setIconSize(QSize(GlyphSize, GlyphSize));
        button->setText(
            WrapCaption(caption, button->fontMetrics(), geometry.width() - 2 * CaptionMargin));
        button->setToolTip(hint);
        button->setGeometry(geometry);
        return button;
    };
    SendMessageButton = sendButton("SendMessageButton", tr("Send selected message to ORNEX"),
                                   tr("Send Selected Message to ORNEX"), QRect(424, 31, 138, 76));
    SendAllMessagesButton =
        sendButton("SendAllMessagesButton", tr("Send all messages to ORNEX"),
                   tr("Send Selected Message to ORNEX"), QRect(424, 115, 138, 76));

    const auto button = [this](const char* name, const QString& caption, const QString& hint,
                               const QRect& geometry) {
        auto* made = Named(new QPushButton(caption, this), name);
        made->setToolTip(hint);
        made->setGeometry(geometry);
        return made;
    };
    PlayButton =
        button("PlayButton", tr("Play"), tr("Play Selected Message"), QRect(248, 31, 90, 40));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    RecordButton =
        button("RecordButton", tr("Record"), tr("Record Selected Message"), QRect(248, 93, 90, 40));
    RecordButton->setIcon(RecordGlyph());
    StopButton = button("StopButton", tr("Stop"), tr("Stop Recording"), QRect(248, 151, 90, 40));
    StopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    StopButton->setEnabled(false);
    Button1 = button("Button1", QStringLiteral("Button1"), QString(), QRect(514, 298, 75, 25));
    Button2 = button("Button2", QStringLiteral("Button2"), QString(), QRect(514, 329, 75, 25));
    Button3 = button("Button3", QStringLiteral("Button3"), QString(), QRect(691, 54, 75, 25));

    QWidget* order[] = {SendMessageButton,
                        SendAllMessagesButton,
                        PlayButton,
                        RecordButton,
                        StopButton,
                        MessageSelectRadioGroup,
                        Button1,
                        Button2,
                        Button3};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(SendMessageButton, &QToolButton::clicked, this,
            &VoiceMessagePage::SendMessageButtonClick);
    connect(SendAllMessagesButton, &QToolButton::clicked, this,
            &VoiceMessagePage::SendAllMessagesButtonClick);
    connect(Button3, &QPushButton::clicked, this, &VoiceMessagePage::Button3Click);
    connect(PlayButton, &QPushButton::clicked, this, &VoiceMessagePage::PlayButtonClick);
    connect(RecordButton, &QPushButton::clicked, this, &VoiceMessagePage::RecordButtonClick);
    connect(StopButton, &QPushButton::clicked, this, &VoiceMessagePage::StopButtonClick);
    connect(Button1, &QPushButton::clicked, this, &VoiceMessagePage::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &VoiceMessagePage::Button2Click);
    // A coarse timer may fire 5 % early, which would cut the last 750 ms off
    // a recording left to run to its 15 seconds.
    mRecordTimer->setTimerType(Qt::PreciseTimer);
    connect(mRecordTimer, &QTimer::timeout, this, &VoiceMessagePage::RecordTimerTimer);
    UseSoundDevices(CreateSystemSoundDevices());
}

VoiceMessagePage::~VoiceMessagePage() = default;

void VoiceMessagePage::UseSoundDevices(std::unique_ptr<SoundDevices> devices) {
    mRecorder.reset();
    mDevices = std::move(devices);
    mRecorder = std::make_unique<VoiceRecorder>(*mDevices);
    connect(mRecorder.get(), &VoiceRecorder::InputFailed, this, &VoiceMessagePage::RecordingFailed);
}

QString TemporaryRecordingPath() {
    return QDir(QDir::tempPath()).filePath(QStringLiteral("TempORNEXVoiceFile.wav"));
}

void VoiceMessagePage::FillFromVoiceFiles() {
    for (QRadioButton*& item : MessageItems) {
        delete item;
        item = nullptr;
    }
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        VoiceMessageSlot& slot = mMessages[input - 1];
        const bool loaded = FillVoiceSlot(slot, VoiceFileName(input));
        const QString duration =
            loaded ? VoiceDurationText(VoiceDurationMs(slot)) : QStringLiteral("0");
        auto* item =
            new QRadioButton(VoiceMessageItemText(input, duration, true), MessageSelectRadioGroup);
        item->setObjectName(QStringLiteral("MessageItem%1").arg(input));
        MessageSelectRadioGroup->layout()->addWidget(item);
        mItems->addButton(item, input - 1);
        MessageItems[input - 1] = item;
    }
    SelectMessage(0);
}

int VoiceMessagePage::SelectedIndex() const {
    return mItems->checkedId();
}

void VoiceMessagePage::SelectMessage(int index) {
    if (QAbstractButton* item = mItems->button(index)) {
        item->setChecked(true);
    }
}

void VoiceMessagePage::SendMessageButtonClick() {
    const int index = SelectedIndex();
    // An empty message is not sent, and not worth a word.
    if (index < 0 || VoiceDurationMs(mMessages[index]) == 0) {
        return;
    }
    const int input = index + 1;
    DeviceExchange exchange(mSession);
    exchange.Begin();
    mSession.ShowActivity(tr("Sending voice message %1 to ORNEX").arg(input));
    if (!UploadVoiceMessage(*mSession.Transport(), input, mMessages[index])) {
        ShowErrorMessage(QStringLiteral("Error"),
                         QStringLiteral("Error sending voice message to ORNEX!"));
    }
}

void VoiceMessagePage::SendAllMessagesButtonClick() {
    DeviceExchange exchange(mSession);
    exchange.Begin();
    mSession.ShowActivity(tr("Sending voice messages to ORNEX"));
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        const VoiceMessageSlot& slot = mMessages[input - 1];
        if (VoiceDurationMs(slot) == 0) {
            continue;
        }
        mSession.ShowActivity(tr("Sending voice message %1 to ORNEX").arg(input));
        // A message that fails is not reported: the others still go.
        UploadVoiceMessage(*mSession.Transport(), input, slot);
    }
}

void VoiceMessagePage::Button3Click() {
    const int index = SelectedIndex();
    if (index < 0) {
        return;
    }
    ExportVoiceMessage(mMessages[index], ExportFileName(index + 1));
}

void VoiceMessagePage::PlayButtonClick() {
    const int index = SelectedIndex();
    if (index < 0) {
        return;
    }
    RecordButton->setEnabled(false);
    MessageSelectRadioGroup->setEnabled(false);
    // Shown before the window stops answering for the length of the message.
    repaint();
    const VoiceMessageSlot& slot = mMessages[index];
    QString reason;
    const bool played = mDevices->PlayWav(
        QByteArray::fromRawData(slot.data(), qsizetype(VoiceMessageSize(slot))), reason);
    RecordButton->setEnabled(true);
    MessageSelectRadioGroup->setEnabled(true);
    if (!played) {
        ShowErrorMessage(QStringLiteral("Error"), reason);
    }
}

void VoiceMessagePage::RecordButtonClick() {
    const int index = SelectedIndex();
    if (index < 0 || mRecorder->Recording()) {
        return;
    }
    PlayButton->setEnabled(false);
    MessageSelectRadioGroup->setEnabled(false);
    QString reason;
    if (mRecorder->Start(reason) != SoundStartFault::None) {
        ShowMessageDialog(QStringLiteral("Set Voice Message Parameters Failed"), reason,
                          QStringLiteral("OK"), ErrorIcon, 1);
        PlayButton->setEnabled(true);
        MessageSelectRadioGroup->setEnabled(true);
        return;
    }
    RecordingInProgress = true;
    // File > New selects the first message while the group is locked: the
    // recording still belongs to the message it was started for.
    mRecordingIndex = index;
    // Each recording gets its own 15 seconds.
    mRecordTimer->start();
    RecordButton->setEnabled(false);
    StopButton->setEnabled(true);
}

void VoiceMessagePage::StopButtonClick() {
    const QString path = TemporaryRecordingPath();
    RecordingInProgress = false;
    mRecordTimer->stop();
    StopButton->setEnabled(false);
    // A file left over from another run must not pass for this recording.
    QFile::remove(path);
    mRecorder->StopAndSave(path);
    const int index = std::exchange(mRecordingIndex, -1);
    if (index >= 0) {
        VoiceMessageSlot& slot = mMessages[index];
        // A recording that was not written leaves an empty message.
        LoadVoiceMessageFile(slot, path);
        MessageItems[index]->setText(
            VoiceMessageItemText(index + 1, VoiceDurationText(VoiceDurationMs(slot)), false));
    }
    RecordButton->setEnabled(true);
    PlayButton->setEnabled(true);
    MessageSelectRadioGroup->setEnabled(true);
    QFile::remove(path);
}

void VoiceMessagePage::RecordTimerTimer() {
    if (RecordingInProgress) {
        StopButtonClick();
    }
    mRecordTimer->stop();
}

void VoiceMessagePage::RecordingFailed(const QString& reason) {
    if (!RecordingInProgress) {
        return;
    }
    // What came before the input failed is kept.
    StopButtonClick();
    ShowErrorMessage(QStringLiteral("Error"), reason);
}

void VoiceMessagePage::Button2Click() {
    QByteArray samples;
    QString reason;
    if (!RecordBlocking(*mDevices, qsizetype(SoundTestMs) * SoundFormat::BytesPerSecond / 1000,
                        samples, reason) ||
        !mDevices->PlayWav(VoiceWavImage(samples), reason)) {
        ShowErrorMessage(QStringLiteral("Error"), reason);
        return;
    }
    if (ShowMessageDialog(QString(), QStringLiteral("Do you want to save this recording?"),
                          QStringLiteral("&Yes\r\n&No"), ErrorIcon, 1) == 1 &&
        !WriteVoiceWavFile(SoundTestFileName, samples)) {
        ShowErrorMessage(QStringLiteral("Error"),
                         QStringLiteral("Unable to write %1.").arg(SoundTestFileName));
    }
}

void VoiceMessagePage::Button1Click() {
    QString reason;
    // Only a held Escape ends the capture: without it nothing could.
    if (!mDevices->CanReadEscapeKey(reason)) {
        ShowErrorMessage(QStringLiteral("Error"), reason);
        return;
    }
    auto input = mDevices->CreateInput();
    switch (input->Start(reason)) {
    case SoundStartFault::None:
        break;
    // The format is asked of the default input before it is opened, so
    // without any input that question is the one that fails.
    case SoundStartFault::NoDevice:
    case SoundStartFault::FormatRefused:
        ShowErrorMessage(QStringLiteral("Unsupported WAV format."), reason);
        return;
    case SoundStartFault::OpenFailed:
        ShowErrorMessage(QStringLiteral("Failed to open waveform input device."), reason);
        return;
    }
    QFile file(CaptureTestFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        input->Stop();
        ShowErrorMessage(
            QStringLiteral("Error"),
            QStringLiteral("Unable to create %1: %2").arg(CaptureTestFileName, file.errorString()));
        return;
    }
    std::fputs("Now recording audio.  Press Escape to stop and exit.\n", stdout);
    std::fflush(stdout);
    const bool ended = RunRawCapture(*mDevices, *input, file, reason);
    input->Stop();
    file.close();
    if (!ended) {
        ShowErrorMessage(QStringLiteral("Error"), reason);
    }
}
