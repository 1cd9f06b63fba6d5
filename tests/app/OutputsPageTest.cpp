#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"

#include "app/ContactsPage.h"
#include "app/DebugPage.h"
#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "platform/CircleShape.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

namespace {

constexpr int Green = 65280;
constexpr int Red = 255;
constexpr int WaitMs = 10000;

class OutputsPageWindow : public ConnectedWindowFixture {
protected:
    void SetUp() override {
        ConnectedWindowFixture::SetUp();
        dialler.ClearReceivedCommands();
    }

    void ShowPage(QWidget* page) { form->PageControl()->setCurrentWidget(page); }
    int Lamp(int output) const {
        return form->Outputs()->OutputControls()[output - 1].Status->BrushColor();
    }
    void ReplyTo(const QByteArray& command, const QByteArray& reply) {
        DiallerLineBehaviour behaviour;
        behaviour.ReplacedReplies = {{command, reply}};
        dialler.SetBehaviour(behaviour);
    }
};

// Records, in order, the paints of a widget and the first bytes the window
// sends to the dialler (through the traffic log, which writes as it sends).
class PaintBeforeSendRecorder : public QObject {
public:
    PaintBeforeSendRecorder(QWidget* painted, QTextEdit* log) {
        painted->installEventFilter(this);
        connect(log, &QTextEdit::textChanged, this, [this] {
            if (!events.contains("sent")) {
                events << "sent";
            }
        });
    }
    QStringList events;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            events << "paint";
        }
        return false;
    }
};

} // namespace

TEST_F(OutputsPageWindow, ThePageIsOnScreenBeforeTheStatusQueryBlocksTheWindow) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->PageControl()->setTabVisible(form->PageControl()->indexOf(form->Debug()), true);
    PaintBeforeSendRecorder recorder(form->Outputs()->OutputsScrollContent(),
                                     form->Debug()->TxRxRichEdit());
    ShowPage(form->Outputs());
    ASSERT_TRUE(recorder.events.contains("sent"));
    EXPECT_EQ(recorder.events.first(), "paint") << recorder.events.join(' ').toStdString();
}

TEST_F(OutputsPageWindow, SwitchingOffPaintsTheLampFromTheFollowingQuery) {
    dialler.SetOutput(2, true);
    DialogAnswerer noDialogs({});
    form->Outputs()->OutputControls()[1].OffButton->click();
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_FALSE(dialler.Output(2));
    EXPECT_EQ(Lamp(2), Red);
    EXPECT_EQ(Lamp(1), CircleShape::White);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"out,2,off;", "sts,out,2;"}));

    form->Outputs()->OutputControls()[0].OnButton->click();
    EXPECT_EQ(Lamp(1), Green);
    EXPECT_TRUE(dialler.Output(1));
}

TEST_F(OutputsPageWindow, AnAnswerForTheWrongOutputIsRefusedWithAMessage) {
    ReplyTo("out,1,on;", "2:ON\r");
    DialogAnswerer answerer({"OK"});
    form->Outputs()->OutputControls()[0].OnButton->click();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    const SeenDialog& message = answerer.Seen().front();
    EXPECT_EQ(message.title, "Command Error");
    EXPECT_EQ(message.text, "Unable to set output.\r\n\r\nPlease try again.");
    EXPECT_EQ(message.buttons, QStringList{"OK"});
    EXPECT_EQ(message.icon, 3);
    // The lamp shows what the dialler reports afterwards.
    EXPECT_EQ(Lamp(1), Red);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"out,1,on;", "sts,out,1;"}));
}

TEST_F(OutputsPageWindow, AnAnswerInLowerCaseIsAccepted) {
    DiallerLineBehaviour lower;
    lower.LowerCaseReplies = true;
    dialler.SetBehaviour(lower);
    DialogAnswerer noDialogs({});
    form->Outputs()->OutputControls()[0].OnButton->click();
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_EQ(Lamp(1), Green);
}

TEST_F(OutputsPageWindow, OpeningThePageAsksForBothAndTheSupervisorKeepsAsking) {
    dialler.SetOutput(1, true);
    ShowPage(form->Outputs());
    EXPECT_EQ(Lamp(1), Green);
    EXPECT_EQ(Lamp(2), Red);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>({"sts,out,1;", "sts,out,2;"}));

    // Switched by other means: the next tick shows it.
    dialler.SetOutput(2, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Lamp(2) == Green; }, WaitMs));

    // Elsewhere the supervisor leaves the outputs alone.
    ShowPage(form->Inputs());
    dialler.ClearReceivedCommands();
    QTest::qWait(2500);
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}

TEST_F(OutputsPageWindow, AStatusReplyWithoutColonLeavesTheLampWhite) {
    ReplyTo("sts,out,1;", "1ON\r");
    ShowPage(form->Outputs());
    EXPECT_EQ(Lamp(1), CircleShape::White);
    EXPECT_EQ(Lamp(2), Red);
}

TEST_F(OutputsPageWindow, WithoutAConnectionOpeningThePageSendsNothing) {
    ShowPage(form->Outputs());
    ASSERT_EQ(Lamp(2), Red);
    ShowPage(form->Contacts());
    form->Pins()->DisconnectButton()->click();
    dialler.ClearReceivedCommands();

    ShowPage(form->Outputs());
    EXPECT_EQ(Lamp(1), CircleShape::White);
    EXPECT_EQ(Lamp(2), CircleShape::White);
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}

TEST_F(OutputsPageWindow, SwitchingWithoutAConnectionFailsAtOnce) {
    form->Pins()->DisconnectButton()->click();
    DialogAnswerer answerer({"OK"});
    form->Outputs()->OutputControls()[1].OnButton->click();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen().front().title, "Command Error");
    EXPECT_EQ(Lamp(2), CircleShape::White);
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}

TEST_F(OutputsPageWindow, ButtonsNamedForNoOutputOfTheDiallerDoNothing) {
    DialogAnswerer noDialogs({});
    QPushButton third;
    third.setObjectName(QStringLiteral("Output3OnButton"));
    form->Outputs()->SetOutputButtonClick(&third);
    QPushButton other;
    other.setObjectName(QStringLiteral("Out1Status"));
    form->Outputs()->SetOutputButtonClick(&other);
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());
}
