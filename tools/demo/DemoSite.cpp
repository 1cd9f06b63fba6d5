#include "DemoSite.h"

namespace {

struct DemoInput {
    const char* message;
    bool normallyOpen;
    bool latching;
    int attempts;
};

struct DemoContact {
    const char* number;
    bool sms;
    bool voice;
    const char* inputs; // the input numbers the contact is told of
};

constexpr DemoInput Inputs[] = {
    {"Front door opened", true, true, 3},         {"Back door opened", true, true, 3},
    {"Garage door opened", true, true, 2},        {"Smoke detector alarm", false, true, 5},
    {"Freezer temperature high", true, false, 3}, {"Water leak in plant room", true, true, 3},
    {"Mains power failure", false, false, 1},     {"Panic button pressed", true, true, 9},
};

constexpr DemoContact Contacts[] = {
    {"07700900123", true, true, "12345678"}, {"07700900456", true, false, "1238"},
    {"+447700900789", true, true, "48"},     {"01632960111", false, true, "12"},
    {"01632960222", false, true, "3"},       {"07700900321", true, false, "567"},
    {"07700900654", true, false, "4"},       {"+447700900987", true, true, "8"},
    {"01632960333", false, true, "6"},       {"07700900111", true, false, "57"},
    {"07700900222", true, true, "4"},        {"*21#", false, true, "7"},
};

} // namespace

DiallerSettings DemoSite() {
    DiallerSettings site;
    for (int i = 0; i < SettingsLimits::InputCount; ++i) {
        InputSettings& input = site.Inputs[i];
        input.SmsMessage = QString::fromLatin1(Inputs[i].message);
        input.NormallyOpen = Inputs[i].normallyOpen;
        input.Latching = Inputs[i].latching;
        input.DiallingAttempts = Inputs[i].attempts;
    }
    int row = 0;
    for (const DemoContact& c : Contacts) {
        ContactEntry& contact = site.Contacts[row++];
        contact.PhoneNumber = QString::fromLatin1(c.number);
        contact.ReportBySms = c.sms;
        contact.ReportByVoice = c.voice;
        for (const char* n = c.inputs; *n; ++n) {
            contact.ReportsInput[*n - '1'] = true;
        }
    }
    site.AdminPin = QStringLiteral("2580");
    site.UserPin = QStringLiteral("1397");
    return site;
}
