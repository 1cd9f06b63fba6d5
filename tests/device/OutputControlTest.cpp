#include "LinkFixture.h"

#include "device/OutputControl.h"

using Outputs = LinkFixture;

namespace {

DiallerLineBehaviour ReplyingTo(const QByteArray& command, const QByteArray& reply) {
    DiallerLineBehaviour behaviour;
    behaviour.ReplacedReplies = {{command, reply}};
    return behaviour;
}

} // namespace

TEST(OutputButtonName, GivesTheOutputAndTheStateAskedFor) {
    const auto on = ParseOutputButtonName(QStringLiteral("Output1OnButton"));
    ASSERT_TRUE(on.has_value());
    EXPECT_EQ(on->Output, 1);
    EXPECT_TRUE(on->On);

    const auto off = ParseOutputButtonName(QStringLiteral("Output2OffButton"));
    ASSERT_TRUE(off.has_value());
    EXPECT_EQ(off->Output, 2);
    EXPECT_FALSE(off->On);

    // Only the text in front of "Button" tells on from off.
    EXPECT_FALSE(ParseOutputButtonName(QStringLiteral("Output2OffButtonON"))->On);
    EXPECT_TRUE(ParseOutputButtonName(QStringLiteral("Output1on"))->On);
}

TEST(OutputButtonName, OtherNamesAskForNoOutputWeHave) {
    EXPECT_FALSE(ParseOutputButtonName(QStringLiteral("Out1Status")).has_value());
    EXPECT_FALSE(ParseOutputButtonName(QStringLiteral("output1OnButton")).has_value());
    EXPECT_EQ(ParseOutputButtonName(QStringLiteral("OutputXOnButton"))->Output, 0);
    EXPECT_EQ(ParseOutputButtonName(QStringLiteral("Output1"))->Output, 0);
    EXPECT_EQ(ParseOutputButtonName(QStringLiteral("Output12OnButton"))->Output, 12);
    EXPECT_FALSE(IsDiallerOutput(0));
    EXPECT_FALSE(IsDiallerOutput(3));
}

TEST(OutputReply, TheNumberStandsInFrontOfTheFirstColon) {
    EXPECT_EQ(ReplyOutputNumber("1:ON\r"), 1);
    EXPECT_EQ(ReplyOutputNumber("2:OFF:3\r"), 2);
    EXPECT_EQ(ReplyOutputNumber("1ON\r"), 0);
    EXPECT_EQ(ReplyOutputNumber("x:ON\r"), 0);
    EXPECT_EQ(ReplyOutputNumber(":ON\r"), 0);
    EXPECT_EQ(ReplyOutputNumber(" 1:ON\r"), 0);
}

TEST_F(Outputs, SwitchingIsConfirmedByTheOutputsNumberAndNewState) {
    EXPECT_TRUE(SetOutput(transport, 2, true));
    EXPECT_TRUE(dialler.Output(2));
    EXPECT_TRUE(SetOutput(transport, 2, false));
    EXPECT_FALSE(dialler.Output(2));
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"out,2,on;", "out,2,off;"}));
}

TEST_F(Outputs, SwitchingFailsOnAnAnswerForAnotherOutputOrState) {
    dialler.SetBehaviour(ReplyingTo("out,1,on;", "2:ON\r"));
    EXPECT_FALSE(SetOutput(transport, 1, true));
    dialler.SetBehaviour(ReplyingTo("out,1,off;", "1:ON\r"));
    EXPECT_FALSE(SetOutput(transport, 1, false));
    dialler.SetBehaviour(ReplyingTo("out,1,on;", "Error\r"));
    EXPECT_FALSE(SetOutput(transport, 1, true));
}

TEST_F(Outputs, TheStateWordIsReadInEitherCase) {
    DiallerLineBehaviour lower;
    lower.LowerCaseReplies = true;
    dialler.SetBehaviour(lower);
    EXPECT_TRUE(SetOutput(transport, 1, true));
    bool on = false;
    EXPECT_TRUE(QueryOutput(transport, 1, on));
    EXPECT_TRUE(on);
    EXPECT_EQ(GetOutputState(transport, true, 2), OutputOff);
}

TEST_F(Outputs, AStatusReplyWithoutColonOrForAnotherOutputFails) {
    bool on = false;
    dialler.SetBehaviour(ReplyingTo("sts,out,1;", "1ON\r"));
    EXPECT_FALSE(QueryOutput(transport, 1, on));
    EXPECT_EQ(GetOutputState(transport, true, 1), OutputUnknown);
    dialler.SetBehaviour(ReplyingTo("sts,out,1;", "2:ON\r"));
    EXPECT_FALSE(QueryOutput(transport, 1, on));
    // A reply line of 25 bytes without its end is no reply.
    dialler.SetBehaviour(ReplyingTo("sts,out,1;", "1:ON" + QByteArray(21, ' ') + '\r'));
    EXPECT_FALSE(QueryOutput(transport, 1, on));
}

TEST_F(Outputs, WithoutAConnectionNothingIsAsked) {
    dialler.SetOutput(1, true);
    EXPECT_EQ(GetOutputState(transport, false, 1), OutputUnknown);
    EXPECT_EQ(GetOutputState(transport, true, 1), OutputOn);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"sts,out,1;"});
}
