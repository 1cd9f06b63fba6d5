#pragma once

#include "settings/DiallerSettings.h"

#include <initializer_list>

// Short ways to write the settings a test needs.

// A contact told of the given inputs (numbered from 1), by SMS unless said.
inline ContactEntry Contact(const QString& number, std::initializer_list<int> inputs = {1},
                            bool sms = true, bool voice = false) {
    ContactEntry c;
    c.PhoneNumber = number;
    c.ReportBySms = sms;
    c.ReportByVoice = voice;
    for (int n : inputs) {
        c.ReportsInput[n - 1] = true;
    }
    return c;
}

inline InputSettings Input(bool normallyOpen, bool latching, int attempts,
                           const QString& message = {}) {
    InputSettings s;
    s.NormallyOpen = normallyOpen;
    s.Latching = latching;
    s.DiallingAttempts = attempts;
    s.SmsMessage = message;
    return s;
}
