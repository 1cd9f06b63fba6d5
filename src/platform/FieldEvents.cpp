#include "platform/FieldEvents.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QValidator>
#include <QWidget>

namespace {

// How many focus returns are on their way; field exits wait for them.
int PendingFocusReturns = 0;

bool IsFieldExit(const QFocusEvent* event) {
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason: // another window (a message, another program)
    case Qt::PopupFocusReason:        // a menu or a drop-down list
    case Qt::MenuBarFocusReason:      // Alt pressed for the menu bar
        return false;
    default:
        return PendingFocusReturns == 0;
    }
}

class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget* field, QEvent::Type type, std::function<void()> handler)
        : QObject(field), mType(type), mHandler(std::move(handler)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == mType) {
            if (mType != QEvent::FocusOut || IsFieldExit(static_cast<QFocusEvent*>(event))) {
                mHandler();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type mType;
    std::function<void()> mHandler;
};

class DigitKeyFilter : public QObject {
public:
    explicit DigitKeyFilter(QLineEdit* edit) : QObject(edit) { edit->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Editing keys and shortcuts (Ctrl+V among them) carry no
            // printable text or a control character; they pass.
            const QString text = key->text();
            // A key without text (Shift alone, an arrow) has no first character.
            const QChar c = text.isEmpty() ? QChar() : text.at(0);
            const bool printable = c.isPrint();
            const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
            if (printable && !shortcut && (c < u'0' || c > u'9')) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A validator that mends instead of refusing: QLineEdit takes the text it
// returns, so one bad character in a long paste does not throw the rest away.
class CharacterFilter : public QValidator {
public:
    CharacterFilter(QLineEdit* edit, std::function<bool(QChar)> accept,
                    std::function<void(const QString&)> refused)
        : QValidator(edit), mAccept(std::move(accept)), mRefused(std::move(refused)) {}

    State validate(QString& input, int& pos) const override {
        QString kept;
        QString left;
        kept.reserve(input.size());
        int newPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (mAccept(c)) {
                kept += c;
            } else {
                left += c;
                if (i < pos) {
                    --newPos;
                }
            }
        }
        if (!left.isEmpty()) {
            input = kept;
            pos = newPos;
            mRefused(left);
        }
        return Acceptable;
    }

private:
    std::function<bool(QChar)> mAccept;
    std::function<void(const QString&)> mRefused;
};

// Shows the pages of every tab control between `field` and its window.
void BringPageToFront(QWidget* field) {
    for (QWidget* w = field; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs != nullptr && tabs->currentWidget() != w) {
            tabs->setCurrentWidget(w);
        }
    }
}

// One focus return. Qt has already moved the focus when a field hears that it
// lost it, and the mouse press that moved it is delivered only afterwards;
// taking the focus back from inside that notification would leave the field
// half left and the press still on its way. So the return is queued, and the
// mouse buttons of the window are held off until it has run.
class FocusReturn : public QObject {
public:
    // A child of the window: when the window goes, the return and the
    // handlers that belong to it go too.
    FocusReturn(QWidget* field, std::function<void()> before, std::function<void()> after)
        : QObject(field->window()), mField(field), mWindow(field->window()),
          mBefore(std::move(before)), mAfter(std::move(after)) {
        ++PendingFocusReturns;
        qApp->installEventFilter(this);
        QMetaObject::invokeMethod(this, &FocusReturn::Run, Qt::QueuedConnection);
    }
    ~FocusReturn() override { --PendingFocusReturns; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && mWindow != nullptr && widget->window() == mWindow) {
                return true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Run() {
        qApp->removeEventFilter(this);
        if (mBefore) {
            mBefore();
        }
        if (mField != nullptr && mField->isEnabled()) {
            BringPageToFront(mField);
            mField->setFocus(Qt::OtherFocusReason);
        }
        if (mAfter) {
            mAfter();
        }
        delete this;
    }

    QPointer<QWidget> mField;
    QPointer<QWidget> mWindow;
    std::function<void()> mBefore;
    std::function<void()> mAfter;
};

} // namespace

void OnFieldExit(QWidget* field, std::function<void()> handler) {
    new FocusWatcher(field, QEvent::FocusOut, std::move(handler));
}

void OnFieldEnter(QWidget* field, std::function<void()> handler) {
    new FocusWatcher(field, QEvent::FocusIn, std::move(handler));
}

void AcceptTypedDigitsOnly(QLineEdit* edit) {
    new DigitKeyFilter(edit);
}

void AcceptCharactersOnly(QLineEdit* edit, std::function<bool(QChar)> accept,
                          std::function<void(const QString& left)> refused) {
    edit->setValidator(new CharacterFilter(edit, std::move(accept), std::move(refused)));
}

void ReturnFocusTo(QWidget* field, std::function<void()> before, std::function<void()> after) {
    new FocusReturn(field, std::move(before), std::move(after));
}

bool FocusReturnPending() {
    return PendingFocusReturns > 0;
}
