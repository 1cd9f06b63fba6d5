#pragma once

#include "settings/DiallerSettings.h"

#include <QString>

#include <optional>

// The rules of the contact editor beside the list, free of any window: which
// texts the phone number field keeps, which entries may be stored, and how
// the popup menu moves entries within the list.

// The phone number field as the editor tracks it: its text and selection.
struct PhoneFieldState {
    QString Text;
    int SelectionStart = 0;
    int SelectionLength = 0;

    bool operator==(const PhoneFieldState&) const = default;
};

// True when the field may hold `text`: digits, "*" and "#" anywhere, "+" only
// as the first character, at most 16 characters. Partly typed numbers pass.
bool IsAcceptablePhoneText(const QString& text);

// After each change of the field: the state the field must show, which is
// also the new last valid state. A change that brings in a character the
// dialler cannot dial is undone, text and selection alike, without a word.
PhoneFieldState FilterPhoneFieldChange(const PhoneFieldState& lastValid,
                                       const PhoneFieldState& changed);

// The checks before the editor's entry is written into row `row`, in the
// order the user meets them. Returns the text of the error dialog for the
// first that fails, or nothing when the entry may be stored. The other rows
// are taken as they stand, free ones included.
std::optional<QString> CheckContactEntry(const ContactList& rows, int row,
                                         const ContactEntry& entry);

// The index of the last row in use, -1 when the list is empty.
int LastUsedContactRow(const ContactList& rows);

enum class ContactMove { ToTop, Up, Down, ToEnd };

// A move needs a used row; top and up need one above it, down and end a used
// row below it.
bool CanMoveContact(const ContactList& rows, int row, ContactMove move);

// Moves the entry at `row`: to the top or the end of the used rows, the others
// shifting by one, or one place up or down, changing places with its
// neighbour. Returns the entry's new row, or nothing (the list unchanged) when
// the move is not allowed.
std::optional<int> MoveContact(ContactList& rows, int row, ContactMove move);

// The list's popup menu for the selected row: it opens only on a used row;
// each item is enabled when its move is allowed.
struct ContactMenuState {
    bool Opens = false;
    bool MoveToTop = false;
    bool MoveUp = false;
    bool MoveDown = false;
    bool MoveToEnd = false;

    bool operator==(const ContactMenuState&) const = default;
};
ContactMenuState ContactPopupMenuState(const ContactList& rows, int selectedRow);
