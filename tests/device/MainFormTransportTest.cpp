#include "DiallerPtyServer.h"
#include "app/DebugPage.h"
#include "app/TMainForm.h"
#include "device/CommandFraming.h"
#include "device/ConnectionSupervisor.h"
#include "device/DeviceSession.h"
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
        form.Supervisor()->CheckPortTimer()->stop();
        form.Session()->ComPort()->SetPort(dialler.PortName());
        form.Session()->ComPort()->Open();
    }

    void ShowDebugTab(bool shown) {
        form.PageControl()->setTabVisible(form.PageControl()->indexOf(form.Debug()), shown);
    }

    DiallerPtyServer dialler;
    TMainForm form;
};

} // namespace

TEST_F(MainFormLink, TheLogIsWrittenOnlyWhileTheDebugTabIsShown) {
    EXPECT_FALSE(form.Debug()->TrafficLogActive());
    ASSERT_TRUE(SendCommand(*form.Session()->Transport(), "sts,out,1;"));
    EXPECT_TRUE(form.Debug()->TxRxRichEdit()->document()->isEmpty());
    // The reply "1:OFF\r" stays unread until the next command drains it.
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return form.Session()->ComPort()->InputCount() >= 6; }, 5000));

    ShowDebugTab(true);
    EXPECT_TRUE(form.Debug()->TrafficLogActive());
    ASSERT_TRUE(SendCommand(*form.Session()->Transport(), "sts,out,1;"));
    EXPECT_EQ(form.Debug()->TxRxRichEdit()->toPlainText(),
              QStringLiteral("1:OFF\nsts,out,1;\nsts,out,1;"));

    form.Session()->Transport()->SetVoiceDataSending(true);
    EXPECT_FALSE(form.Debug()->TrafficLogActive());
    form.Session()->Transport()->SetVoiceDataSending(false);

    QTest::mouseClick(form.Debug()->ClearDebugButton(), Qt::LeftButton);
    EXPECT_TRUE(form.Debug()->TxRxRichEdit()->document()->isEmpty());
}

TEST_F(MainFormLink, APortErrorRunsTheSupervisorOneMillisecondLater) {
    EXPECT_EQ(form.Supervisor()->CheckPortTimer()->interval(), 100);
    EXPECT_FALSE(form.Supervisor()->CheckPortTimer()->isActive());
    dialler.HangUp();
    EXPECT_FALSE(SendCommand(*form.Session()->Transport(), "ver;"));
    EXPECT_FALSE(form.Session()->ComPort()->Connected());
    EXPECT_EQ(form.Supervisor()->CheckPortTimer()->interval(), 1);
    EXPECT_TRUE(form.Supervisor()->CheckPortTimer()->isActive());
}

TEST_F(MainFormLink, TheTransportDiscardsInputQueuedForTheWindow) {
    ShowDebugTab(true);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.PageControl()->setCurrentWidget(form.Debug());
    ASSERT_TRUE(SendCommand(*form.Session()->Transport(), "ver;"));
    // A click on Clear that queued up during the exchange.
    QPushButton* clear = form.Debug()->ClearDebugButton();
    const QPointF centre(clear->width() / 2.0, clear->height() / 2.0);
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            clear, new QMouseEvent(type, centre, centre, clear->mapToGlobal(centre), Qt::LeftButton,
                                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                   Qt::NoModifier));
    }
    form.Session()->Transport()->DiscardPendingInput();
    QTest::qWait(50);
    EXPECT_FALSE(form.Debug()->TxRxRichEdit()->document()->isEmpty());
}

TEST(MainFormTransport, TheLogUsesCourierNewAtEightPoints) {
    TMainForm form;
    EXPECT_EQ(form.Debug()->TxRxRichEdit()->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.Debug()->TxRxRichEdit()->font().pointSize(), 8);
    EXPECT_TRUE(form.Debug()->TxRxRichEdit()->isReadOnly());
    EXPECT_EQ(form.Session()->ComPort()->objectName(), QStringLiteral("ComPort"));
    EXPECT_FALSE(form.Session()->ComPort()->Connected());
}
