#pragma once

#include "settings/DiallerSettings.h"

#include <QString>

#include <optional>
#include <vector>

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

// One entry of a list that breaks the editor's rules, found at row `Row`.
struct ContactListProblem {
    int Row = 0;
    QString Text; // "Location 7: 01632960111 is also at location 3."

    bool operator==(const ContactListProblem&) const = default;
};

// The editor's rules applied to a whole list, as a settings file or a
// dialler may bring one that breaks them: every used row is checked in
// order, for a number already used above it, neither SMS nor Voice, no
// input, and an input that already has its 16 contacts above it. The
// dialler would keep a duplicate number only once, so such a list must not
// be sent. Returns the problems row by row, none when the list may be sent.
std::vector<ContactListProblem> FindContactListProblems(const ContactList& rows);

// The text of the one message that reports `problems`: the first ten, one
// line each.
QString ContactListProblemsText(const std::vector<ContactListProblem>& problems);

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
