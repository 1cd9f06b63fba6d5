#pragma once

#include <QString>
#include <QStringList>

// How the message window arranges itself around a text, kept apart from the
// window so the arithmetic can be checked without fonts or a screen.
namespace MessageFormLayout {

// The window as it is designed: the text area, the message panel with the
// text and the button row below it.
constexpr int DesignClientWidth = 404;
constexpr int DesignClientHeight = 139;
constexpr int MemoWidth = 304;
constexpr int MemoHeight = 40;
constexpr int CheckBoxHeight = 17;
constexpr int MinimumWidth = 109;
constexpr int MaximumWidth = 410;
// Every button beyond the first needs this much more room at the left.
constexpr int ExtraButtonWidth = 88;
// The shortest window is the one-line message without a check box.
constexpr int MinimumHeight = DesignClientHeight - CheckBoxHeight;
// Room kept free above the window for its title bar when it grows to the
// height of the work area.
constexpr int TitleBarAllowance = 22;
constexpr int MaximumButtons = 3;
// The text whose height in the window's font is the height of one line.
inline const QString LineHeightSample =
    QStringLiteral("Abcdefghijklmnopqrstuvwxyz1234567890!@#$%^&*(){}[];':,./<>?|`~");

// The button captions as the caller joined them, split at every line break
// (a "\r\n" pair, or a lone "\r" or "\n").
QStringList SplitButtonCaptions(const QString& buttons);

// The captions the window shows: the caller's list, or the single "OK" the
// window is designed with when the list is empty or too long to show.
QStringList ShownCaptions(const QStringList& captions);

// The number (1 to 3) of the button that is the default, for `captionCount`
// shown buttons: the caller's choice, held to the buttons there are.
int DefaultButton(int requested, int captionCount);

// What the window has measured of its text.
struct TextMeasure {
    int lineHeight = 0; // height of the sample text
    int lineCount = 0;  // lines after wrapping at the memo's width
    int widestLine = 0; // width of the widest shown line
};

struct FormSize {
    int width = DesignClientWidth;
    int height = DesignClientHeight;
    int memoHeight = MemoHeight;
    int minimumWidth = MinimumWidth;
};

// The window's size: grown downwards until every line shows (up to the work
// area), narrowed to the widest line plus a margin, never narrower than the
// buttons need, and shorter when there is no check box.
FormSize ComputeFormSize(const TextMeasure& text, int buttonCount, bool checkBoxShown,
                         int workAreaHeight);

} // namespace MessageFormLayout
