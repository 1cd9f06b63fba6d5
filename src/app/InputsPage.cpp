#include "app/InputsPage.h"

#include "app/PageWidgets.h"
#include "dialogs/MessageDialog.h"
#include "platform/Anchors.h"
#include "platform/FieldEvents.h"
#include "platform/UpDown.h"
#include "settings/FieldExitRules.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

namespace {

constexpr int InputRowPitch = 70;

// The SMS edit keeps 90 pixels to the left and 10 to the right of the scroll
// box's client area as the window is resized.
class StretchToClient : public QObject {
public:
    StretchToClient(QWidget* content, QLineEdit* edit, int top)
        : QObject(edit), mEdit(edit), mTop(top) {
        content->installEventFilter(this);
        Apply(content->width());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            Apply(static_cast<QWidget*>(watched)->width());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Apply(int clientWidth) { mEdit->setGeometry(90, mTop, clientWidth - 90 - 10, 21); }

    QLineEdit* mEdit;
    int mTop;
};

} // namespace

InputsPage::InputsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InputsSheet"));
    resize(828, 501);
    auto* anchors = new AnchorLayout(this, size());
    mInputsScrollBox = Named(new QScrollArea(this), "InputsScrollBox");
    mInputsScrollBox->setFrameShape(QFrame::NoFrame);
    mInputsScrollBox->setWidgetResizable(true);
    mInputsScrollBox->verticalScrollBar()->setTracking(true);
    anchors->Place(mInputsScrollBox, QRect(0, 0, 828, 499), AnchorAll);
    mInputsScrollContent = Named(new QWidget, "InputsScrollContent");
    // Eight rows of 70 pixels from 8 down, the last SMS edit ending 21 below
    // its row's top + 30.
    mInputsScrollContent->setMinimumHeight(8 + InputRowPitch * 7 + 30 + 21 + 8);
    mInputsScrollBox->setWidget(mInputsScrollContent);

    int top = 8;
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        CreateInputRow(input, top);
        top += InputRowPitch;
    }
}

void InputsPage::CreateInputRow(int input, int top) {
    const QString n = QString::number(input);
    auto name = [&](const char* suffix) {
        return QStringLiteral("Input%1%2").arg(n, QString::fromLatin1(suffix));
    };

    QWidget* page = mInputsScrollContent;
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
        connect(combo, &QComboBox::activated, this, &InputsPage::Changed);
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
    connect(retriesEdit, &QLineEdit::textChanged, this, &InputsPage::RetriesEditChange);
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
    connect(smsEdit, &QLineEdit::textChanged, this, &InputsPage::Changed);
    MakeLabel(page, name("SMSMessageLabel"), tr("SMS Message"), QPoint(10, top + 30 + 4));
    new StretchToClient(page, smsEdit, top + 30);
    OnFieldExit(smsEdit, [this, smsEdit] { SMSMessageEditExit(smsEdit); });

    mInputControls[input - 1] = {nonc, slaveLatch, upDown, smsEdit, voiceLabel};
}

void InputsPage::RetriesEditChange() {
    if (!mAttemptsEditQuiet) {
        emit Changed();
    }
}

void InputsPage::DialAttemptsExit(int input) {
    UpDown* upDown = mInputControls[input - 1].RetriesUpDown;
    bool ok = false;
    const int value = upDown->Buddy()->text().toInt(&ok);
    if (!ok || value < SettingsLimits::AttemptsMin || value > SettingsLimits::AttemptsMax) {
        upDown->Buddy()->setText(QString::number(upDown->Position()));
    }
}

void InputsPage::SMSMessageEditExit(QLineEdit* field) {
    const SmsMessageExitVerdict verdict = CheckSmsMessageOnExit(field->text());
    if (verdict.Trimmed != field->text()) {
        // A change like any other: it marks the settings modified.
        field->setText(verdict.Trimmed);
    }
    if (verdict.HasDoubleQuote) {
        ReturnFocusTo(field,
                      [] { ShowErrorMessage(QStringLiteral("Message Error"), DoubleQuoteText()); });
    }
}

void InputsPage::HideVoiceMessageLabels() {
    for (const InputControlSet& input : mInputControls) {
        input.VoiceMessageLabel->hide();
    }
}
