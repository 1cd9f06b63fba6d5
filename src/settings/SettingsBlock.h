#pragma once

#include "settings/DiallerSettings.h"

#include <QByteArray>
#include <QStringList>

// The lines of the dialler's settings block, in the order received, without
// their carriage returns: the "VER:" line first, the "LEN:" line last.
using SettingsReply = QStringList;

// Splits a complete block at its carriage returns. A line feed is no line
// end; it stays at the start of the next line. A zero byte ends the text: the
// line it stands in ends there and later lines are dropped. Bytes are 8-bit
// (Latin-1) characters.
SettingsReply SplitSettingsBlock(const QByteArray& block);

// New settings made from a reply, and what the reply held that the settings
// cannot hold, as sentences for the user (empty when everything fitted).
struct AppliedSettings {
    DiallerSettings Settings;
    QStringList Problems;
};

// Every "INP:" and "NAM:" line, in order, a later line for an input winning
// over an earlier one; inputs that no line names keep what `current` holds.
// The attempts of a line that gives none, or no number, are 90. Attempts
// outside 0 to 99 are held to the nearer end. An SMS message loses blanks
// before and after it, is cut before a control character inside it and to 90
// characters; it can hold no double quote, which ends it in the record.
AppliedSettings ApplyInputLines(const SettingsReply& reply, const DiallerSettings& current);

// Replaces the whole contact list: "CON:" lines put numbers and report
// methods into their locations, "INP:" lines mark the inputs of the numbers
// seen so far (so the dialler sends its CON lines first), then the list is
// compacted. A phone number longer than 16 characters or with characters
// other than digits, "*", "#" and a leading "+" is not taken: its location
// stays as it was. The caller clears the contact editor and the selection.
AppliedSettings ApplyContactLines(const SettingsReply& reply, const DiallerSettings& current);

// Every "PIN:" line, the last winning; without one the PINs stay. A PIN that
// is not 4 to 6 digits is not taken: that PIN stays as it was.
AppliedSettings ApplyPinLine(const SettingsReply& reply, const DiallerSettings& current);

// Get All: inputs, contacts, then PINs, from the same reply.
AppliedSettings ApplyAllLines(const SettingsReply& reply, const DiallerSettings& current);
