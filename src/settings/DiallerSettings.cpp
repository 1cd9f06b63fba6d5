#include "settings/DiallerSettings.h"

#include <algorithm>

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

bool IsPhoneNumberCharacter(QChar c, int position) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return true;
    }
    if (u == u'*' || u == u'#') {
        return true;
    }
    return u == u'+' && position == 0;
}

bool IsValidPhoneNumber(const QString& number) {
    if (number.size() > SettingsLimits::PhoneNumberMaxLength) {
        return false;
    }
    for (int i = 0; i < number.size(); ++i) {
        if (!IsPhoneNumberCharacter(number.at(i), i)) {
            return false;
        }
    }
    return true;
}

bool IsValidPin(const QString& pin) {
    if (pin.size() < SettingsLimits::PinMinLength || pin.size() > SettingsLimits::PinMaxLength) {
        return false;
    }
    for (const QChar c : pin) {
        if (c.unicode() < u'0' || c.unicode() > u'9') {
            return false;
        }
    }
    return true;
}

bool IsAttemptsInRange(int attempts) {
    return attempts >= SettingsLimits::AttemptsMin && attempts <= SettingsLimits::AttemptsMax;
}

bool IsBlank(QChar c) {
    const char16_t u = c.unicode();
    // Bytes 0x80 to 0x9F are kept: on the host's 8-bit code page they are
    // printable characters (the euro sign among them).
    return u <= u' ' || u == 0x7F;
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text.at(first))) {
        ++first;
    }
    while (last > first && IsBlank(text.at(last - 1))) {
        --last;
    }
    return text.mid(first, last - first);
}

bool IsStorableCharacter(QChar c) {
    return c.unicode() <= 0xFF && (c == QLatin1Char(' ') || !IsBlank(c));
}

bool HasOnlyStorableCharacters(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), IsStorableCharacter);
}
