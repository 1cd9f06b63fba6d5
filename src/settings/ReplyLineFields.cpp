#include "settings/ReplyLineFields.h"

#include "settings/DiallerSettings.h"

void ReplyLineFields::DropThrough(QChar separator) {
    const qsizetype at = mRest.indexOf(separator);
    if (at >= 0) {
        mRest.remove(0, at + 1);
    }
}

QString ReplyLineFields::TakeUpTo(QChar separator) const {
    const qsizetype at = mRest.indexOf(separator);
    return at < 0 ? QString() : mRest.left(at);
}

void ReplyLineFields::SkipBlanks() {
    qsizetype blanks = 0;
    while (blanks < mRest.size() && IsBlank(mRest.at(blanks))) {
        ++blanks;
    }
    mRest.remove(0, blanks);
}

bool ReplyLineFields::StartsWith(QLatin1StringView word) const {
    return mRest.startsWith(word, Qt::CaseInsensitive);
}

int ParseRecordNumber(const QString& text, int fallback) {
    qsizetype digitsFrom = 0;
    if (!text.isEmpty() && (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+'))) {
        digitsFrom = 1;
    }
    if (digitsFrom == text.size()) {
        return fallback;
    }
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text.at(i).unicode() < u'0' || text.at(i).unicode() > u'9') {
            return fallback;
        }
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}
