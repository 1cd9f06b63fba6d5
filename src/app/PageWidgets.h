#pragma once

#include "platform/Named.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QString>

#include <functional>

// A named push button; its place is set by the caller.
inline QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QPushButton(caption, parent), name);
}

// A named label as wide as its caption, at `at`.
inline QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, QPoint at) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(at);
    return label;
}

// Hands every event of a widget to a handler before the widget sees it.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<void(QEvent*)> handler)
        : QObject(target), mHandler(std::move(handler)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        mHandler(event);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QEvent*)> mHandler;
};

class QTreeWidget;
// The contact list's selected row, -1 for none.
int SelectedContactRowOf(const QTreeWidget* list);
// Selects and shows the row; -1 (or any row that is not there) clears the
// selection.
void SelectContactRowOf(QTreeWidget* list, int row);

// Enter on a focused tool button clicks it, as Qt does for the push buttons
// of a dialog.
class EnterClicksButton : public QObject {
public:
    explicit EnterClicksButton(QAbstractButton* button) : QObject(button), mButton(button) {
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                mButton->animateClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton* mButton;
};
