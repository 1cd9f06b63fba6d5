#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/InputsPage.h"
#include "app/OutputsPage.h"
#include "app/PinPanel.h"
#include "app/TMainForm.h"
#include "app/VoiceMessagePage.h"
#include "device/ConnectionSupervisor.h"
#include "platform/PendingInput.h"
#include "settings/SettingsFile.h"
#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"
#include "support/SettingsBuilders.h"
#include "support/WindowActions.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// The keyboard as a person uses it: every key goes to the window that has
// the keyboard, where Qt looks for accelerators first.
class KeyboardTest : public ConnectedWindowFixture {
protected:
    void SetUp() override {
        ConnectedWindowFixture::SetUp();
        // Connected; its queries of the outputs' states would only interleave.
        form->Supervisor()->CheckPortTimer()->stop();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ContactList contacts{};
        contacts[0] = {"111", true, false, {true}};
        form->Settings().WriteContacts(contacts);
        dialler.ClearReceivedCommands();
    }

    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        // Keys that come while an exchange has just ended are thrown away on
        // purpose; a person's next key comes later than that.
        ASSERT_TRUE(QTest::qWaitFor([] { return !DiscardingPendingInput(); }));
        QWindow* window = QGuiApplication::focusWindow();
        ASSERT_NE(window, nullptr) << "no window has the keyboard";
        QTest::keyClick(window, key, modifiers);
    }

    bool WaitForCommand(const QByteArray& command) {
        return QTest::qWaitFor([&] { return dialler.ReceivedCommands().contains(command); });
    }

    // Selects the first contact and changes its number in the editor, so that
    // the editor's Save and the device buttons can both act.
    void EditFirstContact(const QString& number) {
        ClickListRow(form->Contacts()->PhoneNumbersListView(), 0);
        TypeInto(form->Editor()->PhoneNumberEdit(), number);
        ASSERT_TRUE(form->Editor()->SaveButton()->isEnabled());
    }

    QString FirstNumber() const {
        return form->Contacts()->PhoneNumbersListView()->topLevelItem(0)->text(
            ContactRow::NumberColumn);
    }
};

TEST_F(KeyboardTest, AnAcceleratorRightAfterOpenActs) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.ornex"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeSettingsFile(DiallerSettings{}));
    file.close();
    // The name typed key by key opens the field's completion list, which
    // then has the keyboard when Enter closes the dialog.
    DialogAnswerer answerer({DialogAnswer::Act([path](QWidget* modal) {
        auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, path);
        Press(Qt::Key_Return);
    })});
    Press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->CurrentSettingsFile() == path; }));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));

    // The window system hands the keyboard back before the user's next key.
    static_cast<void>(
        QTest::qWaitFor([&] { return QApplication::activeWindow() == form.get(); }, 1000));

    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(WaitForCommand("save all;"));
}

TEST_F(KeyboardTest, AltSIsTheEditorsSaveInTheEditorAndSendAllElsewhere) {
    EditFirstContact(QStringLiteral("1112"));
    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FirstNumber() == "1112"; }));
    QTest::qWait(200);
    EXPECT_TRUE(dialler.ReceivedCommands().isEmpty());

    EditFirstContact(QStringLiteral("1113"));
    form->Pins()->AdminPINEdit()->setFocus();
    DialogAnswerer answerer({});
    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(WaitForCommand("save all;"));
    // Send All takes the list as it stands; the edit stays in the editor.
    EXPECT_EQ(FirstNumber(), "1112");
    EXPECT_EQ(form->Editor()->PhoneNumberEdit()->text(), "1113");
}

// Records the accelerators that Qt finds on more than one control, and keeps
// every accelerator from acting.
class AmbiguityRecorder : public QObject {
public:
    AmbiguityRecorder() { qApp->installEventFilter(this); }
    ~AmbiguityRecorder() override { qApp->removeEventFilter(this); }

    std::set<std::pair<QString, QString>> ambiguous; // key, control
    int seen = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) {
            return false;
        }
        ++seen;
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous()) {
            ambiguous.insert({shortcut->key().toString(), watched->objectName()});
        }
        return true;
    }
};

TEST_F(KeyboardTest, NoAcceleratorIsAmbiguousOnAnyPageUnlessAltSIsChosen) {
    const std::set<std::pair<QString, QString>> chosenByFocus = {{"Alt+S", "SaveButton"},
                                                                 {"Alt+S", "SendAllButton"}};
    for (const auto& [serviceMode, pendingEdit] :
         {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
        form->SetServiceMode(serviceMode);
        if (pendingEdit) {
            form->PageControl()->setCurrentWidget(form->Contacts());
            EditFirstContact(QStringLiteral("1119"));
        }
        for (int tab = 0; tab < form->PageControl()->count(); ++tab) {
            if (!form->PageControl()->isTabVisible(tab)) {
                continue;
            }
            form->PageControl()->setCurrentIndex(tab);
            const std::string where =
                form->PageControl()->tabText(tab).toStdString() +
                (pendingEdit ? " with an edit pending" : " with the editor idle");
            AmbiguityRecorder recorder;
            for (int key = Qt::Key_0; key <= Qt::Key_Z; ++key) {
                if (key > Qt::Key_9 && key < Qt::Key_A) {
                    continue;
                }
                Press(static_cast<Qt::Key>(key), Qt::AltModifier);
            }
            EXPECT_GT(recorder.seen, 0) << where;
            for (const auto& found : recorder.ambiguous) {
                EXPECT_TRUE(chosenByFocus.count(found) == 1)
                    << where << ": " << found.first.toStdString() << " on "
                    << found.second.toStdString();
            }
        }
    }
}

// Puts the keyboard on the first control of `page` that can take it.
void FocusInside(QWidget* page) {
    for (QWidget* widget : page->findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus();
            return;
        }
    }
    ADD_FAILURE() << "nothing takes the keyboard on " << page->objectName().toStdString();
}

TEST_F(KeyboardTest, PageKeysReachOnlyTheShownPages) {
    struct PageKey {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int step;
        const char* name;
        bool onTabBar; // a key of the tab bar itself, with the keyboard on it
    };
    const PageKey keys[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1, "Ctrl+Tab", false},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, -1, "Ctrl+Shift+Tab", false},
        {Qt::Key_Right, Qt::NoModifier, 1, "Right on the tabs", true},
        {Qt::Key_Left, Qt::NoModifier, -1, "Left on the tabs", true},
    };
    QTabBar* tabs = form->PageControl()->tabBar();
    for (const bool service : {false, true}) {
        form->SetServiceMode(service);
        std::vector<QWidget*> shown = {form->Contacts(), form->Inputs()};
        if (service) {
            shown.push_back(form->Voice());
        }
        shown.push_back(form->Outputs());
        const auto n = static_cast<int>(shown.size());
        for (int from = 0; from < n; ++from) {
            for (const PageKey& key : keys) {
                form->PageControl()->setCurrentWidget(shown[from]);
                if (key.onTabBar) {
                    tabs->setFocus();
                } else {
                    FocusInside(shown[from]);
                }
                Press(key.key, key.modifiers);
                // The tab bar's arrows stop at either end.
                int to = from + key.step;
                to = key.onTabBar ? std::clamp(to, 0, n - 1) : (to + n) % n;
                EXPECT_EQ(form->PageControl()->currentWidget(), shown[to])
                    << key.name << " from " << shown[from]->objectName().toStdString()
                    << (service ? " in service mode" : "");
            }
            // The wheel over the tabs.
            for (const int delta : {-120, 120}) {
                form->PageControl()->setCurrentWidget(shown[from]);
                const QPointF at(2, tabs->height() / 2.0);
                QWheelEvent wheel(at, tabs->mapToGlobal(at), QPoint(), QPoint(0, delta),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(tabs, &wheel);
                EXPECT_TRUE(form->PageControl()->isTabVisible(form->PageControl()->currentIndex()))
                    << "wheel " << delta << " from " << shown[from]->objectName().toStdString();
            }
        }
    }
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonAnywhere) {
    form->SetServiceMode(true);
    // The voice page's send buttons are tool buttons, with their picture.
    QToolButton* sendMessage = form->Voice()->SendMessageButton;
    form->PageControl()->setCurrentWidget(form->Voice());
    bool clicked = false;
    QObject::connect(sendMessage, &QAbstractButton::clicked, [&clicked] { clicked = true; });
    sendMessage->setFocus();
    Press(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&clicked] { return clicked; }));

    form->PageControl()->setCurrentWidget(form->Outputs());
    const struct {
        QPushButton* button;
        Qt::Key key;
        QByteArray command;
    } cases[] = {
        {form->Outputs()->OutputControls()[0].OnButton, Qt::Key_Return, "out,1,on;"},
        {form->Outputs()->OutputControls()[1].OffButton, Qt::Key_Enter, "out,2,off;"},
    };
    for (const auto& c : cases) {
        c.button->setFocus();
        Press(c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_TRUE(WaitForCommand(c.command)) << c.command.toStdString();
    }
}

} // namespace
