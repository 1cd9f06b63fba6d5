#include "settings/RecordFields.h"

#include "settings/DiallerSettings.h"

void RecordFields::DropThrough(QChar separator) {
    const qsizetype at = m_rest.indexOf(separator);
    if (at >= 0) {
        m_rest.remove(0, at + 1);
    }
}

QString RecordFields::TakeUpTo(QChar separator) const {
    const qsizetype at = m_rest.indexOf(separator);
    return at < 0 ? QString() : m_rest.left(at);
}

void RecordFields::SkipBlanks() {
    qsizetype blanks = 0;
    while (blanks < m_rest.size() && IsBlank(m_rest.at(blanks))) {
        ++blanks;
    }
    m_rest.remove(0, blanks);
}

bool RecordFields::StartsWith(QLatin1StringView word) const {
    return m_rest.startsWith(word, Qt::CaseInsensitive);
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
