#pragma once

#include "device/TrafficLogSink.h"

#include <QString>

#include <vector>

// The traffic log kept in memory, with colour per character.
class MemoryTrafficLog : public TrafficLogSink {
public:
    bool Shown = true;

    bool IsShown() const override { return Shown; }
    bool IsEmpty() const override { return mText.isEmpty(); }
    bool EndsWithLineBreak() const override { return mText.endsWith(QLatin1Char('\n')); }

    void Append(const QString& text, quint32 colour) override {
        mText += text;
        mColours.insert(mColours.end(), text.size(), colour);
    }

    void AppendToLastLine(const QString& text) override {
        qsizetype at = mText.size();
        if (EndsWithLineBreak()) {
            --at;
        }
        const quint32 colour = at > 0 ? mColours[at - 1] : 0;
        mText.insert(at, text);
        mColours.insert(mColours.begin() + at, text.size(), colour);
    }

    void Clear() override {
        mText.clear();
        mColours.clear();
    }

    QString Text() const { return mText; }

    // The log with sent text in <...> and received text in [...]; line
    // breaks stand outside the brackets.
    QString Transcript() const { return Transcript(mText, mColours); }

    static QString Transcript(const QString& text, const std::vector<quint32>& colours) {
        QString result;
        quint32 open = 0;
        auto close = [&] {
            if (open == TrafficColour::Sent) {
                result += QLatin1Char('>');
            } else if (open == TrafficColour::Received) {
                result += QLatin1Char(']');
            }
            open = 0;
        };
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('\n')) {
                close();
                result += QLatin1Char('\n');
                continue;
            }
            if (colours[i] != open) {
                close();
                open = colours[i];
                if (open == TrafficColour::Sent) {
                    result += QLatin1Char('<');
                } else if (open == TrafficColour::Received) {
                    result += QLatin1Char('[');
                }
            }
            result += text[i];
        }
        close();
        return result;
    }

private:
    QString mText;
    std::vector<quint32> mColours;
};
