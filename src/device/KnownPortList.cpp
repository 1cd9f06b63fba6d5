#include "device/KnownPortList.h"

#include <algorithm>

namespace {

quint64 TrailingNumber(const QString& name) {
    qsizetype start = name.size();
    while (start > 0 && name.at(start - 1).isDigit()) {
        --start;
    }
    bool ok = false;
    const quint64 number = QStringView(name).sliced(start).toULongLong(&ok);
    return ok ? number : 0;
}

} // namespace

QString KnownPortList::Join(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const quint64 numberA = TrailingNumber(a);
        const quint64 numberB = TrailingNumber(b);
        return numberA != numberB ? numberA < numberB : a < b;
    });
    QString joined;
    for (const QString& name : names) {
        joined += name + QLatin1Char('_');
    }
    return joined;
}

bool KnownPortList::Update(const QStringList& names) {
    QString joined = Join(names);
    const bool changed = joined.compare(mText, Qt::CaseInsensitive) != 0;
    mText = std::move(joined);
    return changed;
}
