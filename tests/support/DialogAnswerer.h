#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

class QAbstractButton;
class QWidget;

// How to answer one modal window.
class DialogAnswer {
public:
    using Action = std::function<void(QWidget* modal)>;

    // Presses the button with this caption; an "&" on either side is ignored,
    // so "&Yes" and "Yes" both press a "&Yes" button.
    DialogAnswer(const char* caption) : DialogAnswer(QString::fromUtf8(caption)) {}
    DialogAnswer(const QString& caption) : mCaption(caption) {}

    // Presses button `number` of a message dialog, numbered as its result
    // (1 is the right-most, the first caption). In any other window the
    // visible push buttons are counted in the window's child order.
    static DialogAnswer Button(int number);

    // Hands the modal window to `action`, which must end it (accept a file
    // dialog, press a button, send a key...). It runs from the event loop,
    // not from inside the poll, so it may itself open a further modal window
    // that a later answer deals with.
    static DialogAnswer Act(Action action);

    // Answers a file dialog (Qt's own, as on the offscreen platform) with
    // `path` as if typed into its file name field, and accepts it. A save
    // dialog asks before it replaces an existing file: give a further answer
    // for that question.
    static DialogAnswer ChooseFile(const QString& path);

private:
    friend class DialogAnswerer;
    DialogAnswer() = default;
    QString mCaption;
    int mNumber = 0;
    Action mAction;
};

// What a test saw of one modal window.
struct SeenDialog {
    QString className; // "TMessageForm", "QFileDialog", ...
    QString title;
    QString text;          // a message dialog's text, line breaks as "\r\n"
    QStringList buttons;   // visible captions; a message dialog's in result order
    QString defaultButton; // caption of the default button, empty if none
    int icon = 0;          // the MessageIconKind shown by a message dialog, 0 for none
};

// Answers the modal windows a test brings up, in the order they appear.
// Create it before the action that opens them:
//
//     DialogAnswerer answerer({"&Yes"});
//     form.GetAllButton()->click();
//     ASSERT_EQ(answerer.Seen().size(), 1u);
//     EXPECT_EQ(answerer.Seen().at(0).title, "Settings Changed");
//
// It polls for QApplication::activeModalWidget() while the modal loop runs.
// A window beyond the given answers, an answer that fits no button, or a
// window still open long after its answer is a test failure; such a window
// is ended with its first button (or rejected) so that the test does not
// hang.
class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    explicit DialogAnswerer(std::vector<DialogAnswer> answers);
    ~DialogAnswerer() override;

    const std::vector<SeenDialog>& Seen() const { return mSeen; }
    // Answers not used yet.
    int Remaining() const { return static_cast<int>(mAnswers.size() - mNext); }

    // Describes a window as the answerer records it.
    static SeenDialog Describe(QWidget* modal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Poll();
    void Answer(QWidget* modal, const DialogAnswer& answer);
    void EndUnanswered(QWidget* modal, const QString& why);

    std::vector<DialogAnswer> mAnswers;
    std::size_t mNext = 0;
    std::vector<SeenDialog> mSeen;
    // The window answered last, until it hides: a window shown again
    // (the same QMessageBox run twice) is a new question.
    QPointer<QWidget> mCurrent;
    QElapsedTimer mSinceAnswer;
    QTimer mTimer;
};
