#include "settings/UploadCommands.h"

#include "support/SettingsBuilders.h"

#include <gtest/gtest.h>

namespace {} // namespace

TEST(AddContactCommands, FormChosenByFirmware) {
    const ContactEntry c = Contact("0123456781", {2, 5}, true, false);
    EXPECT_EQ(AddContactCommands(c, 3, 24),
              QList<QByteArray>({"add,2,0123456781,s;", "add,5,0123456781,s;"}));
    EXPECT_EQ(AddContactCommands(c, 0, 0), AddContactCommands(c, 3, 24));
    EXPECT_EQ(AddContactCommands(c, 3, 25), QList<QByteArray>({"add,2&5,0123456781,s;"}));
    EXPECT_EQ(AddContactCommands(c, 4, 0), QList<QByteArray>({"add,2&5,0123456781,s;"}));
}

TEST(AddContactCommands, VoiceBeforeSms) {
    EXPECT_EQ(AddContactCommands(Contact("0123456781", {1, 3}, true, true), 3, 25),
              QList<QByteArray>({"add,1&3,0123456781,v,s;"}));
    EXPECT_EQ(AddContactCommands(Contact("0123456781", {8}, false, true), 3, 1),
              QList<QByteArray>({"add,8,0123456781,v;"}));
}

TEST(AddContactCommands, NothingWithoutInputsOrNumber) {
    EXPECT_TRUE(AddContactCommands(Contact("0123456781", {}, true, true), 3, 25).isEmpty());
    EXPECT_TRUE(AddContactCommands(Contact("0123456781", {}, true, true), 3, 24).isEmpty());
    EXPECT_TRUE(AddContactCommands(Contact("", {1}, true, true), 3, 25).isEmpty());
}

TEST(UploadCommands, InputNamePinAndFixedCommands) {
    EXPECT_EQ(ModifyInputCommand(6, Input(false, false, 0)), "mod,inp,6,nc,s,0;");
    EXPECT_EQ(ModifyInputCommand(4, Input(true, true, 12)), "mod,inp,4,no,l,12;");
    EXPECT_EQ(NameCommand(6, ""), "name,6,\"\";");
    EXPECT_EQ(NameCommand(4, QString::fromUtf8("Back door é")), "name,4,\"Back door \xe9\";");
    EXPECT_EQ(SetPinCommand(PinNumber::Admin, "7431"), "pin,2,7431;");
    EXPECT_EQ(SetPinCommand(PinNumber::User, "8297"), "pin,1,8297;");
    EXPECT_EQ(DeleteAllContactsCommand(), "del,0,all;");
    EXPECT_EQ(SaveAllCommand(), "save all;");
}

TEST(InputEcho, SkipsBlanksAfterColonAndFirstTwoCommas) {
    const InputSettings sent = Input(false, false, 0);
    EXPECT_TRUE(InputEchoMatches("6: NC, SLAVE, 0, x\r", 6, sent));
    EXPECT_TRUE(InputEchoMatches("6:nc,slave,0,", 6, sent));
    EXPECT_EQ(ParseInputEcho("6:\tNO,  LATCHING,12,x"), (InputEcho{6, true, true, 12}));
    // Attempts need a comma after them; without one they read as 90.
    EXPECT_FALSE(InputEchoMatches("6:NC,SLAVE,0\r", 6, sent));
    EXPECT_TRUE(InputEchoMatches("6:NC,SLAVE,0\r", 6, Input(false, false, 90)));
    EXPECT_TRUE(InputEchoMatches("6:NC,SLAVE,abc,\r", 6, Input(false, false, 90)));
}

TEST(InputEcho, RefusesAnyDifference) {
    const InputSettings sent = Input(true, true, 3);
    EXPECT_TRUE(InputEchoMatches("2: NO, LATCH, 3, ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("3: NO, LATCH, 3, ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("2: NC, LATCH, 3, ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("2: NO, SLAVE, 3, ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("2: NO, LATCH, 4, ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("2: NO, LATCH, 3 , ok", 2, sent));
    EXPECT_FALSE(InputEchoMatches("Error\r", 2, sent));
    // The fields are not read for input numbers outside 1 to 8.
    EXPECT_EQ(ParseInputEcho("9: NO, LATCH, 3,"), (InputEcho{9, false, false, 0}));
    EXPECT_EQ(ParseInputEcho("x: NO, LATCH, 3,"), InputEcho{});
}

TEST(NameEcho, RepeatsTheMessageExactly) {
    EXPECT_TRUE(NameEchoMatches("4: Back door\r", 4, "Back door"));
    EXPECT_TRUE(NameEchoMatches("4:Back door", 4, "Back door"));
    EXPECT_TRUE(NameEchoMatches("4:   \r", 4, ""));
    EXPECT_FALSE(NameEchoMatches("4: back door\r", 4, "Back door"));
    EXPECT_FALSE(NameEchoMatches("4: Back door \r", 4, "Back door"));
    EXPECT_FALSE(NameEchoMatches("5: Back door\r", 4, "Back door"));
    EXPECT_FALSE(NameEchoMatches("Back door\r", 4, "Back door"));
    // Leading blanks of the echo are always dropped, so such a message never matches.
    EXPECT_FALSE(NameEchoMatches("4:  Back door\r", 4, " Back door"));
    EXPECT_TRUE(NameEchoMatches("4: T\xfcr\r", 4, QString::fromUtf8("Tür")));
    EXPECT_EQ(ParseNameEcho("7:\t a: b \r"), (NameEcho{7, "a: b "}));
    EXPECT_EQ(ParseNameEcho("0: a\r"), (NameEcho{0, {}}));
    EXPECT_EQ(ParseNameEcho("x: a\r"), NameEcho{});
}

TEST(FindUploadProblem, DefaultsAndEditedSettingsPass) {
    DiallerSettings s;
    EXPECT_EQ(FindUploadProblem(s, UploadScope::All), std::nullopt);
    s.Contacts[0] = Contact("+1234567890123*#", {1}, true, false);
    s.Inputs[0].SmsMessage = QString::fromUtf8("Alarm, call £ ") + QString(76, 'x');
    // A trailing blank comes back in the echo as it was sent.
    s.Inputs[1].SmsMessage = "Back door ";
    // A euro sign from the dialler arrives as byte 0x80 and goes back as such.
    s.Inputs[2].SmsMessage = QString::fromLatin1("5 \x80");
    s.Inputs[1].DiallingAttempts = 99;
    s.AdminPin = "000000";
    EXPECT_EQ(FindUploadProblem(s, UploadScope::All), std::nullopt);
}

TEST(FindUploadProblem, RefusesValuesThatCouldInjectCommands) {
    DiallerSettings s;
    s.Contacts[2].PhoneNumber = "1;del,0,all";
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Contacts),
              "The phone number at location 3 contains characters the dialler cannot store.");
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Inputs), std::nullopt);
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Pins), std::nullopt);
    EXPECT_TRUE(FindUploadProblem(s, UploadScope::All).has_value());

    s = DiallerSettings{};
    s.Contacts[0].PhoneNumber = QString(17, '1');
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Contacts),
              "The phone number at location 1 is longer than 16 characters.");

    const auto inputProblem = [](const QString& message) {
        DiallerSettings settings;
        settings.Inputs[4].SmsMessage = message;
        return FindUploadProblem(settings, UploadScope::Inputs);
    };
    EXPECT_EQ(inputProblem("a\";del,0,all;\""),
              "The SMS message of input 5 contains a double quote (\") character.");
    EXPECT_EQ(inputProblem("a\rdel,0,all"),
              "The SMS message of input 5 contains characters the dialler cannot store.");
    EXPECT_EQ(inputProblem(QString::fromUtf8("Alarm €")),
              "The SMS message of input 5 contains characters the dialler cannot store.");
    EXPECT_EQ(inputProblem(QString(91, 'x')),
              "The SMS message of input 5 is longer than 90 characters.");
    // The dialler ends a command at a semicolon even inside the quotes.
    EXPECT_EQ(inputProblem("a;del,0,all"),
              "The SMS message of input 5 contains a semicolon (;) character.");
    EXPECT_EQ(inputProblem(" Back door"), "The SMS message of input 5 begins with a blank.");
}

TEST(FindUploadProblem, PinsAndAttempts) {
    DiallerSettings s;
    s.UserPin = "123";
    s.Inputs[7].DiallingAttempts = 100;
    s.Contacts[0].PhoneNumber = "x";
    // In the order of sending: PINs, then contacts, then inputs.
    EXPECT_EQ(FindUploadProblem(s, UploadScope::All), "The User PIN must be 4 to 6 digits.");
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Inputs),
              "The dialling attempts of input 8 must be between 0 and 99.");
    s.AdminPin = "12345a";
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Pins), "The Admin PIN must be 4 to 6 digits.");
    s.AdminPin = "1234567";
    EXPECT_EQ(FindUploadProblem(s, UploadScope::Pins), "The Admin PIN must be 4 to 6 digits.");
    s = DiallerSettings{};
    s.Inputs[0].DiallingAttempts = -1;
    EXPECT_TRUE(FindUploadProblem(s, UploadScope::Inputs).has_value());
}
