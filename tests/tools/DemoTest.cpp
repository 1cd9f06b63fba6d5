#include "DemoDialler.h"
#include "DemoSite.h"
#include "app/ContactsPage.h"
#include "app/OutputsPage.h"
#include "app/TMainForm.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

constexpr int ConnectTimeoutMs = 10000;

// The demo's own wiring: the window over the demo's device search, exactly
// as ornex-demo builds it.
TEST(Demo, ConnectsAndReadsTheSimulatedSite) {
    DemoDialler dialler;
    TMainForm form(dialler.MakeSearch());
    form.show();

    const QString connected =
        QStringLiteral("ORNEX-4G v3.25 on %1 - connected").arg(dialler.PortName());
    const bool reached = QTest::qWaitFor(
        [&] { return form.StatusPanels()[1]->text() == connected; }, ConnectTimeoutMs);
    ASSERT_TRUE(reached) << form.StatusPanels()[1]->text().toStdString();
    EXPECT_TRUE(form.GetAllButton()->isEnabled());

    form.GetAllButton()->click();

    const DiallerSettings site = DemoSite();
    const DiallerSettings shown = form.Settings().Read();
    EXPECT_EQ(shown.Contacts, site.Contacts);
    EXPECT_EQ(form.Contacts()->PhoneNumbersListView()->topLevelItem(0)->text(1),
              site.Contacts[0].PhoneNumber);
    EXPECT_EQ(shown.Inputs[1].SmsMessage, site.Inputs[1].SmsMessage);
    EXPECT_EQ(shown.AdminPin, site.AdminPin);
    EXPECT_EQ(form.StatusPanels()[0]->text(), QString());
}

// Reflash as the service mode offers it: the demo's own image goes into the
// simulated dialler, which comes back with the new version.
TEST(Demo, ReflashUpgradesTheSimulatedDialler) {
    // A user's own installed image would be found first.
    QTemporaryDir emptyDataHome;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(emptyDataHome.path()));
    DemoDialler dialler;
    TMainForm form(dialler.MakeSearch());
    form.show();
    const auto connected = [&](const char* version) {
        return QTest::qWaitFor(
            [&] {
                return form.StatusPanels()[1]->text() ==
                       QStringLiteral("ORNEX-4G %1 on %2 - connected")
                           .arg(QLatin1String(version), dialler.PortName());
            },
            ConnectTimeoutMs);
    };
    ASSERT_TRUE(connected("v3.25")) << form.StatusPanels()[1]->text().toStdString();
    form.Outputs()->TestReflashButton()->setVisible(true);

    form.Outputs()->TestReflashButton()->click();

    EXPECT_TRUE(dialler.Bootloader().Application(DemoDialler::ImageSize) == dialler.Image());
    EXPECT_TRUE(connected("v3.26")) << form.StatusPanels()[1]->text().toStdString();
    qputenv("XDG_DATA_HOME", dataHome);
}

TEST(Demo, SiteKeepsWithinTheDiallersLimits) {
    const DiallerSettings site = DemoSite();
    int occupied = 0;
    for (const ContactEntry& contact : site.Contacts) {
        if (contact.IsFree()) {
            continue;
        }
        ++occupied;
        EXPECT_TRUE(IsValidPhoneNumber(contact.PhoneNumber)) << contact.PhoneNumber.toStdString();
        EXPECT_TRUE(contact.ReportBySms || contact.ReportByVoice);
    }
    EXPECT_EQ(occupied, 12);
    for (const InputSettings& input : site.Inputs) {
        EXPECT_LE(input.SmsMessage.size(), SettingsLimits::SmsMessageMaxLength);
        EXPECT_FALSE(input.SmsMessage.isEmpty());
    }
}

} // namespace
