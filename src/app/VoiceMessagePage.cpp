#include "app/VoiceMessagePage.h"

#include "app/DeviceExchange.h"
#include "app/TMainForm.h"
#include "dialogs/MessageDialog.h"
#include "platform/Named.h"
#include "voice/VoiceUpload.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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

VoiceMessagePage::VoiceMessagePage(TMainForm& form, VoiceMessageTable& messages, QWidget* parent)
    : QWidget(parent), mForm(form), mMessages(messages) {
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
    DeviceExchange exchange(mForm);
    exchange.Begin();
    mForm.ShowActivity(tr("Sending voice message %1 to ORNEX").arg(input));
    if (!UploadVoiceMessage(*mForm.Transport, input, mMessages[index])) {
        ShowErrorMessage(QStringLiteral("Error"),
                         QStringLiteral("Error sending voice message to ORNEX!"));
    }
}

void VoiceMessagePage::SendAllMessagesButtonClick() {
    DeviceExchange exchange(mForm);
    exchange.Begin();
    mForm.ShowActivity(tr("Sending voice messages to ORNEX"));
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        const VoiceMessageSlot& slot = mMessages[input - 1];
        if (VoiceDurationMs(slot) == 0) {
            continue;
        }
        mForm.ShowActivity(tr("Sending voice message %1 to ORNEX").arg(input));
        // A message that fails is not reported: the others still go.
        UploadVoiceMessage(*mForm.Transport, input, slot);
    }
}

void VoiceMessagePage::Button3Click() {
    const int index = SelectedIndex();
    if (index < 0) {
        return;
    }
    ExportVoiceMessage(mMessages[index], ExportFileName(index + 1));
}
