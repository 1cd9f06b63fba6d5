#include "dialogs/MessageDialog.h"
#include "dialogs/TMessageForm.h"
#include "support/DialogAnswerer.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// What a test looked at while the dialog was open.
struct Snapshot {
    QSize size;
    QPoint position;
    int memoHeight = 0;
    int documentHeight = 0;
    int lineHeight = 0;
    int textWidth = 0;
    int textAdvance = 0; // the memo's text as one line in the window's font
    bool checkBoxShown = false;
    QString focused;
    std::vector<int> buttonLefts; // Button1, Button2, Button3 as shown
};

Snapshot Take(QWidget* modal) {
    auto* form = qobject_cast<TMessageForm*>(modal);
    Snapshot shot;
    if (form == nullptr) {
        ADD_FAILURE() << "not a message dialog";
        return shot;
    }
    shot.size = form->size();
    shot.position = form->pos();
    shot.memoHeight = form->Memo->height();
    shot.documentHeight =
        static_cast<int>(form->Memo->document()->documentLayout()->documentSize().height());
    shot.lineHeight = QFontMetrics(form->font()).height();
    shot.textWidth = form->Memo->width();
    shot.textAdvance = QFontMetrics(form->font()).horizontalAdvance(form->Memo->toPlainText());
    shot.checkBoxShown = form->CheckBox->isVisibleTo(form);
    if (auto* button = qobject_cast<QPushButton*>(form->focusWidget())) {
        shot.focused = button->text();
    }
    for (QPushButton* button : {form->Button1, form->Button2, form->Button3}) {
        if (button->isVisibleTo(form)) {
            shot.buttonLefts.push_back(button->mapTo(form, QPoint(0, 0)).x());
        }
    }
    return shot;
}

// Looks at the dialog, then presses `press` (1 to 3).
DialogAnswer LookThenPress(std::optional<Snapshot>& shot, int press) {
    return DialogAnswer::Act([&shot, press](QWidget* modal) {
        shot = Take(modal);
        modal->findChild<QPushButton*>(QStringLiteral("Button%1").arg(press))->click();
    });
}

} // namespace

TEST(MessageDialog, ReturnsTheNumberOfThePressedCaption) {
    DialogAnswerer answerer({"OK", "&No", "Yes", "&Cancel", "&Yes"});
    EXPECT_EQ(ShowMessageDialog("Error", "Bad.", "OK", ErrorIcon, 1), 1);
    EXPECT_EQ(ShowMessageDialog("Q", "Sure?", "&Yes\r\n&No", QuestionIcon, 1), 2);
    EXPECT_EQ(ShowMessageDialog("Delete Phone Number", "Sure?", "No\r\nYes", QuestionIcon, 2), 2);
    EXPECT_EQ(ShowMessageDialog("Save Changes", "Save?", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1),
              3);
    EXPECT_EQ(ShowMessageDialog("Save Changes", "Save?", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1),
              1);

    ASSERT_EQ(answerer.Seen().size(), 5u);
    EXPECT_EQ(answerer.Seen()[0].title, "Error");
    EXPECT_EQ(answerer.Seen()[0].text, "Bad.");
    EXPECT_EQ(answerer.Seen()[1].buttons, (QStringList{"&Yes", "&No"}));
    EXPECT_EQ(answerer.Seen()[2].buttons, (QStringList{"No", "Yes"}));
    EXPECT_EQ(answerer.Seen()[3].buttons, (QStringList{"&Yes", "&No", "&Cancel"}));
}

TEST(MessageDialog, ShowsThePictureOfTheIconKind) {
    DialogAnswerer answerer({"OK", "OK", "OK", "OK", "OK"});
    for (int icon : {1, 2, 3, 0, 7}) {
        ShowMessageDialog("T", "x", "OK", icon, 1);
    }
    ASSERT_EQ(answerer.Seen().size(), 5u);
    EXPECT_EQ(answerer.Seen()[0].icon, QuestionIcon);
    EXPECT_EQ(answerer.Seen()[1].icon, WarningIcon);
    EXPECT_EQ(answerer.Seen()[2].icon, ErrorIcon);
    EXPECT_EQ(answerer.Seen()[3].icon, 0);
    EXPECT_EQ(answerer.Seen()[4].icon, 0);
}

TEST(MessageDialog, NoOrTooManyCaptionsGiveASingleOk) {
    DialogAnswerer answerer({"OK", "OK"});
    EXPECT_EQ(ShowMessageDialog("T", "x", "", 0, 1), 1);
    EXPECT_EQ(ShowMessageDialog("T", "x", "A\r\nB\r\nC\r\nD", 0, 3), 1);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0].buttons, QStringList{"OK"});
    EXPECT_EQ(answerer.Seen()[1].buttons, QStringList{"OK"});
    EXPECT_EQ(answerer.Seen()[1].defaultButton, "OK");
}

TEST(MessageDialog, DefaultButtonHasTheFocusAndEnterPressesIt) {
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({DialogAnswer::Act([&shot](QWidget* modal) {
                                 shot = Take(modal);
                                 QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
                             }),
                             "No"});
    EXPECT_EQ(ShowMessageDialog("Delete Phone Number", "Delete?", "No\r\nYes", QuestionIcon, 2), 2);
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->focused, "Yes");
    EXPECT_EQ(answerer.Seen()[0].defaultButton, "Yes");
    // "No" is the first caption, the right-most button.
    ASSERT_EQ(shot->buttonLefts.size(), 2u);
    EXPECT_GT(shot->buttonLefts[0], shot->buttonLefts[1]);

    EXPECT_EQ(ShowMessageDialog("Delete Phone Number", "Delete?", "No\r\nYes", QuestionIcon, 2), 1);
}

TEST(MessageDialog, EnterPressesWhicheverButtonHasTheFocus) {
    DialogAnswerer answerer({DialogAnswer::Act([](QWidget* modal) {
        auto* form = qobject_cast<TMessageForm*>(modal);
        form->Button3->setFocus();
        QTest::keyClick(form->Button3, Qt::Key_Enter);
    })});
    EXPECT_EQ(ShowMessageDialog("T", "x", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1), 3);
}

TEST(MessageDialog, DefaultBeyondTheCaptionsFallsToTheLastButton) {
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("T", "x", "&Yes\r\n&No", QuestionIcon, 3);
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->focused, "&No");
}

TEST(MessageDialog, TinyTextStillGetsTheMinimumWidth) {
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("T", "", "OK", 0, 1);
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->size.width(), 109);
}

TEST(MessageDialog, OnlyItsButtonsCloseIt) {
    bool stayedOpen = false;
    DialogAnswerer answerer({DialogAnswer::Act([&stayedOpen](QWidget* modal) {
        auto* form = qobject_cast<TMessageForm*>(modal);
        QTest::keyClick(form, Qt::Key_Escape);
        QTest::keyClick(form->focusWidget(), Qt::Key_Escape);
        const bool closed = form->close(); // what Alt+F4 and the window manager ask
        form->reject();
        stayedOpen = !closed && form->isVisible();
        form->Button2->click();
    })});
    EXPECT_EQ(ShowMessageDialog("Save Changes", "Save?", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1),
              2);
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(qobject_cast<TMessageForm*>(QApplication::activeModalWidget()));
}

TEST(MessageDialog, TheFrameHasATitleAndNoTitleBarButtons) {
    // Only its own buttons end it, so the frame offers none of its own: a
    // minimise, maximise, close or help button would do nothing.
    Qt::WindowFlags widgetFlags;
    Qt::WindowFlags windowFlags;
    DialogAnswerer answerer({DialogAnswer::Act([&](QWidget* modal) {
        widgetFlags = modal->windowFlags();
        windowFlags = modal->windowHandle()->flags();
        modal->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    })});
    ShowMessageDialog("Warning", "Overwrite existing file?", "&Yes\r\n&No", WarningIcon, 1);
    const Qt::WindowFlags buttons = Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                    Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                                    Qt::WindowContextHelpButtonHint;
    for (const Qt::WindowFlags flags : {widgetFlags, windowFlags}) {
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(flags & buttons) << std::hex << flags.toInt();
    }
}

TEST(MessageDialog, ThreeButtonsKeepTheWindowWideEnough) {
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("Q", "?", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1);
    ASSERT_TRUE(shot.has_value());
    EXPECT_GE(shot->size.width(), 285);
    ASSERT_EQ(shot->buttonLefts.size(), 3u);
    EXPECT_GT(shot->buttonLefts[0], shot->buttonLefts[1]);
    EXPECT_GT(shot->buttonLefts[1], shot->buttonLefts[2]);
    EXPECT_GE(shot->buttonLefts[2], 0);
}

TEST(MessageDialog, OneLineTextGivesANarrowWindowWithoutCheckBox) {
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("Error", "Invalid PIN.", "OK", ErrorIcon, 1);
    ASSERT_TRUE(shot.has_value());
    // As wide as the text plus its margins: 100 around the memo, 6 in it.
    EXPECT_NEAR(shot->size.width(), std::max(109, 100 + shot->textAdvance + 6), 1);
    EXPECT_LT(shot->size.width(), 404);
    EXPECT_EQ(shot->size.height(), 139 - 17);
    EXPECT_FALSE(shot->checkBoxShown);
    // The memo still shows the whole line.
    EXPECT_LE(shot->documentHeight, shot->memoHeight);
    EXPECT_GE(shot->textWidth, shot->textAdvance);
}

TEST(MessageDialog, AnEmptyLineCountsButATrailingOneDoesNot) {
    std::optional<Snapshot> blank;
    std::optional<Snapshot> trailing;
    DialogAnswerer answerer({LookThenPress(blank, 1), LookThenPress(trailing, 1)});
    ShowMessageDialog("Communication Error",
                      "Unable to retrieve settings from ORNEX.\r\n\r\nPlease try again.", "OK",
                      ErrorIcon, 1);
    ShowMessageDialog("T", "One\r\nTwo\r\nThree\r\n", "OK", ErrorIcon, 1);
    ASSERT_TRUE(blank.has_value());
    ASSERT_TRUE(trailing.has_value());
    const int h = blank->lineHeight;
    EXPECT_EQ(blank->memoHeight, std::max(40, 3 * h));
    EXPECT_EQ(blank->size.height(), 122 + std::max(0, 3 * h - 40));
    EXPECT_LE(blank->documentHeight, blank->memoHeight);
    EXPECT_EQ(trailing->size.height(), blank->size.height());
    EXPECT_EQ(answerer.Seen()[0].text,
              "Unable to retrieve settings from ORNEX.\r\n\r\nPlease try again.");
}

TEST(MessageDialog, LongTextWrapsAndTheWindowGrowsToShowIt) {
    QString text;
    for (int i = 0; i < 12; ++i) {
        text += QStringLiteral("The dialler did not answer the command in time. ");
    }
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("Error", text, "OK", ErrorIcon, 1);
    ASSERT_TRUE(shot.has_value());
    const int lines = shot->memoHeight / shot->lineHeight;
    EXPECT_EQ(shot->memoHeight, lines * shot->lineHeight);
    EXPECT_GT(lines, 5);
    EXPECT_EQ(shot->size.height(), 122 + lines * shot->lineHeight - 40);
    EXPECT_LE(shot->documentHeight, shot->memoHeight);
    EXPECT_LE(shot->size.width(), 404);
    EXPECT_GT(shot->size.width(), 300);
}

TEST(MessageDialog, CheckBoxShowsAndReturnsItsState) {
    bool dontAsk = true;
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({DialogAnswer::Act([&shot](QWidget* modal) {
        shot = Take(modal);
        auto* form = qobject_cast<TMessageForm*>(modal);
        EXPECT_EQ(form->CheckBox->text(), "Do not ask again");
        EXPECT_TRUE(form->CheckBox->isChecked());
        form->CheckBox->click();
        form->Button1->click();
    })});
    ShowMessageDialog("Q", "Go?", "&Yes\r\n&No", QuestionIcon, 1, "Do not ask again", &dontAsk);
    ASSERT_TRUE(shot.has_value());
    EXPECT_TRUE(shot->checkBoxShown);
    EXPECT_EQ(shot->size.height(), 139);
    EXPECT_FALSE(dontAsk);
}

// The contrast ratio of two colours as the accessibility guidelines count it.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(MessageDialog, ThePanelsTextIsReadableInALightAndADarkTheme) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    const QPalette saved = QApplication::palette();
    for (const bool darkTheme : {false, true}) {
        QApplication::setPalette(darkTheme ? dark : saved);
        QColor background;
        std::vector<std::pair<std::string, QColor>> texts;
        bool dontAsk = false;
        DialogAnswerer answerer({DialogAnswer::Act([&](QWidget* modal) {
            auto* form = qobject_cast<TMessageForm*>(modal);
            background = form->MessagePanel->palette().color(form->MessagePanel->backgroundRole());
            // The memo draws no background of its own: its text is on the panel.
            EXPECT_FALSE(form->Memo->viewport()->autoFillBackground());
            texts = {
                {"Memo", form->Memo->palette().color(QPalette::Text)},
                {"CheckBox", form->CheckBox->palette().color(form->CheckBox->foregroundRole())}};
            form->Button1->click();
        })});
        ShowMessageDialog("Q", "Go?", "&Yes\r\n&No", QuestionIcon, 1, "Do not ask again", &dontAsk);
        for (const auto& [name, colour] : texts) {
            EXPECT_GE(Contrast(colour, background), 4.5)
                << name << (darkTheme ? " in the dark theme" : " in the light theme");
        }
        // On a light desktop the panel stays the white of content.
        if (!darkTheme) {
            EXPECT_EQ(background, saved.color(QPalette::Base));
        }
    }
    QApplication::setPalette(saved);
}

TEST(MessageDialog, CaptionZeroHidesTheCheckBoxAndLeavesTheFlag) {
    bool flag = true;
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("Q", "Go?", "OK", QuestionIcon, 1, "0", &flag);
    ASSERT_TRUE(shot.has_value());
    EXPECT_FALSE(shot->checkBoxShown);
    EXPECT_EQ(shot->size.height(), 122);
    EXPECT_TRUE(flag);
}

TEST(MessageDialog, TimersKeepRunningWhileItWaits) {
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    DialogAnswerer answerer({DialogAnswer::Act([](QWidget* modal) {
        QTimer::singleShot(100, modal->findChild<QPushButton*>("Button1"), &QPushButton::click);
    })});
    ShowMessageDialog("T", "x", "OK", 0, 1);
    EXPECT_GT(ticks, 0);
}

namespace {

QRect WorkArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Opens a dialog over a window at `ownerGeometry` and reports where it went.
Snapshot PlacedOver(const QRect& ownerGeometry) {
    QWidget owner;
    owner.setGeometry(ownerGeometry);
    owner.show();
    owner.activateWindow();
    QApplication::setActiveWindow(&owner);
    std::optional<Snapshot> shot;
    DialogAnswerer answerer({LookThenPress(shot, 1)});
    ShowMessageDialog("Warning", "Careful.", "OK", WarningIcon, 1);
    return shot.value_or(Snapshot{});
}

} // namespace

TEST(MessagePlacement, CentredOverTheActiveWindow) {
    const QRect owner(40, 30, 500, 400);
    const Snapshot shot = PlacedOver(owner);
    EXPECT_EQ(shot.position.x(), 40 + (500 - shot.size.width()) / 2);
    EXPECT_EQ(shot.position.y(), 30 + (400 - shot.size.height()) / 2);
}

TEST(MessagePlacement, StaysInsideTheWorkAreaAndNeverNegative) {
    const QRect area = WorkArea();
    Snapshot shot = PlacedOver(QRect(area.width() - 100, area.height() - 50, 600, 500));
    EXPECT_EQ(shot.position.x(), area.width() - shot.size.width());
    EXPECT_EQ(shot.position.y(), area.height() - shot.size.height());

    shot = PlacedOver(QRect(-700, -600, 500, 400));
    EXPECT_EQ(shot.position, QPoint(0, 0));
}

TEST(MessageDialog, AmpersandMarksTheAccelerator) {
    DialogAnswerer answerer({DialogAnswer::Act([](QWidget* modal) {
        modal->activateWindow();
        QApplication::setActiveWindow(modal);
        QTest::keyClick(modal, Qt::Key_N, Qt::AltModifier);
    })});
    EXPECT_EQ(ShowMessageDialog("Settings Changed", "Save?", "&Yes\r\n&No", QuestionIcon, 1), 2);
}
