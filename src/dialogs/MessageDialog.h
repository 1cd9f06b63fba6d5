#pragma once

#include <QString>

// The picture beside a message. Any other value shows none.
enum MessageIconKind : int {
    QuestionIcon = 1,
    WarningIcon = 2,
    ErrorIcon = 3,
};

// Puts a message or a question to the user and waits, modally, until one of
// the dialog's buttons is pressed; timers and other events keep running
// meanwhile. `buttons` holds one to three captions joined by "\r\n" ("&"
// marks the accelerator); the first is the right-most button. Returns the
// number (1, 2 or 3) of the pressed button's caption: the dialog cannot be
// closed any other way. `defaultButton` has the focus when it opens.
// A check box is shown only when `checkCaption` is not "0" and `checkState`
// is given; its state is read from and written back to `checkState`.
int ShowMessageDialog(const QString& title, const QString& text, const QString& buttons, int icon,
                      int defaultButton, const QString& checkCaption = QStringLiteral("0"),
                      bool* checkState = nullptr);

// An error as every part of the program reports one: the error picture and
// the single button "OK".
void ShowErrorMessage(const QString& title, const QString& text);
