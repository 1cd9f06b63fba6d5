// The main window as a high-resolution screen shows it (run with
// QT_SCALE_FACTOR=2): on every page each caption fits its control and no
// control lies over another or outside its parent. A picture of each page
// goes to the folder SCREENSHOT_DIR names, for a person to look at.

#include "DemoSite.h"
#include "app/TMainForm.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// The program's own controls carry names; Qt's inner parts are named "qt_...".
bool IsOwnControl(const QWidget* widget) {
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

QString Describe(const QWidget* widget) {
    const QRect g = widget->geometry();
    return QStringLiteral("%1 (%2, %3, %4 x %5)")
        .arg(widget->objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// A caption as drawn: "&&" is an ampersand, a single "&" marks the accelerator.
int CaptionWidth(const QWidget* widget, QString caption) {
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return widget->fontMetrics().horizontalAdvance(caption);
}

// Where a control draws: a one-line label only where its text is (a label may
// reach under the field it names with the blank after its text), any other
// control its whole box.
QRect InkRect(const QWidget* widget) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || label->wordWrap() || label->text().isEmpty()) {
        return widget->geometry();
    }
    const int width = CaptionWidth(label, label->text().trimmed()) + 2 * label->margin();
    QRect ink = label->geometry();
    if (label->alignment() & Qt::AlignRight) {
        ink.setLeft(ink.right() - width + 1);
    } else if (label->alignment() & Qt::AlignHCenter) {
        ink.setLeft(ink.left() + (ink.width() - width) / 2);
        ink.setWidth(width);
    } else {
        ink.setWidth(width);
    }
    return ink;
}

// A control with none of the program's controls inside draws content of its
// own; panels and pages that hold others may meet at their edges.
bool IsLeaf(const QWidget* widget) {
    const QList<QWidget*> inner = widget->findChildren<QWidget*>();
    return std::none_of(inner.begin(), inner.end(), IsOwnControl);
}

// The room a control leaves for its caption, or -1 when it has none to check.
int CaptionRoom(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->wordWrap() || label->text().isEmpty()) {
            return -1;
        }
        return label->contentsRect().width() - 2 * label->margin();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return contents.width() - (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
    }
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)) {
        const auto* button = static_cast<const QAbstractButton*>(widget);
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(widget)
                                                ? QStyle::SE_CheckBoxContents
                                                : QStyle::SE_RadioButtonContents;
        return button->style()->subElementRect(contents, &option, button).width();
    }
    return -1;
}

QString Caption(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    return QString();
}

// What is wrong with the shown controls under `top`, one line per fault.
QStringList LayoutFaults(const QWidget* top) {
    QStringList faults;
    for (const QWidget* widget : top->findChildren<QWidget*>()) {
        if (!IsOwnControl(widget) || !widget->isVisibleTo(top)) {
            continue;
        }
        const QWidget* parent = widget->parentWidget();
        // Content of a scroll area may be larger than the part in view.
        const bool scrolled = parent->objectName() == QLatin1String("qt_scrollarea_viewport");
        const QRect shown = scrolled ? widget->geometry() : widget->geometry() & parent->rect();
        const int room = CaptionRoom(widget);
        const QString caption = Caption(widget);
        // A captioned control may reach past its parent's edge as long as its
        // caption stays in view; any other control must lie inside.
        if (room >= 0) {
            const int shownRoom = room - (widget->width() - shown.width());
            if (CaptionWidth(widget, caption) > shownRoom) {
                faults << QStringLiteral("%1: \"%2\" needs %3 pixels, has %4 in view")
                              .arg(Describe(widget), caption)
                              .arg(CaptionWidth(widget, caption))
                              .arg(shownRoom);
            }
            if (widget->fontMetrics().height() > shown.height()) {
                faults << QStringLiteral("%1: text %2 pixels high")
                              .arg(Describe(widget))
                              .arg(widget->fontMetrics().height());
            }
        } else if (shown != widget->geometry()) {
            faults << QStringLiteral("%1: outside %2").arg(Describe(widget), Describe(parent));
        }
        if (!IsLeaf(widget)) {
            continue;
        }
        for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (std::less<const QWidget*>()(sibling, widget) && IsOwnControl(sibling) &&
                sibling->isVisibleTo(top) && IsLeaf(sibling) &&
                InkRect(sibling).intersects(InkRect(widget))) {
                faults << QStringLiteral("%1 overlaps %2").arg(Describe(widget), Describe(sibling));
            }
        }
    }
    for (const QTreeWidget* list : top->findChildren<QTreeWidget*>()) {
        const QHeaderView* header = list->header();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column = 0; column < list->columnCount(); ++column) {
            const QString text = list->headerItem()->text(column);
            const int needed = header->fontMetrics().horizontalAdvance(text) + 2 * margin;
            if (list->isVisibleTo(top) && needed > header->sectionSize(column)) {
                faults << QStringLiteral("%1: column \"%2\" needs %3 pixels, has %4")
                              .arg(list->objectName(), text)
                              .arg(needed)
                              .arg(header->sectionSize(column));
            }
        }
    }
    return faults;
}

TEST(ScaledWindow, EveryPageFitsAndIsPictured) {
    ASSERT_EQ(qgetenv("QT_SCALE_FACTOR"), "2") << "this test looks at the window at double scale";
    const QString shots = qEnvironmentVariable("SCREENSHOT_DIR");
    ASSERT_FALSE(shots.isEmpty());
    ASSERT_TRUE(QDir().mkpath(shots));

    TMainForm form;
    form.SetServiceMode(true);
    form.Settings().Write(DemoSite());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.devicePixelRatio(), 2.0);

    int pictured = 0;
    for (int page = 0; page < form.PageControl()->count(); ++page) {
        if (!form.PageControl()->isTabVisible(page)) {
            continue;
        }
        form.PageControl()->setCurrentIndex(page);
        const QString name = form.PageControl()->widget(page)->objectName();
        QTest::qWait(50);
        // Paint now, so that the picture is of this page even on a busy machine.
        form.repaint();
        const QStringList faults = LayoutFaults(&form);
        EXPECT_TRUE(faults.isEmpty())
            << qPrintable(name) << ":\n  " << qPrintable(faults.join(QLatin1String("\n  ")));
        const QPixmap shot = form.screen()->grabWindow(form.winId());
        EXPECT_EQ(shot.width(), 2 * form.width());
        EXPECT_TRUE(shot.save(QDir(shots).filePath(name + QLatin1String(".png"))));
        ++pictured;
    }
    EXPECT_EQ(pictured, 4);
}

} // namespace
