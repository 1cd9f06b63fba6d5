#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

// The window of the program's message dialog. It is filled, sized and placed
// for one message, shown once and thrown away; only its own buttons end it.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);

    // Fills in the message and sizes the window to it. `captions` are the
    // button captions, first caption first; `checkState` null means there is
    // no check box.
    void SetMessage(const QString& title, const QString& text, const QStringList& captions,
                    int icon, int defaultButton, const QString& checkCaption,
                    const bool* checkState);

    // Centres the window over `owner`, kept inside a work area of
    // `workArea` size.
    void PlaceOver(const QRect& owner, const QSize& workArea);

    void done(int result) override;

    QFrame* MessagePanel = nullptr;
    QLabel* QuestionImage = nullptr;
    QLabel* WarningImage = nullptr;
    QLabel* ErrorImage = nullptr;
    QTextEdit* Memo = nullptr;
    QCheckBox* CheckBox = nullptr;
    QFrame* ButtonPanel = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

    // Set by a button just before it closes the window; until then every
    // request to close is refused.
    bool ButtonPressed = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ButtonClick(int result);
    void FormShow();
    bool FormCloseQuery() const { return ButtonPressed; }
    QPushButton* DefaultPushButton() const;

    int mDefaultButton = 1;
};
