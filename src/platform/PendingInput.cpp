#include "platform/PendingInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>

namespace {

// Qt's mouse, wheel, keyboard, touch and tablet events: what the window
// system queues for a user's hands.
constexpr std::array InputEventTypes = {
    QEvent::MouseButtonPress,
    QEvent::MouseButtonRelease,
    QEvent::MouseButtonDblClick,
    QEvent::MouseMove,
    QEvent::NonClientAreaMouseMove,
    QEvent::NonClientAreaMouseButtonPress,
    QEvent::NonClientAreaMouseButtonRelease,
    QEvent::NonClientAreaMouseButtonDblClick,
    QEvent::Wheel,
    QEvent::KeyPress,
    QEvent::KeyRelease,
    QEvent::ShortcutOverride,
    QEvent::ContextMenu,
    QEvent::InputMethod,
    QEvent::TouchBegin,
    QEvent::TouchUpdate,
    QEvent::TouchEnd,
    QEvent::TouchCancel,
    QEvent::TabletPress,
    QEvent::TabletMove,
    QEvent::TabletRelease,
};

bool IsInputEvent(QEvent::Type type) {
    return std::find(InputEventTypes.begin(), InputEventTypes.end(), type) != InputEventTypes.end();
}

// Swallows window-system input until the event loop has run for a moment.
// Input from the window system always reaches a window (QWindow) first, and
// a key press offers itself there as a shortcut before anything else sees
// it; input that code sends to a widget directly is left alone.
class InputSweeper : public QObject {
public:
    InputSweeper() : QObject(QCoreApplication::instance()) {
        mEnd.setSingleShot(true);
        mEnd.setInterval(InputSweepMs);
        connect(&mEnd, &QTimer::timeout, this, &InputSweeper::Disarm);
    }

    void Arm() {
        mEnd.stop();
        if (!mArmed) {
            mArmed = true;
            QCoreApplication::instance()->installEventFilter(this);
        }
        // The sweep's time runs from when the event loop runs again: the
        // marker is the first thing it meets.
        QCoreApplication::removePostedEvents(this, LoopResumed);
        QCoreApplication::postEvent(this, new QEvent(LoopResumed));
    }

    bool Armed() const { return mArmed; }

protected:
    bool event(QEvent* event) override {
        if (event->type() == LoopResumed) {
            mEnd.start();
            return true;
        }
        return QObject::event(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!mArmed || !watched->isWindowType() || !IsInputEvent(event->type())) {
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // Taken: no shortcut fires for this key.
            event->accept();
        }
        return true;
    }

private:
    static inline const auto LoopResumed = QEvent::Type(QEvent::registerEventType());

    void Disarm() {
        mArmed = false;
        QCoreApplication::instance()->removeEventFilter(this);
    }

    QTimer mEnd;
    bool mArmed = false;
};

InputSweeper& Sweeper() {
    static QPointer<InputSweeper> sweeper;
    if (sweeper.isNull()) {
        sweeper = new InputSweeper;
    }
    return *sweeper;
}

} // namespace

void DiscardPendingInput() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    for (QEvent::Type type : InputEventTypes) {
        QCoreApplication::removePostedEvents(nullptr, type);
    }
    Sweeper().Arm();
}

bool DiscardingPendingInput() {
    return QCoreApplication::instance() != nullptr && Sweeper().Armed();
}
