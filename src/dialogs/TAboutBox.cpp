#include "dialogs/TAboutBox.h"

#include "dialogs/AboutTexts.h"
#include "dialogs/DialogPlacement.h"
#include "platform/Named.h"
#include "platform/ProductInfo.h"
#include "platform/VersionInfoSource.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace {

constexpr int LogoWidth = 105;
constexpr int LogoHeight = 33;
constexpr int LabelsCentre = 99;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

// The maker's logo: a signal mark and the product's name in the maker's
// colours, drawn to fit whatever font the system has.
QPixmap DrawLogo() {
    QPixmap logo(LogoWidth, LogoHeight);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor red(0xc8, 0x1e, 0x1e);
    painter.setPen(QPen(red, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QPointF source(6, LogoHeight / 2.0);
    painter.drawEllipse(source, 2.5, 2.5);
    for (int ring = 1; ring <= 2; ++ring) {
        const double r = 5.0 * ring + 1;
        painter.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }

    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(40);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("ORNEX"));
    const QRectF bounds = name.boundingRect();
    const QRectF target(24, 5, LogoWidth - 26, LogoHeight - 10);
    const double scale =
        std::min(target.width() / bounds.width(), target.height() / bounds.height());
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-bounds.center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x2b, 0x5c));
    painter.drawPath(name);
    return logo;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : TAboutBox(ProgramVersionInfo(), parent) {}

TAboutBox::TAboutBox(const VersionInfoSource& versionInfo, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About..."));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(ClientWidth, ClientHeight);

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(0, 0, ClientWidth, ClientHeight);

    LogoPanel = Named(new QFrame(Panel1), "LogoPanel");
    LogoPanel->setGeometry(4, 4, 191, 49);
    LogoPanel->setAutoFillBackground(true);
    QPalette white = LogoPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    LogoPanel->setPalette(white);
    TembaLogo = Named(new QLabel(LogoPanel), "TembaLogo");
    TembaLogo->setGeometry(40, 10, LogoWidth, LogoHeight);
    TembaLogo->setAlignment(Qt::AlignCenter);
    TembaLogo->setPixmap(DrawLogo());

    QFont title = font;
    title.setBold(true);
    title.setPixelSize(13);
    TitleLabel1 = MakeLabel(Panel1, "TitleLabel1", QStringLiteral("ORNEX"), {3, 60, 193, 17});
    TitleLabel2 = MakeLabel(Panel1, "TitleLabel2", tr("Programming Software"), {3, 76, 193, 17});
    TitleLabel1->setFont(title);
    TitleLabel2->setFont(title);

    VersionLabel = MakeLabel(Panel1, "VersionLabel", QString(), {3, 100, 193, 13});
    ForUpdatesLabel = MakeLabel(Panel1, "ForUpdatesLabel", tr("Check for the latest version at"),
                                {3, 126, 193, 13});

    TembaWebsiteLabel = MakeLabel(Panel1, "TembaWebsiteLabel",
                                  QString::fromLatin1(ProductInfo::WebHost), {61, 140, 76, 13});
    QFont link = font;
    link.setUnderline(true);
    TembaWebsiteLabel->setFont(link);
    QPalette blue = TembaWebsiteLabel->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    TembaWebsiteLabel->setPalette(blue);
    TembaWebsiteLabel->setCursor(Qt::PointingHandCursor);
    // The label is as wide as the address needs, centred under the line above.
    const int linkWidth =
        std::max(76, TembaWebsiteLabel->fontMetrics().horizontalAdvance(TembaWebsiteLabel->text()));
    TembaWebsiteLabel->setGeometry(LabelsCentre - linkWidth / 2, 140, linkWidth, 13);
    TembaWebsiteLabel->installEventFilter(this);

    CompanyLabel = MakeLabel(Panel1, "CompanyLabel", QString::fromLatin1(ProductInfo::CompanyName),
                             {3, 172, 193, 13});
    CopyrightLabel = MakeLabel(Panel1, "CopyrightLabel", QString(), {3, 188, 193, 17});
    CopyrightLabel->setWordWrap(true);

    FormCreate(versionInfo);
}

void TAboutBox::PlaceOver(const QRect& owner) {
    using DialogPlacement::CentreNotNegative;
    move(CentreNotNegative(owner.left(), owner.width(), width()),
         CentreNotNegative(owner.top(), owner.height(), height()));
}

void TAboutBox::FormCreate(const VersionInfoSource& versionInfo) {
    const AboutTexts texts = AboutTextsFrom(versionInfo.Read());
    VersionLabel->setText(texts.version);
    CopyrightLabel->setText(texts.copyright);
    // A long copyright line wraps; the label grows down into the space below
    // it rather than cutting the second line off.
    const int room = ClientHeight - Panel1->lineWidth() - CopyrightLabel->y();
    CopyrightLabel->resize(
        CopyrightLabel->width(),
        std::clamp(CopyrightLabel->heightForWidth(CopyrightLabel->width()), 17, room));
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    event->accept();
    FormKeyDown();
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
    // Presses on the panels, the logo and the labels end up here too: none
    // of them takes the mouse.
    event->accept();
    FormMouseDown();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TembaWebsiteLabel) {
        if (event->type() == QEvent::MouseButtonPress) {
            return true; // the web address does not close the window
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* release = static_cast<QMouseEvent*>(event);
            if (release->button() == Qt::LeftButton &&
                TembaWebsiteLabel->rect().contains(release->position().toPoint())) {
                WebsiteLabelClick();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::FormMouseDown() {
    accept();
}

void TAboutBox::FormKeyDown() {
    accept();
}

void TAboutBox::WebsiteLabelClick() {
    // Nothing is reported when no browser takes the address.
    // The address opened is the one shown, so the two cannot disagree.
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + TembaWebsiteLabel->text()));
}
