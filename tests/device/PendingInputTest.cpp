#include "LinkFixture.h"

#include "platform/PendingInput.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <thread>

namespace {

QMouseEvent* Mouse(QEvent::Type type, QPointF at, QPointF global) {
    return new QMouseEvent(type, at, at, global, Qt::LeftButton,
                           type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                           Qt::NoModifier);
}

// A window with a button and an edit, a timer that ticks all along, and
// counts of what reached them.
class BlockedWindow : public LinkFixture {
protected:
    BlockedWindow() {
        auto* layout = new QVBoxLayout(&window);
        button = new QPushButton(QStringLiteral("Press"), &window);
        edit = new QLineEdit(&window);
        layout->addWidget(button);
        layout->addWidget(edit);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        QObject::connect(&ticker, &QTimer::timeout, [this] { ++ticks; });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        ticker.start(5);
        // Past any sweep an earlier test left running.
        QTest::qWait(2 * InputSweepMs);
    }

    // Input reaches the window while an exchange keeps the thread blocked:
    // a read that waits for a reply that comes only after the input.
    void ClickAndTypeDuringAnExchange() {
        // The events are made here: making one creates Qt's input devices,
        // which belong to this thread.
        const QPointF centre(button->width() / 2.0, button->height() / 2.0);
        QEvent* press = Mouse(QEvent::MouseButtonPress, centre, centre);
        QEvent* release = Mouse(QEvent::MouseButtonRelease, centre, centre);
        QEvent* key =
            new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        std::thread hands([=, this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            QCoreApplication::postEvent(button, press);
            QCoreApplication::postEvent(button, release);
            QCoreApplication::postEvent(edit, key);
        });
        dialler.HangUpAfter(10000); // never reached: the read gives up first
        DiallerLineBehaviour behaviour;
        behaviour.ByteDelayMs = 400;
        dialler.SetBehaviour(behaviour);
        transport.WriteToDevice("ver;", true);
        char echo = 0;
        transport.ReadFromDevice(&echo, 1, 1000);
        hands.join();
        EXPECT_EQ(echo, 'v');
    }

    QWidget window;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    QTimer ticker;
    int clicks = 0;
    int ticks = 0;
};

} // namespace

TEST_F(BlockedWindow, InputQueuedDuringAnExchangeIsActedOnWithoutDiscarding) {
    // The test's own control: without the discard the queued input does act.
    ClickAndTypeDuringAnExchange();
    EXPECT_EQ(clicks, 0);
    QTest::qWait(50);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
}

TEST_F(BlockedWindow, DiscardingDropsTheQueuedInputAndRunsNothingItself) {
    ClickAndTypeDuringAnExchange();
    const int ticksBefore = ticks;
    EXPECT_EQ(clicks, 0);

    bool queuedCallRan = false;
    QMetaObject::invokeMethod(
        &window, [&queuedCallRan] { queuedCallRan = true; }, Qt::QueuedConnection);
    DiscardPendingInput();
    // Nothing ran inside: no timer tick, no click, no queued call.
    EXPECT_EQ(ticks, ticksBefore);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(queuedCallRan);

    QTest::qWait(3 * InputSweepMs);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(edit->text().isEmpty());
    // Everything else still happens afterwards.
    EXPECT_GT(ticks, ticksBefore);
    EXPECT_TRUE(queuedCallRan);
    EXPECT_FALSE(DiscardingPendingInput());

    // Input made after the sweep is acted on again.
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    QCoreApplication::postEvent(button, Mouse(QEvent::MouseButtonPress, centre, centre));
    QCoreApplication::postEvent(button, Mouse(QEvent::MouseButtonRelease, centre, centre));
    QTest::qWait(50);
    EXPECT_EQ(clicks, 1);
}

TEST_F(BlockedWindow, WindowSystemInputStillOnItsWayIsSwallowedUntilTheLoopCaughtUp) {
    QWindow* handle = window.windowHandle();
    ASSERT_NE(handle, nullptr);
    const QPoint centre = button->mapTo(&window, button->rect().center());
    auto press = [&] {
        QMouseEvent down(QEvent::MouseButtonPress, centre, centre, button->mapToGlobal(QPoint()),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, centre, centre, button->mapToGlobal(QPoint()),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &down);
        QCoreApplication::sendEvent(handle, &up);
    };
    // The window system hands over what it held once the loop runs again.
    DiscardPendingInput();
    QTimer::singleShot(0, press);
    QTest::qWait(InputSweepMs / 2);
    EXPECT_EQ(clicks, 0);

    QTest::qWait(3 * InputSweepMs);
    press();
    EXPECT_EQ(clicks, 1);
}

TEST_F(BlockedWindow, InputThatCodeSendsToAWidgetIsNeverSwallowed) {
    DiscardPendingInput();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("ok"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("ok"));
}
