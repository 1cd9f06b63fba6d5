#include "FakeTreeBus.h"
#include "FirmwareImages.h"
#include "SimulatedDiallerBoard.h"
#include "app/OutputsPage.h"
#include "app/TMainForm.h"
#include "device/DeviceSession.h"
#include "support/DialogAnswerer.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int WaitMs = 15000;

// What a label showed each time it was painted.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QLabel* label) : QObject(label), mLabel(label) {
        label->installEventFilter(this);
    }
    QStringList Painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted << mLabel->text();
        }
        return false;
    }

private:
    QLabel* mLabel;
};

// The window over the simulated dialler and its bootloader, with a firmware
// image in the data folder where an installation puts it.
class ReflashButton : public ::testing::Test {
protected:
    ReflashButton() {
        mDataHomeWasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        mDataHomeBefore = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(mDataHome.path()));
    }
    ~ReflashButton() override {
        if (mDataHomeWasSet) {
            qputenv("XDG_DATA_HOME", mDataHomeBefore);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }

    void PlaceImage(const QByteArray& image) {
        ASSERT_TRUE(QDir(mDataHome.path()).mkpath("ornex"));
        QFile file(mDataHome.filePath("ornex/ornex-firmware.bin"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
    }

    // The window on its Outputs page with the Reflash button shown, as the
    // service mode shows it.
    void StartWindow() {
        form = std::make_unique<TMainForm>(devices.Search());
        form->Outputs()->TestReflashButton()->setVisible(true);
        form->PageControl()->setCurrentWidget(form->Outputs());
        form->show();
    }

    bool WaitForStatus(const QString& text) {
        return QTest::qWaitFor([&] { return Status() == text; }, WaitMs);
    }
    QString Status() const { return form->StatusPanels()[1]->text(); }
    QString Connected(const QString& version) const {
        return "ORNEX-3G " + version + " on " + UniqueTtyName(board.DiallerPort()) + " - connected";
    }

    // The one message for every way of not reaching the bootloader.
    static void ExpectBootloaderNotReached(const std::vector<SeenDialog>& seen) {
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen.front().title, "Error");
        EXPECT_EQ(seen.front().text, "Error entering bootloader to upgrade firmware!");
        EXPECT_EQ(seen.front().buttons, QStringList{"OK"});
        EXPECT_EQ(seen.front().icon, 3);
    }

    QTemporaryDir mDataHome;
    bool mDataHomeWasSet = false;
    QByteArray mDataHomeBefore;
    FakeDeviceTree devices;
    FakeTreeBus bus{devices};
    SimulatedDiallerBoard board{bus};
    std::unique_ptr<TMainForm> form;
};

TEST_F(ReflashButton, UpgradesTheDiallerWhichThenShowsItsNewVersion) {
    const QByteArray image = TestImage(MakersImageSize);
    PlaceImage(image);
    board.PowerUp();
    StartWindow();
    ASSERT_TRUE(WaitForStatus(Connected("v3.25"))) << Status().toStdString();
    ASSERT_TRUE(form->Outputs()->TestReflashButton()->isVisible());
    PaintRecorder activity(form->StatusPanels()[0]);
    DialogAnswerer noDialogs({});

    form->Outputs()->TestReflashButton()->click();

    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_TRUE(board.Bootloader().Application(MakersImageSize) == image);
    EXPECT_EQ(board.Bootloader().ReceivedCommands().last(), "WE000ED0C,05FA0004#");
    // Each step was on screen while the window did not process events.
    for (int block = 1; block <= 15; ++block) {
        EXPECT_TRUE(activity.Painted.contains(
            QStringLiteral("Upgrading firmware: block %1 of 15").arg(block)))
            << block;
    }
    EXPECT_EQ(form->StatusPanels()[0]->text(), QString());
    EXPECT_FALSE(form->Session()->DeviceBusy());

    ASSERT_TRUE(QTest::qWaitFor([this] { return !board.DiallerPort().isEmpty(); }, WaitMs));
    EXPECT_TRUE(WaitForStatus(Connected("v3.26"))) << Status().toStdString();
    EXPECT_TRUE(form->GetAllButton()->isEnabled());
}

TEST_F(ReflashButton, WithoutAnImageNothingIsSentToTheDialler) {
    board.PowerUp();
    StartWindow();
    ASSERT_TRUE(WaitForStatus(Connected("v3.25"))) << Status().toStdString();
    board.Dialler().ClearReceivedCommands();
    DialogAnswerer answerer({"OK"});

    form->Outputs()->TestReflashButton()->click();

    ASSERT_EQ(answerer.Seen().size(), 1u);
    const SeenDialog& message = answerer.Seen().front();
    EXPECT_EQ(message.title, "Error");
    EXPECT_TRUE(message.text.startsWith(
        "The firmware image ornex-firmware.bin was not found. It was looked for as:\r\n"));
    EXPECT_TRUE(message.text.contains(mDataHome.filePath("ornex/ornex-firmware.bin")));
    EXPECT_EQ(message.buttons, QStringList{"OK"});
    EXPECT_EQ(message.icon, 3);
    // Not even "rst boot": the dialler runs on, connected.
    EXPECT_FALSE(board.Dialler().ReceivedCommands().contains("rst boot 3000;"));
    EXPECT_EQ(Status(), Connected("v3.25"));
}

// A dialler left in its bootloader by a failed upgrade: the failure is
// reported, the half-written image is not started, and Reflash tries again
// with the bootloader that waits. The bootloader may fall silent inside a
// block (the copy of block 2 neither done nor answered) or vanish from the
// bus in the middle of its data.
struct ReflashFault {
    const char* name;
    BootloaderFaults faults;
};

class ReflashButtonFault : public ReflashButton,
                           public ::testing::WithParamInterface<ReflashFault> {};

TEST_P(ReflashButtonFault, IsReportedAndReflashTriesAgain) {
    const QByteArray image = TestImage(MakersImageSize, 5);
    PlaceImage(image);
    board.PowerUpInBootloader();
    board.Bootloader().SetFaults(GetParam().faults);
    StartWindow();
    ASSERT_TRUE(WaitForStatus("ORNEX not detected")) << Status().toStdString();
    DialogAnswerer answerer({"OK"});

    form->Outputs()->TestReflashButton()->click();

    ASSERT_EQ(answerer.Seen().size(), 1u);
    const SeenDialog& message = answerer.Seen().front();
    EXPECT_EQ(message.title, "Error");
    EXPECT_EQ(message.text, "The firmware upgrade failed: block 2 of 15 was not written.\r\n\r\n"
                            "The ORNEX is waiting in its bootloader. Press Reflash to try again.");
    EXPECT_EQ(message.icon, 3);
    EXPECT_FALSE(form->Session()->DeviceBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->StatusPanels()[0]->text(), QString());
    EXPECT_FALSE(board.Bootloader().ReceivedCommands().contains("WE000ED0C,05FA0004#"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !board.BootloaderPort().isEmpty(); }, WaitMs));
    EXPECT_EQ(Status(), "ORNEX not detected");

    board.Bootloader().SetFaults({});
    DialogAnswerer noDialogs({});
    form->Outputs()->TestReflashButton()->click();

    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_TRUE(board.Bootloader().Application(MakersImageSize) == image);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !board.DiallerPort().isEmpty(); }, WaitMs));
    EXPECT_TRUE(WaitForStatus(Connected("v3.26"))) << Status().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Faults, ReflashButtonFault,
                         ::testing::Values(ReflashFault{"SilentInBlock2", {.LostCopyOfBlock = 2}},
                                           ReflashFault{"VanishesInBlock2", {.VanishInBlock = 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Nothing was written: the dialler comes back with its old firmware, or
// its bootloader stays.
TEST_F(ReflashButton, ABootloaderThatCannotBeReachedIsReported) {
    struct Case {
        const char* name;
        bool bootloaderMissing;
        BootloaderFaults faults;
    };
    const Case cases[] = {
        {"no bootloader within 5 seconds", true, {}},
        {"erase not acknowledged", false, {.EraseWithoutLineEnds = true}},
    };
    PlaceImage(TestImage(MakersImageSize));
    board.PowerUp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board.SetBootloaderMissing(c.bootloaderMissing);
        board.Bootloader().SetFaults(c.faults);
        // The dialler that restarted itself without a bootloader is the one
        // the second case starts from.
        StartWindow();
        ASSERT_TRUE(WaitForStatus(Connected("v3.25"))) << Status().toStdString();
        DialogAnswerer answerer({"OK"});

        form->Outputs()->TestReflashButton()->click();

        ExpectBootloaderNotReached(answerer.Seen());
        EXPECT_FALSE(form->Session()->DeviceBusy());
        EXPECT_FALSE(board.Bootloader().ApplicationWritten());
        form.reset();
    }
}

TEST_F(ReflashButton, TwoBootloadersAreNotWrittenTo) {
    PlaceImage(TestImage(MakersImageSize));
    board.PowerUpInBootloader();
    BootloaderPtyServer other;
    bus.Attach(SimulatedUsbBus::Device::Bootloader, other.Start());
    StartWindow();
    DialogAnswerer answerer({"OK"});

    form->Outputs()->TestReflashButton()->click();

    ExpectBootloaderNotReached(answerer.Seen());
    EXPECT_TRUE(board.Bootloader().ReceivedCommands().isEmpty());
    EXPECT_TRUE(other.ReceivedCommands().isEmpty());
}

} // namespace
