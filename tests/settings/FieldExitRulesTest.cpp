#include "settings/FieldExitRules.h"

#include <gtest/gtest.h>

TEST(PinExitRule, OnlyFourToSixDigitsDifferentFromTheOtherPin) {
    for (const char* pin : {"1234", "0000", "123456", "000001"}) {
        EXPECT_EQ(CheckPinOnExit(pin, "8297"), PinExitVerdict::Accept) << pin;
    }
    for (const char* pin : {"", "1", "123", "1234567", "12a4", "-1", "-123", "+123", " 1234",
                            "1234 ", "\u0661\u0662\u0663\u0664"}) {
        EXPECT_EQ(CheckPinOnExit(QString::fromUtf8(pin), "8297"), PinExitVerdict::KeepFocus) << pin;
    }
    EXPECT_EQ(CheckPinOnExit("8297", "8297"), PinExitVerdict::SameAsOtherPin);
    // Too short wins over equal: no message for a PIN the user is still typing.
    EXPECT_EQ(CheckPinOnExit("12", "12"), PinExitVerdict::KeepFocus);
    // Exactly equal texts only.
    EXPECT_EQ(CheckPinOnExit("08297", "8297"), PinExitVerdict::Accept);
}

TEST(SmsMessageExitRule, TrimsBlanksAndFindsDoubleQuotes) {
    SmsMessageExitVerdict v = CheckSmsMessageOnExit(" \t\r\nBack door\x01 ");
    EXPECT_EQ(v.Trimmed, "Back door");
    EXPECT_FALSE(v.HasDoubleQuote);

    v = CheckSmsMessageOnExit("  Fire  in hall ");
    EXPECT_EQ(v.Trimmed, "Fire  in hall");

    for (const char* text : {"\"", "Say \"hi\"", "end\""}) {
        v = CheckSmsMessageOnExit(text);
        EXPECT_TRUE(v.HasDoubleQuote) << text;
        EXPECT_EQ(v.Trimmed, text);
    }
    v = CheckSmsMessageOnExit("");
    EXPECT_TRUE(v.Trimmed.isEmpty());
    EXPECT_FALSE(v.HasDoubleQuote);
    EXPECT_FALSE(CheckSmsMessageOnExit("it's 'single'").HasDoubleQuote);
}
