#pragma once

#include <QObject>

#include <functional>

class QLineEdit;
class QWidget;

// Calls `handler` whenever `field` loses the keyboard focus: the "exit" of a
// field, where the program checks what the user left in it.
void OnFieldExit(QWidget* field, std::function<void()> handler);

// Calls `handler` whenever `field` gets the keyboard focus.
void OnFieldEnter(QWidget* field, std::function<void()> handler);

// Lets the keyboard type digits only into `edit`, like a numeric edit box.
// Text pasted into it is not filtered; whoever reads the field judges it.
void AcceptTypedDigitsOnly(QLineEdit* edit);
