#include "support/DialogAnswerer.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

constexpr int PollIntervalMs = 10;
// A busy machine may take a while to close a window, but not this long.
constexpr qint64 GraceMs = 10000;

QString WithoutAccelerator(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

bool IsMessageForm(QWidget* modal) {
    return modal->findChild<QPushButton*>(QStringLiteral("Button1")) != nullptr &&
           modal->findChild<QTextEdit*>(QStringLiteral("Memo")) != nullptr;
}

std::vector<QPushButton*> ShownButtons(QWidget* modal) {
    std::vector<QPushButton*> shown;
    if (IsMessageForm(modal)) {
        for (const char* name : {"Button1", "Button2", "Button3"}) {
            auto* button = modal->findChild<QPushButton*>(QString::fromLatin1(name));
            if (button != nullptr && button->isVisibleTo(modal)) {
                shown.push_back(button);
            }
        }
        return shown;
    }
    for (QPushButton* button : modal->findChildren<QPushButton*>()) {
        if (button->isVisibleTo(modal)) {
            shown.push_back(button);
        }
    }
    return shown;
}

} // namespace

DialogAnswer DialogAnswer::Button(int number) {
    DialogAnswer answer;
    answer.mNumber = number;
    return answer;
}

DialogAnswer DialogAnswer::Act(Action action) {
    DialogAnswer answer;
    answer.mAction = std::move(action);
    return answer;
}

DialogAnswer DialogAnswer::ChooseFile(const QString& path) {
    return Act([path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "expected a file dialog, got " << modal->metaObject()->className();
            return;
        }
        // selectFile() leaves the name field alone while it has the focus,
        // which it has as soon as the dialog shows.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setText(path);
        } else {
            dialog->selectFile(path);
        }
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its override
    });
}

DialogAnswerer::DialogAnswerer(std::vector<DialogAnswer> answers) : mAnswers(std::move(answers)) {
    connect(&mTimer, &QTimer::timeout, this, &DialogAnswerer::Poll);
    mTimer.start(PollIntervalMs);
}

DialogAnswerer::~DialogAnswerer() = default;

SeenDialog DialogAnswerer::Describe(QWidget* modal) {
    SeenDialog seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    if (auto* memo = modal->findChild<QTextEdit*>(QStringLiteral("Memo"))) {
        seen.text = memo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
    }
    for (QPushButton* button : ShownButtons(modal)) {
        seen.buttons << button->text();
        if (button->isDefault()) {
            seen.defaultButton = button->text();
        }
    }
    const char* pictures[] = {"QuestionImage", "WarningImage", "ErrorImage"};
    for (int kind = 1; kind <= 3; ++kind) {
        auto* picture = modal->findChild<QLabel*>(QString::fromLatin1(pictures[kind - 1]));
        if (picture != nullptr && picture->isVisibleTo(modal)) {
            seen.icon = kind;
        }
    }
    return seen;
}

void DialogAnswerer::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        return;
    }
    if (modal == mCurrent) {
        if (mSinceAnswer.elapsed() > GraceMs) {
            mSinceAnswer.start();
            EndUnanswered(modal, QStringLiteral("still open after it was answered"));
        }
        return;
    }
    mCurrent = modal;
    modal->installEventFilter(this);
    mSinceAnswer.start();
    mSeen.push_back(Describe(modal));
    if (mNext >= mAnswers.size()) {
        EndUnanswered(modal, QStringLiteral("not expected: no answer was left for it"));
        return;
    }
    const DialogAnswer& answer = mAnswers[mNext++];
    // Answered from the event loop rather than from inside this poll: a
    // timer does not fire again while its own handler runs, so a window
    // opened by the answer would never be seen.
    QPointer<QWidget> target(modal);
    QMetaObject::invokeMethod(
        this,
        [this, target, &answer] {
            if (target) {
                Answer(target, answer);
            }
        },
        Qt::QueuedConnection);
}

bool DialogAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == mCurrent) {
        watched->removeEventFilter(this);
        mCurrent = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

void DialogAnswerer::Answer(QWidget* modal, const DialogAnswer& answer) {
    if (answer.mAction) {
        answer.mAction(modal);
        return;
    }
    const std::vector<QPushButton*> shown = ShownButtons(modal);
    if (answer.mNumber > 0) {
        if (answer.mNumber > static_cast<int>(shown.size())) {
            EndUnanswered(modal, QStringLiteral("has no button %1").arg(answer.mNumber));
            return;
        }
        shown[answer.mNumber - 1]->click();
        return;
    }
    for (QPushButton* button : shown) {
        if (WithoutAccelerator(button->text()) == WithoutAccelerator(answer.mCaption)) {
            button->click();
            return;
        }
    }
    EndUnanswered(modal, QStringLiteral("has no button \"%1\"").arg(answer.mCaption));
}

void DialogAnswerer::EndUnanswered(QWidget* modal, const QString& why) {
    const SeenDialog seen = Describe(modal);
    ADD_FAILURE() << "Modal window " << seen.className.toStdString() << " \""
                  << seen.title.toStdString() << "\" " << why.toStdString() << "; text: \""
                  << seen.text.toStdString() << "\", buttons: \""
                  << seen.buttons.join(QStringLiteral("|")).toStdString() << "\"";
    const std::vector<QPushButton*> shown = ShownButtons(modal);
    if (IsMessageForm(modal) && !shown.empty()) {
        shown.front()->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}
