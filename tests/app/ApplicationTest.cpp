#include "app/OrnexApplication.h"
#include "support/DialogAnswerer.h"

#include <QIcon>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A receiver whose event handler fails, as a fault in any handler would.
class FailingReceiver : public QObject {
protected:
    void customEvent(QEvent*) override { throw std::runtime_error("Port table corrupt"); }
};

const QEvent::Type FailingEventType = static_cast<QEvent::Type>(QEvent::User + 1);

} // namespace

TEST(OrnexApplication, ProgramTitle) {
    EXPECT_EQ(QApplication::applicationName(), "ORNEX dialler");
    // A display name would be appended to every window title.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "ORNEX dialler");
}

TEST(OrnexApplication, WindowsGroupWithTheMenuEntryAndShowItsIcon) {
    EXPECT_EQ(QGuiApplication::desktopFileName(), "example.ornex.config");
    // The theme's icon where one is installed, or else the built-in drawing.
    EXPECT_FALSE(QGuiApplication::windowIcon().pixmap(64).isNull());
    EXPECT_FALSE(QIcon(":/icons/example.ornex.config.svg").pixmap(64).isNull());
}

TEST(OrnexApplication, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    FailingReceiver receiver;
    DialogAnswerer answerer({"OK"});
    QCoreApplication::postEvent(&receiver, new QEvent(FailingEventType));
    bool laterEventRan = false;
    QTimer::singleShot(0, [&] { laterEventRan = true; });

    EXPECT_TRUE(QTest::qWaitFor([&] { return laterEventRan && answerer.Remaining() == 0; }, 10000));

    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen().at(0).title, "ORNEX dialler");
    EXPECT_EQ(answerer.Seen().at(0).text, "Port table corrupt");
}

int main(int argc, char** argv) {
    OrnexApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
