#pragma once

#include <QString>
#include <QStringList>

// The system's serial port names as seen at the previous look, kept as one
// text ("ttyACM0_ttyACM2_ttyACM10_"). A change in it means a port came or
// went, which is when a dialler that was missing is looked for again.
class KnownPortList {
public:
    // The names sorted by the number they end with (a name without one counts
    // as 0), then by name, each followed by "_".
    static QString Join(QStringList names);

    // Takes the current names; true when their joined text differs from the
    // previous one other than in letter case.
    bool Update(const QStringList& names);

    const QString& Text() const { return mText; }

private:
    QString mText;
};
