#pragma once

#include <QObject>

#include <functional>

class QLineEdit;
class QWidget;

// Calls `handler` whenever the user moves the keyboard focus from `field` to
// another control of its window: the "exit" of a field, where the program
// checks what the user left in it. Losing the focus to another window, to a
// menu or to a popup is no exit: the field still holds the focus of its
// window and gets it back when the window is active again. Nor is the focus
// going back to a field that refused to be left (ReturnFocusTo).
void OnFieldExit(QWidget* field, std::function<void()> handler);

// Calls `handler` whenever `field` gets the keyboard focus.
void OnFieldEnter(QWidget* field, std::function<void()> handler);

// Lets the keyboard type digits only into `edit`, like a numeric edit box.
// Text pasted into it is not filtered; whoever reads the field judges it.
void AcceptTypedDigitsOnly(QLineEdit* edit);

// Leaves out of what is typed or pasted into `edit` every character that
// `accept` refuses, and hands the characters left out to `refused`, so that
// the user hears why a key did nothing. Qt filters the text that the program
// itself puts into the field the same way.
void AcceptCharactersOnly(QLineEdit* edit, std::function<bool(QChar)> accept,
                          std::function<void(const QString& left)> refused);

// Called from the exit handler of `field` when what it holds must not be
// left: once the focus change under way has finished, runs `before`, puts
// the focus back into `field` (bringing its page to the front when it sits
// on a hidden page), then runs `after`. `before` and `after` may show modal
// messages.
//
// Until the focus is back, mouse buttons do nothing in the field's window,
// so the click that took the focus away (on a button, a check box, the list)
// has no effect; and no exit handler runs for the control that briefly had
// the focus, as the user never meant to leave the field.
void ReturnFocusTo(QWidget* field, std::function<void()> before = {},
                   std::function<void()> after = {});

// True from ReturnFocusTo until the focus is back and `after` has run.
bool FocusReturnPending();
