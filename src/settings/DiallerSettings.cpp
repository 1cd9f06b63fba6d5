#include "settings/DiallerSettings.h"

int CompactContacts(ContactList& contacts, int selectedRow) {
    const int count = static_cast<int>(contacts.size());
    int lastOccupied = -1;
    for (int row = count - 1; row >= 0 && lastOccupied < 0; --row) {
        if (!contacts[row].IsFree()) {
            lastOccupied = row;
        }
    }
    // Free rows above the last occupied one are taken out of the list and new
    // free rows are appended at the end, so the free rows below the last
    // occupied one move up with it; a selected free row that is taken out
    // leaves nothing selected.
    int newSelected = -1;
    ContactList compacted{};
    int next = 0;
    for (int row = 0; row <= lastOccupied; ++row) {
        if (contacts[row].IsFree()) {
            continue;
        }
        if (row == selectedRow) {
            newSelected = next;
        }
        compacted[next++] = contacts[row];
    }
    const int removed = lastOccupied + 1 - next;
    if (selectedRow > lastOccupied) {
        newSelected = selectedRow - removed;
    }
    contacts = compacted;
    return newSelected;
}
