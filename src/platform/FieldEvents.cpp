#include "platform/FieldEvents.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace {

class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget* field, QEvent::Type type, std::function<void()> handler)
        : QObject(field), mType(type), mHandler(std::move(handler)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == mType) {
            mHandler();
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
            const bool printable = !text.isEmpty() && text.at(0).isPrint();
            const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
            const QChar c = text.at(0);
            if (printable && !shortcut && (c < u'0' || c > u'9')) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
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
