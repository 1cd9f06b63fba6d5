#include "voice/VoiceUpload.h"
#include "device/LinkFixture.h"
#include "support/VoiceImages.h"

#include <functional>
#include <memory>

namespace {

class VoiceUpload : public LinkFixture {
protected:
    // A 4.5-second message for input 2: a block of 72044 bytes.
    VoiceUpload() { PutVoiceImage(Slot(), QuietVoiceImage(72000)); }

    VoiceMessageSlot& Slot() { return (*table)[1]; }

    void Behave(const std::function<void(DiallerLineBehaviour&)>& change) {
        DiallerLineBehaviour behaviour;
        change(behaviour);
        dialler.SetBehaviour(behaviour);
    }

    std::unique_ptr<VoiceMessageTable> table = std::make_unique<VoiceMessageTable>();
};

TEST_F(VoiceUpload, SendsTheBlockAndLogsOnlyTheExchange) {
    EXPECT_TRUE(UploadVoiceMessage(transport, 2, Slot()));

    const QByteArray block = QuietVoiceImage(72000);
    EXPECT_EQ(dialler.ReceivedBytes(), "upl 2;" + block);
    EXPECT_EQ(dialler.VoiceMessage(2), block);
    EXPECT_EQ(log.Transcript(), "<upl 2;>\n[upl 2;Ready...]\n[Success!]\n");
    EXPECT_FALSE(transport.VoiceDataSending());
    EXPECT_EQ(VoiceUploadCommand(8), "upl 8;");
}

// A fault of the dialler, each on a fresh line.
struct DiallerFault {
    const char* name;
    std::function<void(DiallerLineBehaviour&)> fault;
    // How much of the block reached the dialler: none, all, or only a part
    // when the line went.
    enum { None, Whole, Part } received;
};

class VoiceUploadFault : public VoiceUpload, public ::testing::WithParamInterface<DiallerFault> {};

TEST_P(VoiceUploadFault, FailsTheUpload) {
    Behave(GetParam().fault);

    EXPECT_FALSE(UploadVoiceMessage(transport, 2, Slot()));

    EXPECT_FALSE(transport.VoiceDataSending());
    const QByteArray block = QuietVoiceImage(72000);
    EXPECT_FALSE(log.Text().contains(QString::fromLatin1(block.mid(44, 8))));
    switch (GetParam().received) {
    case DiallerFault::None:
        EXPECT_EQ(dialler.ReceivedBytes(), "upl 2;");
        EXPECT_TRUE(port.Connected());
        break;
    case DiallerFault::Whole:
        EXPECT_EQ(dialler.ReceivedBytes(), "upl 2;" + block);
        EXPECT_TRUE(port.Connected());
        break;
    case DiallerFault::Part:
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(portCheckRestarts, 1);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VoiceUploadFault,
    ::testing::Values(DiallerFault{"AnotherLineInsteadOfReady",
                                   [](DiallerLineBehaviour& b) {
                                       b.ReplacedReplies = {{"upl", "Error\r"}};
                                   },
                                   DiallerFault::None},
                      DiallerFault{"NoReady",
                                   [](DiallerLineBehaviour& b) {
                                       b.ReplacedReplies = {{"upl", ""}};
                                   },
                                   DiallerFault::None},
                      DiallerFault{"SilenceAfterTheData",
                                   [](DiallerLineBehaviour& b) { b.NoReplyAfterVoiceData = true; },
                                   DiallerFault::Whole},
                      // The dialler may have the message, but it said so too late.
                      DiallerFault{"SuccessLateByMoreThanASecond",
                                   [](DiallerLineBehaviour& b) {
                                       b.SlowLine = "Success!\r";
                                       b.SlowLineBytes = 1;
                                       b.SlowLineByteDelayMs = 1500;
                                   },
                                   DiallerFault::Whole},
                      DiallerFault{"HangUpInTheMiddleOfTheBlock",
                                   [](DiallerLineBehaviour& b) { b.HangUpAfterVoiceBytes = 30000; },
                                   DiallerFault::Part}),
    [](const ::testing::TestParamInfo<DiallerFault>& info) { return info.param.name; });

// Both reply lines are judged within their first 25 bytes: a longer line
// fails the upload there, and what follows is left unread.
TEST_F(VoiceUpload, AReplyLineLongerThanTwentyFiveBytesFailsIt) {
    struct Case {
        const char* name;
        QByteArray line;
        std::function<void(DiallerLineBehaviour&, const QByteArray&)> answer;
        bool blockSent;
    };
    const Case cases[] = {
        {"Success!", "Success!Success!Success!Success!\r",
         [](DiallerLineBehaviour& b, const QByteArray& line) { b.ReplyAfterVoiceData = line; },
         true},
        // Last: the dialler then waits for a block that does not come.
        {"Ready...", "Ready...Ready...Ready...Ready...\r",
         [](DiallerLineBehaviour& b, const QByteArray& line) {
             b.AnswersInstead = {{"upl", line}};
         },
         false},
    };
    const QByteArray block = QuietVoiceImage(72000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialler.ClearReceivedCommands();
        Behave([&c](DiallerLineBehaviour& b) { c.answer(b, c.line); });

        EXPECT_FALSE(UploadVoiceMessage(transport, 2, Slot()));

        EXPECT_EQ(dialler.ReceivedBytes(), "upl 2;" + (c.blockSent ? block : QByteArray()));
        EXPECT_EQ(Read(quint32(c.line.size()) - 25), c.line.mid(25));
        EXPECT_TRUE(port.Connected());
    }
}

// A header may state a RIFF length beyond the slot; the block still ends
// with the slot.
TEST_F(VoiceUpload, AnOversizedRiffLengthSendsNoMoreThanTheSlot) {
    PutVoiceImage(Slot(), QuietVoiceImage(240000));
    SetRiffLength(Slot(), 0xFFFFFFFF);

    // The dialler waits for the rest of what the header promised, so no
    // confirmation comes.
    EXPECT_FALSE(UploadVoiceMessage(transport, 2, Slot()));
    EXPECT_EQ(dialler.ReceivedBytes(), "upl 2;" + SlotBytes(Slot(), 240044));
}

} // namespace
