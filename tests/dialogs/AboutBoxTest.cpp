#include "app/TMainForm.h"
#include "dialogs/TAboutBox.h"
#include "platform/ProductInfo.h"
#include "platform/VersionInfoSource.h"
#include "support/DialogAnswerer.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FixedVersionInfo : public VersionInfoSource {
public:
    explicit FixedVersionInfo(std::optional<VersionInfo> info) : mInfo(std::move(info)) {}
    std::optional<VersionInfo> Read() const override { return mInfo; }

private:
    std::optional<VersionInfo> mInfo;
};

// Stands in for the desktop's web browser.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    BrowserStandIn() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open"); }
    ~BrowserStandIn() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

} // namespace

TEST(AboutBox, ShowsTheVersionInformation) {
    TAboutBox none(FixedVersionInfo(std::nullopt), nullptr);
    EXPECT_EQ(none.VersionLabel->text(), "Version 0.0.0");
    EXPECT_EQ(none.CopyrightLabel->text(), ProductInfo::CopyrightLine);

    TAboutBox noFileVersion(FixedVersionInfo(VersionInfo{}), nullptr);
    EXPECT_EQ(noFileVersion.VersionLabel->text(), "");

    TAboutBox full(FixedVersionInfo(VersionInfo{"2.5.1.0", "(C) 2031 Someone"}), nullptr);
    EXPECT_EQ(full.VersionLabel->text(), "Version 2.5.1");
    EXPECT_EQ(full.CopyrightLabel->text(), "(C) 2031 Someone");

    TAboutBox program;
    EXPECT_TRUE(program.VersionLabel->text().startsWith("Version "));
    EXPECT_EQ(program.CompanyLabel->text(), ProductInfo::CompanyName);
    EXPECT_EQ(program.TembaWebsiteLabel->text(), ProductInfo::WebHost);
}

TEST(AboutBox, LabelsStayInsideTheWindow) {
    TAboutBox about;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        const QRect inWindow(label->mapTo(&about, QPoint(0, 0)), label->size());
        EXPECT_TRUE(QRect(0, 0, 199, 216).contains(inWindow)) << label->objectName().toStdString();
        if (label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        } else if (label->pixmap().isNull()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->objectName().toStdString();
        }
    }
}

TEST(AboutBox, PlacedOverTheOwnerButNeverNegative) {
    TAboutBox about;
    about.PlaceOver(QRect(100, 50, 852, 630));
    EXPECT_EQ(about.pos(), QPoint(100 + (852 - 199) / 2, 50 + (630 - 216) / 2));
    about.PlaceOver(QRect(-600, -500, 852, 630));
    EXPECT_EQ(about.pos(), QPoint(0, 0));
    // Far right and down it may run off the screen: nothing pulls it back.
    about.PlaceOver(QRect(5000, 4000, 852, 630));
    EXPECT_EQ(about.pos(), QPoint(5000 + 326, 4000 + 207));
}

TEST(AboutBox, AnyKeyClosesIt) {
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Escape, Qt::Key_Shift, Qt::Key_F1}) {
        TAboutBox about;
        DialogAnswerer answerer(
            {DialogAnswer::Act([key](QWidget* modal) { QTest::keyClick(modal, key); })});
        about.exec();
        EXPECT_EQ(answerer.Remaining(), 0);
        EXPECT_FALSE(about.isVisible());
    }
}

TEST(AboutBox, AClickAnywhereButTheWebAddressClosesIt) {
    for (const char* where :
         {"Panel1", "LogoPanel", "TembaLogo", "VersionLabel", "CopyrightLabel"}) {
        TAboutBox about;
        DialogAnswerer answerer({DialogAnswer::Act([where](QWidget* modal) {
            QTest::mouseClick(modal->findChild<QWidget*>(where), Qt::RightButton, {}, QPoint(2, 2));
        })});
        about.exec();
        EXPECT_FALSE(about.isVisible()) << where;
    }
}

TEST(AboutBox, WebAddressOpensTheBrowserAndLeavesTheWindowOpen) {
    BrowserStandIn browser;
    bool stayedOpen = false;
    TAboutBox about;
    DialogAnswerer answerer({DialogAnswer::Act([&stayedOpen](QWidget* modal) {
        auto* box = qobject_cast<TAboutBox*>(modal);
        QTest::mouseClick(box->TembaWebsiteLabel, Qt::LeftButton);
        stayedOpen = box->isVisible();
        // The address opened is the one the label shows.
        box->TembaWebsiteLabel->setText(QStringLiteral("www.example.org"));
        QTest::mouseClick(box->TembaWebsiteLabel, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Space);
    })});
    about.exec();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(browser.opened, QList<QUrl>({QUrl(QStringLiteral("http://www.ornex.example")),
                                           QUrl(QStringLiteral("http://www.example.org"))}));
}

TEST(AboutBox, HelpAboutOpensItOverTheMainWindow) {
    TMainForm form;
    form.move(30, 20);
    form.show();
    QPoint opened;
    DialogAnswerer answerer({DialogAnswer::Act([&opened](QWidget* modal) {
        opened = modal->pos();
        QTest::keyClick(modal, Qt::Key_Return);
    })});
    form.AboutMenuItem()->trigger();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].className, "TAboutBox");
    const QRect owner = form.frameGeometry();
    EXPECT_EQ(opened, QPoint(std::max(0, owner.left() + (owner.width() - 199) / 2),
                             std::max(0, owner.top() + (owner.height() - 216) / 2)));
}

#include "AboutBoxTest.moc"
