#include "BenchSites.h"

namespace {

// "+44" and 13 digits: as long as a number gets, and a different one for
// every location.
QString PhoneNumber(int location) {
    return QStringLiteral("+44%1").arg(7700900000LL + location * 7919LL, 13, 10, QLatin1Char('0'));
}

QString SmsMessage(int input) {
    QString text = QStringLiteral("Alarm on input %1 at the warehouse loading bay: call the "
                                  "keyholder and the site manager now")
                       .arg(input);
    while (text.size() < SettingsLimits::SmsMessageMaxLength) {
        text += QLatin1Char('!');
    }
    return text.left(SettingsLimits::SmsMessageMaxLength);
}

// Puts input flags on the contacts round and round, one location after the
// other, until `more` says stop; an input already full is passed over.
void SpreadInputs(DiallerSettings& settings, int perInputMax,
                  const std::function<bool(const DiallerSettings&)>& more) {
    std::array<int, SettingsLimits::InputCount> reporting{};
    int next = 0;
    for (int round = 0; round < SettingsLimits::InputCount; ++round) {
        for (ContactEntry& contact : settings.Contacts) {
            for (int tried = 0; tried < SettingsLimits::InputCount; ++tried) {
                const int input = next;
                next = (next + 1) % SettingsLimits::InputCount;
                if (contact.ReportsInput[input] || reporting[input] >= perInputMax) {
                    continue;
                }
                contact.ReportsInput[input] = true;
                if (!more(settings)) {
                    contact.ReportsInput[input] = false;
                    return;
                }
                ++reporting[input];
                break;
            }
        }
    }
}

} // namespace

DiallerSettings FullSite() {
    DiallerSettings settings;
    for (int location = 1; location <= SettingsLimits::ContactCount; ++location) {
        ContactEntry& contact = settings.Contacts[location - 1];
        contact.PhoneNumber = PhoneNumber(location);
        contact.ReportBySms = true;
        contact.ReportByVoice = true;
    }
    const int pairsMax = SettingsLimits::InputCount * SettingsLimits::ContactsPerInputMax;
    int pairs = 0;
    SpreadInputs(settings, SettingsLimits::ContactsPerInputMax,
                 [&](const DiallerSettings&) { return ++pairs <= pairsMax; });
    for (int input = 1; input <= SettingsLimits::InputCount; ++input) {
        InputSettings& settingsOfInput = settings.Inputs[input - 1];
        settingsOfInput.NormallyOpen = input % 2 == 1;
        settingsOfInput.Latching = input % 3 != 0;
        settingsOfInput.DiallingAttempts = 10 + input;
        settingsOfInput.SmsMessage = SmsMessage(input);
    }
    settings.AdminPin = QStringLiteral("740312");
    settings.UserPin = QStringLiteral("829716");
    return settings;
}

DiallerSettings FullSiteNearBlockLimit(const std::function<int(const DiallerSettings&)>& blockBytes,
                                       int limitBytes) {
    DiallerSettings settings = FullSite();
    SpreadInputs(settings, SettingsLimits::ContactCount, [&](const DiallerSettings& candidate) {
        const int bytes = blockBytes(candidate);
        return bytes > 0 && bytes <= limitBytes;
    });
    return settings;
}
