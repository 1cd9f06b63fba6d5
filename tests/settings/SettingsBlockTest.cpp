#include "settings/SettingsBlock.h"

#include <gtest/gtest.h>

namespace {

// Settings that differ from the defaults everywhere a download can write.
DiallerSettings Current() {
    DiallerSettings s;
    s.AdminPin = "111111";
    s.UserPin = "2222";
    for (InputSettings& input : s.Inputs) {
        input.NormallyOpen = false;
        input.Latching = false;
        input.DiallingAttempts = 7;
        input.SmsMessage = "old";
        input.VoiceMessageMissing = true;
    }
    s.Contacts[0].PhoneNumber = "999";
    s.Contacts[0].ReportBySms = true;
    return s;
}

QStringList UsedNumbers(const ContactList& contacts) {
    QStringList numbers;
    for (const ContactEntry& c : contacts) {
        if (!c.IsFree()) {
            numbers << c.PhoneNumber;
        }
    }
    return numbers;
}

} // namespace

TEST(SplitSettingsBlock, SplitsAtCarriageReturnsOnly) {
    EXPECT_EQ(SplitSettingsBlock("VER:1\rCON:1,5,SMS\rLEN:0024\r"),
              QStringList({"VER:1", "CON:1,5,SMS", "LEN:0024"}));
    EXPECT_EQ(SplitSettingsBlock("VER:1\r\nINP:1\r\nLEN:0022\r"),
              QStringList({"VER:1", "\nINP:1", "\nLEN:0022"}));
    EXPECT_EQ(SplitSettingsBlock(QByteArrayLiteral("VER:1\rPIN:0,12\0 34,5678\rNAM:1,\"x\"\r")),
              QStringList({"VER:1", "PIN:0,12"}));
    EXPECT_EQ(SplitSettingsBlock("NAM:1,\"\xe9t\xe9\"\r"),
              QStringList{QString::fromUtf8("NAM:1,\"été\"")});
}

TEST(ApplyInputLines, ReadsEachField) {
    const AppliedSettings applied =
        ApplyInputLines({"VER:1", "inp:3,nc,slave,5,-", "INP:2,NO,LATCH,abc,x"}, Current());
    const InputSettings& three = applied.Settings.Inputs[2];
    EXPECT_FALSE(three.NormallyOpen);
    EXPECT_FALSE(three.Latching);
    EXPECT_EQ(three.DiallingAttempts, 5);
    EXPECT_TRUE(three.VoiceMessageMissing);
    const InputSettings& two = applied.Settings.Inputs[1];
    EXPECT_TRUE(two.NormallyOpen);
    EXPECT_TRUE(two.Latching);
    EXPECT_EQ(two.DiallingAttempts, 90);
    EXPECT_FALSE(two.VoiceMessageMissing);
    // Inputs that no line names keep everything, their messages included.
    EXPECT_EQ(applied.Settings.Inputs[0], Current().Inputs[0]);
    EXPECT_EQ(three.SmsMessage, "old");
    EXPECT_TRUE(applied.Problems.isEmpty());
}

TEST(ApplyInputLines, MissingCommasReadTheSameTextAgain) {
    // No comma after the attempts: the attempts field reads as empty, so 90;
    // the voice state reads the same "5".
    const AppliedSettings applied = ApplyInputLines({"INP:4,NC,SLAVE,5"}, Current());
    EXPECT_EQ(applied.Settings.Inputs[3].DiallingAttempts, 90);
    EXPECT_FALSE(applied.Settings.Inputs[3].VoiceMessageMissing);
    // No comma after the input number: the line names no input.
    EXPECT_EQ(ApplyInputLines({"INP:4"}, Current()).Settings, Current());
}

TEST(ApplyInputLines, IgnoresInputsOutsideOneToEightAndOtherRecords) {
    const AppliedSettings applied =
        ApplyInputLines({"INP:9,NC,SLAVE,1,-", "INP:0,NC,SLAVE,1,-", "NAM:9,\"x\"", "NAM:x,\"x\"",
                         "\nINP:1,NO,LATCH,1,x", " INP:1,NO,LATCH,1,x", "CON:1,5,SMS"},
                        Current());
    EXPECT_EQ(applied.Settings, Current());
}

TEST(ApplyInputLines, MessagesBetweenTheFirstTwoQuotes) {
    const auto message = [](const QString& line) {
        return ApplyInputLines({line}, Current()).Settings.Inputs[3].SmsMessage;
    };
    EXPECT_EQ(message("NAM:4,\"Back door\""), "Back door");
    EXPECT_EQ(message("nam:4,\"Back door"), "");
    EXPECT_EQ(message("NAM:4,\"\""), "");
    EXPECT_EQ(message("NAM:4,\"a,b\" \"c\""), "a,b");
}

TEST(ApplyInputLines, LaterLinesWin) {
    const AppliedSettings applied = ApplyInputLines(
        {"NAM:1,\"first\"", "INP:1,NC,SLAVE,150,x", "NAM:1,\"second\"", "INP:1,NO,LATCH,4,x"},
        Current());
    EXPECT_EQ(applied.Settings.Inputs[0].SmsMessage, "second");
    EXPECT_EQ(applied.Settings.Inputs[0].DiallingAttempts, 4);
    EXPECT_TRUE(applied.Problems.isEmpty()) << applied.Problems.join('\n').toStdString();
}

TEST(ApplyInputLines, FitsValuesTheSettingsCannotHold) {
    const AppliedSettings applied =
        ApplyInputLines({"INP:1,NC,SLAVE,150,x", "INP:2,NC,SLAVE,-3,x",
                         "NAM:3,\"" + QString(95, 'm') + "\"", "NAM:4,\"  Back door \"",
                         "NAM:5,\"Front\ndoor\"", "NAM:6,\"" + QString(89, 'm') + "  x\""},
                        Current());
    const auto& inputs = applied.Settings.Inputs;
    EXPECT_EQ(inputs[0].DiallingAttempts, 99);
    EXPECT_EQ(inputs[1].DiallingAttempts, 0);
    EXPECT_EQ(inputs[2].SmsMessage, QString(90, 'm'));
    EXPECT_EQ(inputs[3].SmsMessage, "Back door");
    EXPECT_EQ(inputs[4].SmsMessage, "Front");
    // Cut to 90, the message would end in a blank; that goes too.
    EXPECT_EQ(inputs[5].SmsMessage, QString(89, 'm'));
    ASSERT_EQ(applied.Problems.size(), 6);
    EXPECT_TRUE(applied.Problems[0].contains("input 1"));
    EXPECT_TRUE(applied.Problems[2].contains("input 3"));
}

TEST(ApplyContactLines, PutsNumbersIntoTheirLocationsThenCompacts) {
    AppliedSettings applied = ApplyContactLines({"CON:7,0123456781,SMS"}, Current());
    const ContactEntry& first = applied.Settings.Contacts[0];
    EXPECT_EQ(first.PhoneNumber, "0123456781");
    EXPECT_TRUE(first.ReportBySms);
    EXPECT_FALSE(first.ReportByVoice);
    EXPECT_EQ(first.ReportsInput, (std::array<bool, 8>{}));
    EXPECT_TRUE(applied.Settings.Contacts[1].IsFree());
    // The rest of the settings is not touched.
    EXPECT_EQ(applied.Settings.Inputs, Current().Inputs);
    EXPECT_EQ(applied.Settings.AdminPin, Current().AdminPin);

    applied = ApplyContactLines({"CON:99,5,voice", "CON:100,6,SMS", "CON:0,7,SMS", "CON:2,8,Sms"},
                                Current());
    EXPECT_EQ(UsedNumbers(applied.Settings.Contacts), QStringList({"8", "5"}));
    EXPECT_TRUE(applied.Settings.Contacts[1].ReportByVoice);
    EXPECT_FALSE(applied.Settings.Contacts[1].ReportBySms);
}

TEST(ApplyContactLines, NumberNeedsAClosingComma) {
    EXPECT_EQ(ApplyContactLines({"CON:3,0123456781"}, Current()).Settings.Contacts, ContactList{});
}

TEST(ApplyContactLines, NoContactLinesEmptyTheList) {
    EXPECT_EQ(
        ApplyContactLines({"VER:1", "PIN:0,1234,5678", "LEN:0030"}, Current()).Settings.Contacts,
        ContactList{});
}

TEST(ApplyContactLines, InputLinesMarkTheNumbersSeenSoFar) {
    const QString inp = "INP:1,NC,SLAVE,3,-,0123456781,0123456782";
    const QStringList con = {"CON:1,0123456781,SMS", "CON:2,0123456782,VOICE"};
    AppliedSettings after = ApplyContactLines(con + QStringList{inp}, Current());
    EXPECT_TRUE(after.Settings.Contacts[0].ReportsInput[0]);
    EXPECT_TRUE(after.Settings.Contacts[1].ReportsInput[0]);
    EXPECT_FALSE(after.Settings.Contacts[0].ReportsInput[1]);

    AppliedSettings before = ApplyContactLines(QStringList{inp} + con, Current());
    EXPECT_FALSE(before.Settings.Contacts[0].ReportsInput[0]);
    EXPECT_FALSE(before.Settings.Contacts[1].ReportsInput[0]);

    // The voice state field is not a number; the comma-less last field is.
    after =
        ApplyContactLines(con + QStringList{"INP:2,NC,SLAVE,3,0123456781,0123456782"}, Current());
    EXPECT_FALSE(after.Settings.Contacts[0].ReportsInput[1]);
    EXPECT_TRUE(after.Settings.Contacts[1].ReportsInput[1]);
}

TEST(ApplyContactLines, LeavesOutNumbersTheDiallerCouldNotBeGiven) {
    const AppliedSettings applied =
        ApplyContactLines({"CON:1,12345678901234567,SMS", "CON:2,1;del,0,all,SMS", "CON:3,12+3,SMS",
                           "CON:4,+1234567890123*#,SMS"},
                          Current());
    EXPECT_EQ(UsedNumbers(applied.Settings.Contacts), QStringList({"+1234567890123*#"}));
    ASSERT_EQ(applied.Problems.size(), 3);
    EXPECT_TRUE(applied.Problems[0].contains("location 1"));
    EXPECT_TRUE(applied.Problems[1].contains("\"1;del\" for location 2"));
    EXPECT_TRUE(applied.Problems[2].contains("location 3"));
}

TEST(DownloadProblems, QuoteTheDiallersTextAsItCame) {
    // "%2" and the like in a reply are the dialler's characters, not places
    // for the note's own values.
    const AppliedSettings contacts =
        ApplyContactLines({"CON:1,12%2x,SMS", "CON:2,12345678901234567%3,SMS"}, Current());
    ASSERT_EQ(contacts.Problems.size(), 2);
    EXPECT_TRUE(contacts.Problems[0].contains("\"12%2x\" for location 1,"))
        << contacts.Problems[0].toStdString();
    EXPECT_TRUE(contacts.Problems[1].contains("\"12345678901234567%3\" for location 2, which is "
                                              "longer than 16"))
        << contacts.Problems[1].toStdString();

    const AppliedSettings pins = ApplyPinLine({"PIN:0,1%3%4,5678"}, Current());
    ASSERT_EQ(pins.Problems.size(), 1);
    EXPECT_TRUE(pins.Problems[0].contains("User PIN \"1%3%4\", which is not 4 to 6 digits"))
        << pins.Problems[0].toStdString();
}

TEST(ApplyPinLine, TakesUserThenAdmin) {
    AppliedSettings applied = ApplyPinLine({"PIN:0,1234,567890"}, Current());
    EXPECT_EQ(applied.Settings.UserPin, "1234");
    EXPECT_EQ(applied.Settings.AdminPin, "567890");
    EXPECT_EQ(applied.Settings.Contacts, Current().Contacts);

    applied = ApplyPinLine({"pin:0,1234,5678", "PIN:0,4321,8765"}, Current());
    EXPECT_EQ(applied.Settings.UserPin, "4321");
    EXPECT_EQ(applied.Settings.AdminPin, "8765");

    EXPECT_EQ(ApplyPinLine({"VER:1"}, Current()).Settings, Current());
}

TEST(ApplyPinLine, RefusesPinsThatAreNotFourToSixDigits) {
    // One comma only: the User PIN reads as empty, the Admin PIN as the rest.
    AppliedSettings applied = ApplyPinLine({"PIN:0,1234"}, Current());
    EXPECT_EQ(applied.Settings.UserPin, Current().UserPin);
    EXPECT_EQ(applied.Settings.AdminPin, "1234");
    ASSERT_EQ(applied.Problems.size(), 1);
    EXPECT_TRUE(applied.Problems[0].contains("User PIN"));

    applied = ApplyPinLine({"PIN:0,12a4,1234567"}, Current());
    EXPECT_EQ(applied.Settings.UserPin, Current().UserPin);
    EXPECT_EQ(applied.Settings.AdminPin, Current().AdminPin);
    EXPECT_EQ(applied.Problems.size(), 2);
}

TEST(ApplyAllLines, CarriageReturnLineFeedRepliesApplyNothing) {
    const SettingsReply reply =
        SplitSettingsBlock("VER:1\r\nINP:1,NC,SLAVE,5,-\r\nNAM:1,\"x\"\r\nCON:1,5,SMS\r\nPIN:0,"
                           "1234,5678\r\nLEN:0080\r");
    const AppliedSettings applied = ApplyAllLines(reply, Current());
    DiallerSettings expected = Current();
    expected.Contacts = ContactList{};
    EXPECT_EQ(applied.Settings, expected);
}
