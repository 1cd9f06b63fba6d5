#include "DiallerSimulator.h"
#include "app/TMainForm.h"
#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "platform/ComPort.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MainFormLink : public ::testing::Test {
protected:
    MainFormLink() {
        // The port is opened by hand here; the supervisor, which finds no
        // dialler in this window, would close it again.
        form.CheckPortTimer->stop();
        form.ComPort->SetPort(dialler.PortName());
        form.ComPort->Open();
    }

    void ShowDebugTab(bool shown) {
        form.PageControl->setTabVisible(form.PageControl->indexOf(form.DebugSheet), shown);
    }

    DiallerSimulator dialler;
    TMainForm form;
};

} // namespace

TEST_F(MainFormLink, TheLogIsWrittenOnlyWhileTheDebugTabIsShown) {
    EXPECT_FALSE(form.TrafficLogActive());
    ASSERT_TRUE(SendCommand(*form.Transport, "sts,out,1;"));
    EXPECT_TRUE(form.TxRxRichEdit->document()->isEmpty());
    // The reply "1:OFF\r" stays unread until the next command drains it.
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.ComPort->InputCount() >= 6; }, 5000));

    ShowDebugTab(true);
    EXPECT_TRUE(form.TrafficLogActive());
    ASSERT_TRUE(SendCommand(*form.Transport, "sts,out,1;"));
    EXPECT_EQ(form.TxRxRichEdit->toPlainText(), QStringLiteral("1:OFF\nsts,out,1;\nsts,out,1;"));

    form.Transport->SetVoiceDataSending(true);
    EXPECT_FALSE(form.TrafficLogActive());
    form.Transport->SetVoiceDataSending(false);

    QTest::mouseClick(form.ClearDebugButton, Qt::LeftButton);
    EXPECT_TRUE(form.TxRxRichEdit->document()->isEmpty());
}

TEST_F(MainFormLink, APortErrorRunsTheSupervisorOneMillisecondLater) {
    EXPECT_EQ(form.CheckPortTimer->interval(), 100);
    EXPECT_FALSE(form.CheckPortTimer->isActive());
    dialler.HangUp();
    EXPECT_FALSE(SendCommand(*form.Transport, "ver;"));
    EXPECT_FALSE(form.ComPort->Connected());
    EXPECT_EQ(form.CheckPortTimer->interval(), 1);
    EXPECT_TRUE(form.CheckPortTimer->isActive());
}

TEST_F(MainFormLink, TheTransportDiscardsInputQueuedForTheWindow) {
    ShowDebugTab(true);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.PageControl->setCurrentWidget(form.DebugSheet);
    ASSERT_TRUE(SendCommand(*form.Transport, "ver;"));
    // A click on Clear that queued up during the exchange.
    QPushButton* clear = form.ClearDebugButton;
    const QPointF centre(clear->width() / 2.0, clear->height() / 2.0);
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            clear, new QMouseEvent(type, centre, centre, clear->mapToGlobal(centre), Qt::LeftButton,
                                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                   Qt::NoModifier));
    }
    form.Transport->DiscardPendingInput();
    QTest::qWait(50);
    EXPECT_FALSE(form.TxRxRichEdit->document()->isEmpty());
}

TEST(MainFormTransport, TheLogUsesCourierNewAtEightPoints) {
    TMainForm form;
    EXPECT_EQ(form.TxRxRichEdit->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.TxRxRichEdit->font().pointSize(), 8);
    EXPECT_TRUE(form.TxRxRichEdit->isReadOnly());
    EXPECT_EQ(form.ComPort->objectName(), QStringLiteral("ComPort"));
    EXPECT_FALSE(form.ComPort->Connected());
}
