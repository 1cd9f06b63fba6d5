#include "settings/UploadExchange.h"

#include "device/CommandFraming.h"
#include "device/LinkFixture.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsBlockCollector.h"

#include <QStringList>

#include "support/SettingsBuilders.h"

#include <gtest/gtest.h>

namespace {

using Commands = QList<QByteArray>;

// What the upload showed, in order: "activity: ..." and "error: ...".
class RecordedFeedback : public UploadFeedback {
public:
    void ShowActivity(const QString& text) override { Events << "activity: " + text; }
    void ShowCommandError(const QString& text) override { Events << "error: " + text; }
    QStringList Events;
};

constexpr FirmwareVersion Firmware324{3, 24};
constexpr FirmwareVersion Firmware325{3, 25};

class UploaderTest : public LinkFixture {
protected:
    void Refuse(const QByteArray& prefix) {
        DiallerLineBehaviour b = dialler.Behaviour();
        b.RefusedCommands << prefix;
        dialler.SetBehaviour(b);
    }
    void AnswerInstead(const QByteArray& prefix, const QByteArray& answer) {
        DiallerLineBehaviour b = dialler.Behaviour();
        b.AnswersInstead << std::pair(prefix, answer);
        dialler.SetBehaviour(b);
    }

    // "dnld all;" read the way the download reads it: byte by byte until the
    // block is complete, then split and applied to default settings.
    std::optional<DiallerSettings> Download() {
        if (!SendCommand(transport, "dnld all;")) {
            return std::nullopt;
        }
        ReplyStartFinder start;
        char byte = 0;
        do {
            if (transport.ReadFromDevice(&byte, 1, SettingsBlockLimits::ByteTimeoutMs) < 1) {
                return std::nullopt;
            }
        } while (!start.Feed(byte));
        SettingsBlockCollector collector;
        while (collector.Progress() == BlockProgress::NeedMore) {
            if (transport.ReadFromDevice(&byte, 1, SettingsBlockLimits::ByteTimeoutMs) < 1) {
                return std::nullopt;
            }
            collector.Feed(byte);
        }
        if (collector.Progress() != BlockProgress::Complete) {
            return std::nullopt;
        }
        return ApplyAllLines(SplitSettingsBlock(collector.Block()), DiallerSettings{}).Settings;
    }

    RecordedFeedback feedback;
};

const QString TryAgain = "\r\n\r\nPlease try again.";

} // namespace

TEST_F(UploaderTest, AddFormFollowsTheFirmwareVersion) {
    const ContactEntry contact = Contact("0123456781", {2, 5}, true, false);
    dialler.SetFirmwareVersion(3, 24, 1);
    ASSERT_TRUE(AddContact(transport, contact, Firmware324));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"add,2,0123456781,s;", "add,5,0123456781,s;"}));
    EXPECT_EQ(dialler.Settings().Contacts[0], contact);

    dialler.ClearReceivedCommands();
    ASSERT_TRUE(AddContact(transport, Contact("0999", {1, 3}, true, true), FirmwareVersion{}));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"add,1,0999,v,s;", "add,3,0999,v,s;"}));

    dialler.SetFirmwareVersion(3, 25, 1);
    dialler.ClearReceivedCommands();
    ASSERT_TRUE(AddContact(transport, contact, Firmware325));
    ASSERT_TRUE(AddContact(transport, Contact("0777", {1, 3}, true, true), FirmwareVersion{4, 0}));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"add,2&5,0123456781,s;", "add,1&3,0777,v,s;"}));
}

TEST_F(UploaderTest, OldFormStopsAtTheFirstRefusedInput) {
    Refuse("add,2,");
    EXPECT_FALSE(AddContact(transport, Contact("0123", {1, 2, 3}, false, true), Firmware324));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"add,1,0123,v;", "add,2,0123,v;"}));
}

TEST_F(UploaderTest, PhoneNumbersGoInListOrderWithoutGaps) {
    ContactList contacts{};
    contacts[2] = Contact("333", {1}, true, false);
    // A number that reports no input sends nothing, and the upload goes on.
    contacts[9] = Contact("444", {}, true, true);
    contacts[39] = Contact("+4040", {8, 2}, false, true);
    dialler.SetSettings([] {
        DiallerSettings old;
        old.Contacts[0] = Contact("999", {4}, true, false);
        return old;
    }());

    ASSERT_TRUE(SendPhoneNumbers(transport, feedback, contacts, Firmware325));
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"del,0,all;", "add,1,333,s;", "add,2&8,+4040,v;"}));
    EXPECT_EQ(feedback.Events,
              QStringList({"activity: Sending phone numbers to ORNEX", "activity: "}));
    const ContactList stored = dialler.Settings().Contacts;
    EXPECT_EQ(stored[0], contacts[2]);
    EXPECT_EQ(stored[1], contacts[39]);
    EXPECT_TRUE(stored[2].IsFree());
}

TEST_F(UploaderTest, ARefusedAddEndsThePhoneNumbers) {
    ContactList contacts{};
    contacts[0] = Contact("111", {1}, true, false);
    contacts[1] = Contact("222", {1}, true, false);
    contacts[2] = Contact("333", {1}, true, false);
    Refuse("add,1,222");
    EXPECT_FALSE(SendPhoneNumbers(transport, feedback, contacts, Firmware325));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"del,0,all;", "add,1,111,s;", "add,1,222,s;"}));
    EXPECT_EQ(feedback.Events,
              QStringList({"activity: Sending phone numbers to ORNEX",
                           "error: Error sending phone numbers." + TryAgain, "activity: "}));

    dialler.ClearReceivedCommands();
    feedback.Events.clear();
    Refuse("del,");
    EXPECT_FALSE(SendPhoneNumbers(transport, feedback, contacts, Firmware325));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"del,0,all;"}));
    EXPECT_EQ(feedback.Events.at(1), "error: Error sending phone numbers." + TryAgain);
}

TEST_F(UploaderTest, InputAndItsMessage) {
    ASSERT_TRUE(ModifyInput(transport, 6, Input(false, false, 0)));
    ASSERT_TRUE(ModifyInput(transport, 4, Input(true, true, 12, "Back door")));
    EXPECT_EQ(dialler.ReceivedCommands(),
              Commands({"mod,inp,6,nc,s,0;", "name,6,\"\";", "mod,inp,4,no,l,12;",
                        "name,4,\"Back door\";"}));
    EXPECT_EQ(dialler.Settings().Inputs[5], Input(false, false, 0));
    EXPECT_EQ(dialler.Settings().Inputs[3], Input(true, true, 12, "Back door"));
}

TEST_F(UploaderTest, InputEchoMustRepeatWhatWasSent) {
    AnswerInstead("mod,inp,6", "6: NC, SLAVE, 0, x\r");
    EXPECT_TRUE(ModifyInput(transport, 6, Input(false, false, 0)));

    // Without a comma after them the attempts read as 90.
    dialler.ClearReceivedCommands();
    AnswerInstead("mod,inp,2", "2:NC,SLAVE,0\r");
    EXPECT_FALSE(ModifyInput(transport, 2, Input(false, false, 0)));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"mod,inp,2,nc,s,0;"}));
    AnswerInstead("mod,inp,3", "3:NC,SLAVE,90\r");
    EXPECT_TRUE(ModifyInput(transport, 3, Input(false, false, 90)));

    AnswerInstead("mod,inp,5", "5: NO, LATCH, 3, x\r");
    EXPECT_FALSE(ModifyInput(transport, 5, Input(false, true, 3)));
}

TEST_F(UploaderTest, MessageEchoMustRepeatTheMessageExactly) {
    DiallerLineBehaviour lower = dialler.Behaviour();
    lower.LowerCaseReplies = true;
    dialler.SetBehaviour(lower);
    // The input echo reads in any letter case; the message must not change.
    EXPECT_TRUE(ModifyInput(transport, 1, Input(true, true, 3, "back door")));
    EXPECT_FALSE(ModifyInput(transport, 1, Input(true, true, 3, "Back door")));

    dialler.SetBehaviour({});
    AnswerInstead("name,4,", "4: Back door \r");
    EXPECT_FALSE(ModifyInput(transport, 4, Input(true, true, 3, "Back door")));
    EXPECT_TRUE(ModifyInput(transport, 4, Input(true, true, 3, "Back door ")));
}

TEST_F(UploaderTest, AFailingAdminPinSendsNoUserPin) {
    Refuse("pin,2");
    EXPECT_FALSE(SendPins(transport, feedback, "1234", "5678"));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"pin,2,1234;"}));
    EXPECT_EQ(feedback.Events,
              QStringList({"activity: Sending PINs to ORNEX",
                           "error: Error setting Admin PIN." + TryAgain, "activity: "}));

    dialler.SetBehaviour({});
    Refuse("pin,1");
    feedback.Events.clear();
    EXPECT_FALSE(SendPins(transport, feedback, "1234", "5678"));
    EXPECT_EQ(feedback.Events.at(1), "error: Error setting User PIN." + TryAgain);
    EXPECT_EQ(dialler.Settings().AdminPin, "1234");
}

TEST_F(UploaderTest, SendAllInItsOrderAndSavesOnce) {
    DiallerSettings settings;
    settings.AdminPin = "1111";
    settings.UserPin = "222222";
    settings.Contacts[0] = Contact("0123456781", {1, 3}, true, true);
    settings.Contacts[1] = Contact("*31#0999", {8}, true, false);
    settings.Inputs[5] = Input(false, false, 0);
    settings.Inputs[7].SmsMessage = QStringLiteral("Gate, open: \xe9");

    ASSERT_TRUE(UploadSettings(transport, feedback, settings, UploadScope::All, Firmware325));
    Commands expected = {"pin,2,1111;", "pin,1,222222;", "del,0,all;", "add,1&3,0123456781,v,s;",
                         "add,8,*31#0999,s;"};
    for (int n = 1; n <= 8; ++n) {
        expected << ModifyInputCommand(n, settings.Inputs[n - 1])
                 << NameCommand(n, settings.Inputs[n - 1].SmsMessage);
    }
    expected << "save all;";
    EXPECT_EQ(dialler.ReceivedCommands(), expected);
    EXPECT_EQ(expected[15], "mod,inp,6,nc,s,0;");
    EXPECT_EQ(expected[16], "name,6,\"\";");
    EXPECT_EQ(dialler.FlashSaves(), 1);
    EXPECT_EQ(feedback.Events,
              QStringList({"activity: Sending PINs to ORNEX",
                           "activity: ", "activity: Sending phone numbers to ORNEX",
                           "activity: ", "activity: Sending input settings to ORNEX",
                           "activity: ", "activity: Saving settings to flash memory"}));
}

TEST_F(UploaderTest, NoSaveAfterAFailure) {
    Refuse("name,3,");
    EXPECT_FALSE(
        UploadSettings(transport, feedback, DiallerSettings{}, UploadScope::All, Firmware325));
    const Commands received = dialler.ReceivedCommands();
    EXPECT_EQ(received.last(), "name,3,\"\";");
    EXPECT_FALSE(received.contains("mod,inp,4,no,l,3;"));
    EXPECT_EQ(dialler.FlashSaves(), 0);
    EXPECT_TRUE(feedback.Events.contains("error: Error sending input settings." + TryAgain));

    dialler.SetBehaviour({});
    dialler.ClearReceivedCommands();
    Refuse("pin,2");
    EXPECT_FALSE(
        UploadSettings(transport, feedback, DiallerSettings{}, UploadScope::All, Firmware325));
    EXPECT_EQ(dialler.ReceivedCommands(), Commands({"pin,2,7431;"}));
}

TEST_F(UploaderTest, EachScopeSendsOnlyItsPageAndNamesItsFlashSave) {
    struct Case {
        UploadScope scope;
        QByteArray first;
        int commands;
        QString saving;
        QString error;
    };
    const Case cases[] = {
        {UploadScope::Pins, "pin,2,7431;", 2, "Saving PINs to flash memory",
         "Error saving PINs to flash memory."},
        {UploadScope::Contacts, "del,0,all;", 1, "Saving phone numbers to flash memory",
         "Error saving phone numbers to flash memory."},
        {UploadScope::Inputs, "mod,inp,1,no,l,3;", 16, "Saving input settings to flash memory",
         "Error saving input settings to flash memory."},
        {UploadScope::All, "pin,2,7431;", 19, "Saving settings to flash memory",
         "Error saving settings to flash memory."},
    };
    Refuse("save all");
    for (const Case& c : cases) {
        dialler.ClearReceivedCommands();
        feedback.Events.clear();
        EXPECT_FALSE(UploadSettings(transport, feedback, DiallerSettings{}, c.scope, Firmware325));
        const Commands received = dialler.ReceivedCommands();
        ASSERT_EQ(received.size(), c.commands + 1) << c.saving.toStdString();
        EXPECT_EQ(received.first(), c.first);
        EXPECT_EQ(received.last(), "save all;");
        EXPECT_EQ(feedback.Events.mid(feedback.Events.size() - 2),
                  QStringList({"activity: " + c.saving, "error: " + c.error + TryAgain}));
    }
}

TEST_F(UploaderTest, RoundTripThroughTheDialler) {
    DiallerSettings settings;
    settings.AdminPin = "135790";
    settings.UserPin = "2468";
    settings.Contacts[4] = Contact("+441234567890", {1, 2, 3, 4, 5, 6, 7, 8}, true, true);
    settings.Contacts[17] = Contact("0123*#", {7}, false, true);
    settings.Contacts[98] = Contact("5", {2, 4}, true, false);
    for (int n = 1; n <= 8; ++n) {
        settings.Inputs[n - 1] =
            Input(n % 2 == 0, n % 3 != 0, n * 11, QStringLiteral("Input %1, zone \xe5").arg(n));
    }
    settings.Inputs[0].SmsMessage = QString(90, 'm');

    for (const FirmwareVersion firmware : {Firmware324, Firmware325}) {
        dialler.SetFirmwareVersion(firmware.Major, firmware.Minor, 1);
        dialler.SetSettings(DiallerSettings{});
        ASSERT_TRUE(UploadSettings(transport, feedback, settings, UploadScope::All, firmware));

        DiallerSettings compacted = settings;
        CompactContacts(compacted.Contacts, -1);
        EXPECT_EQ(dialler.Settings(), compacted);
        const std::optional<DiallerSettings> readBack = Download();
        ASSERT_TRUE(readBack.has_value());
        EXPECT_EQ(*readBack, compacted);
    }
}
