#include "device/LinkFixture.h"

#include "device/CommandFraming.h"
#include "app/RichEditTrafficLog.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {

quint32 ColourValue(const QColor& colour) {
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

// The control's text in the notation of MemoryTrafficLog::Transcript.
QString Transcript(const QTextDocument& document) {
    QString text;
    std::vector<quint32> colours;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            text += QLatin1Char('\n');
            colours.push_back(0);
        }
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QString piece = fragment.fragment().text();
            text += piece;
            colours.insert(colours.end(), piece.size(),
                           ColourValue(fragment.fragment().charFormat().foreground().color()));
        }
    }
    return MemoryTrafficLog::Transcript(text, colours);
}

const QString ExpectedTranscript = QStringLiteral("[1:ON]\n"
                                                  "<sts,out,2;>\n"
                                                  "[sts,out,2;2:OFF12:00:00.000]\n"
                                                  "<ver;>\n"
                                                  "[ve?;SW 3.25, HW 1]\n"
                                                  "<del,0,all;>\n"
                                                  "[del,0,all;Success!]\n");

// Stale bytes, a command with its echo and reply, a stamp behind a line, a
// failed echo whose rest is drained before the next command.
class RichEditLink : public LinkFixture {
protected:
    void RunExchanges() {
        dialler.Inject("1:ON\r");
        ASSERT_TRUE(WaitUntilWaiting(5));
        ASSERT_TRUE(SendCommand(transport, "sts,out,2;"));
        QByteArray line;
        ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
        transport.AppendToLastLogLine(QStringLiteral("12:00:00.000\r\n"));
        DiallerLineBehaviour behaviour;
        behaviour.WrongEchoAt = 2;
        dialler.SetBehaviour(behaviour);
        ASSERT_FALSE(SendCommand(transport, "ver;"));
        dialler.SetBehaviour({});
        ASSERT_TRUE(WaitUntilWaiting(1 + 14));
        ASSERT_TRUE(SendCommand(transport, "del,0,all;"));
        ASSERT_TRUE(ExpectSuccess(transport));
    }
};

} // namespace

TEST_F(RichEditLink, TheMemoryLogRecordsTheExchanges) {
    RunExchanges();
    EXPECT_EQ(log.Transcript(), ExpectedTranscript);
}

TEST_F(RichEditLink, TheRichEditShowsTheSameLinesInBlueAndRed) {
    QTextEdit edit;
    bool shown = true;
    RichEditTrafficLog richLog(&edit, [&shown] { return shown; });
    transport.SetTrafficLog(&richLog);
    RunExchanges();
    EXPECT_EQ(Transcript(*edit.document()), ExpectedTranscript);

    shown = false;
    EXPECT_FALSE(transport.TrafficLogActive());
    transport.ClearTrafficLog();
    EXPECT_TRUE(edit.document()->isEmpty());
}

TEST(RichEditTrafficLog, KeepsTheLastLineInView) {
    QTextEdit edit;
    edit.resize(300, 100);
    edit.show();
    RichEditTrafficLog log(&edit, [] { return true; });
    for (int i = 0; i < 200; ++i) {
        log.Append(QStringLiteral("line %1\n").arg(i), TrafficColour::Received);
    }
    const QScrollBar* bar = edit.verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(edit.textCursor().position(), edit.document()->characterCount() - 1);
}

TEST(RichEditTrafficLog, ColourValuesHaveBlueInTheHighByte) {
    EXPECT_EQ(ColourFromValue(TrafficColour::Sent), QColor(0, 0, 255));
    EXPECT_EQ(ColourFromValue(TrafficColour::Received), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromValue(65280), QColor(0, 255, 0));
}
