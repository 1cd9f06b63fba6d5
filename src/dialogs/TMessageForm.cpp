#include "dialogs/TMessageForm.h"

#include "dialogs/DialogPlacement.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/MessageFormLayout.h"
#include "platform/Anchors.h"
#include "platform/Named.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <cmath>

using namespace MessageFormLayout;

namespace {

constexpr int PictureSize = 40;

// The three pictures are drawn here rather than taken from the style: the
// styles offer them at 32 pixels at most, and scaled up they blur.
QPixmap DrawPicture(MessageIconKind kind) {
    QPixmap pixmap(PictureSize, PictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(26);
    painter.setFont(font);
    const QRectF area(2, 2, PictureSize - 4, PictureSize - 4);
    switch (kind) {
    case QuestionIcon:
        painter.setPen(QPen(QColor(0x1f, 0x4e, 0x9c), 1.5));
        painter.setBrush(QColor(0x3b, 0x82, 0xe0));
        painter.drawEllipse(area);
        painter.setPen(Qt::white);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("?"));
        break;
    case WarningIcon: {
        QPainterPath triangle;
        triangle.moveTo(PictureSize / 2.0, 3);
        triangle.lineTo(PictureSize - 2, PictureSize - 4);
        triangle.lineTo(2, PictureSize - 4);
        triangle.closeSubpath();
        painter.setPen(QPen(QColor(0x9a, 0x6a, 0x00), 1.5));
        painter.setBrush(QColor(0xff, 0xc8, 0x1e));
        painter.drawPath(triangle);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 10, PictureSize, PictureSize - 12), Qt::AlignCenter,
                         QStringLiteral("!"));
        break;
    }
    case ErrorIcon: {
        painter.setPen(QPen(QColor(0x8c, 0x10, 0x10), 1.5));
        painter.setBrush(QColor(0xd9, 0x2b, 0x2b));
        painter.drawEllipse(area);
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        constexpr double a = 13;
        constexpr double b = PictureSize - 13;
        painter.drawLine(QPointF(a, a), QPointF(b, b));
        painter.drawLine(QPointF(a, b), QPointF(b, a));
        break;
    }
    }
    return pixmap;
}

QLabel* MakePicture(QWidget* parent, const char* name, MessageIconKind kind) {
    auto* picture = Named(new QLabel(parent), name);
    picture->setPixmap(DrawPicture(kind));
    picture->hide();
    return picture;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(true);
    return button;
}

// The memo's text with every line break as the single character its
// document starts a new line at; a "\r\n" pair is one break, not two.
QString DocumentText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Counts the lines the memo shows and finds the widest of them, from the
// memo's own layout so that what is measured is exactly what is drawn.
TextMeasure MeasureMemo(QTextEdit* memo) {
    TextMeasure measure;
    measure.lineHeight =
        QFontMetrics(memo->font()).size(Qt::TextSingleLine, LineHeightSample).height();
    QTextDocument* document = memo->document();
    document->setTextWidth(MemoWidth);
    document->documentLayout()->documentSize(); // lays out every block
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const bool emptyLastLine = !block.next().isValid() && block.length() <= 1;
        if (emptyLastLine) {
            break;
        }
        const QTextLayout* layout = block.layout();
        measure.lineCount += std::max(1, layout->lineCount());
        for (int i = 0; i < layout->lineCount(); ++i) {
            const int width = static_cast<int>(std::ceil(layout->lineAt(i).naturalTextWidth()));
            measure.widestLine = std::max(measure.widestLine, width);
        }
    }
    return measure;
}

} // namespace

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("MessageForm"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    resize(DesignClientWidth, DesignClientHeight);
    auto* anchors = new AnchorLayout(this, size());

    MessagePanel = Named(new QFrame(this), "MessagePanel");
    MessagePanel->resize(DesignClientWidth, 97);
    MessagePanel->setAutoFillBackground(true);
    // The message sits on the system's colour for content (white on a light
    // desktop), with the text colour that belongs to it, so that a dark
    // theme gives light text on a dark panel rather than on white.
    MessagePanel->setBackgroundRole(QPalette::Base);
    MessagePanel->setForegroundRole(QPalette::Text);
    anchors->Place(MessagePanel, QRect(0, 0, DesignClientWidth, 97), AnchorAll);
    auto* messageAnchors = new AnchorLayout(MessagePanel, MessagePanel->size());

    QuestionImage = MakePicture(MessagePanel, "QuestionImage", QuestionIcon);
    WarningImage = MakePicture(MessagePanel, "WarningImage", WarningIcon);
    ErrorImage = MakePicture(MessagePanel, "ErrorImage", ErrorIcon);
    for (QLabel* picture : {QuestionImage, WarningImage, ErrorImage}) {
        messageAnchors->Place(picture, QRect(20, 20, PictureSize, PictureSize));
    }

    Memo = Named(new QTextEdit(MessagePanel), "Memo");
    Memo->setReadOnly(true);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setFocusPolicy(Qt::ClickFocus);
    Memo->setLineWrapMode(QTextEdit::FixedPixelWidth);
    Memo->setLineWrapColumnOrWidth(MemoWidth);
    Memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->document()->setDocumentMargin(0);
    Memo->viewport()->setAutoFillBackground(false);
    // The memo's height is fixed once its text is known; the anchors then
    // only stretch it sideways.
    Memo->setFixedHeight(MemoHeight);
    messageAnchors->Place(Memo, QRect(80, 20, MemoWidth, MemoHeight),
                          AnchorLeft | AnchorTop | AnchorRight);

    CheckBox = Named(new QCheckBox(tr("CheckBox"), MessagePanel), "CheckBox");
    messageAnchors->Place(CheckBox, QRect(80, 70, MemoWidth, CheckBoxHeight));

    ButtonPanel = Named(new QFrame(this), "ButtonPanel");
    ButtonPanel->resize(DesignClientWidth, 42);
    anchors->Place(ButtonPanel, QRect(0, 97, DesignClientWidth, 42),
                   AnchorLeft | AnchorRight | AnchorBottom);
    auto* buttonAnchors = new AnchorLayout(ButtonPanel, ButtonPanel->size());
    Button1 = MakeButton(ButtonPanel, "Button1", tr("OK"));
    Button2 = MakeButton(ButtonPanel, "Button2", tr("Cancel"));
    Button3 = MakeButton(ButtonPanel, "Button3", tr("Abort"));
    buttonAnchors->Place(Button1, QRect(314, 8, 75, 25), AnchorTop | AnchorRight);
    buttonAnchors->Place(Button2, QRect(226, 8, 75, 25), AnchorTop | AnchorRight);
    buttonAnchors->Place(Button3, QRect(138, 8, 75, 25), AnchorTop | AnchorRight);
    Button2->hide();
    Button3->hide();
    // The buttons are numbered from the right, and Tab follows them the way
    // the eye reads them, left to right.
    setTabOrder(Button3, Button2);
    setTabOrder(Button2, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { ButtonClick(1); });
    connect(Button2, &QPushButton::clicked, this, [this] { ButtonClick(2); });
    connect(Button3, &QPushButton::clicked, this, [this] { ButtonClick(3); });
}

void TMessageForm::SetMessage(const QString& title, const QString& text,
                              const QStringList& captions, int icon, int defaultButton,
                              const QString& checkCaption, const bool* checkState) {
    setWindowTitle(title);
    Memo->setPlainText(DocumentText(text));

    const QStringList shown = ShownCaptions(captions);
    Button1->setText(shown.at(0));
    if (shown.size() >= 2) {
        Button2->setText(shown.at(1));
        Button2->show();
    }
    if (shown.size() == 3) {
        Button3->setText(shown.at(2));
        Button3->show();
    }
    // An "OK" put in place of captions that could not be shown answers 1.
    mDefaultButton = DefaultButton(defaultButton, static_cast<int>(shown.size()));
    DefaultPushButton()->setDefault(true);

    QuestionImage->setVisible(icon == QuestionIcon);
    WarningImage->setVisible(icon == WarningIcon);
    ErrorImage->setVisible(icon == ErrorIcon);

    const bool withCheckBox = checkCaption != QLatin1String("0") && checkState != nullptr;
    if (withCheckBox) {
        CheckBox->setText(checkCaption);
        CheckBox->setChecked(*checkState);
    } else {
        CheckBox->hide();
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int workAreaHeight = screen ? screen->availableGeometry().height() : DesignClientHeight;
    const FormSize formSize = ComputeFormSize(MeasureMemo(Memo), static_cast<int>(shown.size()),
                                              withCheckBox, workAreaHeight);
    Memo->setFixedHeight(formSize.memoHeight);
    // The user cannot resize the window: its size follows the text alone.
    setFixedSize(formSize.width, formSize.height);
}

void TMessageForm::PlaceOver(const QRect& owner, const QSize& workArea) {
    using DialogPlacement::CentreInsideWorkArea;
    move(CentreInsideWorkArea(owner.left(), owner.width(), width(), workArea.width()),
         CentreInsideWorkArea(owner.top(), owner.height(), height(), workArea.height()));
}

void TMessageForm::done(int result) {
    // Escape, the window manager and every other way Qt has to end a dialog
    // come through here; only a button may.
    if (!FormCloseQuery()) {
        return;
    }
    QDialog::done(result);
}

void TMessageForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TMessageForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    // There is no cancel key: every answer is a deliberate button.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::ButtonClick(int result) {
    ButtonPressed = true;
    done(result);
}

void TMessageForm::FormShow() {
    DefaultPushButton()->setFocus(Qt::OtherFocusReason);
}

QPushButton* TMessageForm::DefaultPushButton() const {
    switch (mDefaultButton) {
    case 2:
        return Button2;
    case 3:
        return Button3;
    default:
        return Button1;
    }
}
