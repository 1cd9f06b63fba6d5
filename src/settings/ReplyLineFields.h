#pragma once

#include <QString>

#include <utility>

// Reads the comma-separated fields of the dialler's record and echo lines the
// way the dialler's own firmware tools do: a missing separator does not end
// the reading, later fields simply read the same text again.
class ReplyLineFields {
public:
    explicit ReplyLineFields(QString rest) : mRest(std::move(rest)) {}

    // Removes everything up to and including the next separator; nothing
    // when none is left.
    void DropThrough(QChar separator = QLatin1Char(','));
    // The text before the next separator, the empty text when none is left.
    // Removes nothing.
    QString TakeUpTo(QChar separator = QLatin1Char(',')) const;
    bool Has(QChar separator = QLatin1Char(',')) const { return mRest.contains(separator); }
    // Drops leading spaces and control characters.
    void SkipBlanks();
    // Whether what is left starts with `word`, in any letter case.
    bool StartsWith(QLatin1StringView word) const;
    const QString& Rest() const { return mRest; }

private:
    QString mRest;
};

// A decimal number as the dialler writes it: an optional sign and digits,
// nothing else. Anything else, including the empty text and a number beyond
// int, gives `fallback`.
int ParseRecordNumber(const QString& text, int fallback);
