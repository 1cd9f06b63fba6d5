#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"

#include <QPushButton>

namespace {

class SettingsRoundTrip : public ConnectedWindowFixture {};

DiallerSettings SiteSettings() {
    DiallerSettings s;
    s.Contacts[0] = {"0123456789", true, false, {true, false, true}};
    s.Contacts[1] = {"+441234567", false, true, {false, true}};
    s.Contacts[2] = {"*21#", true, true, {true, true, true, true, true, true, true, true}};
    s.Inputs[0] = {false, false, 0, "Front door", false};
    s.Inputs[5] = {true, false, 99, "Freezer temperature high", false};
    s.Inputs[7].SmsMessage = QString(90, QLatin1Char('x'));
    s.AdminPin = "123456";
    s.UserPin = "9876";
    return s;
}

} // namespace

// What Send All writes into the dialler, Get All reads back into the window
// unchanged, after the window was reset in between.
TEST_F(SettingsRoundTrip, SendAllThenGetAllGivesTheSameWindowContents) {
    const DiallerSettings site = SiteSettings();
    form->Settings().Write(site);
    {
        DialogAnswerer noDialogs({});
        form->SendAllButton()->click();
        EXPECT_TRUE(noDialogs.Seen().empty());
    }
    EXPECT_EQ(dialler.Settings(), site);

    form->Settings().Write(DiallerSettings{});
    {
        // The reset marked the settings modified: Get All asks first.
        DialogAnswerer answerer({"&No"});
        form->GetAllButton()->click();
    }
    EXPECT_EQ(form->Settings().Read(), site);
}
