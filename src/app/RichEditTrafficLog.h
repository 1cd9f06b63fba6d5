#pragma once

#include "device/TrafficLogSink.h"

#include <QObject>

#include <functional>

class QTextEdit;

// The traffic log on the Debug page's rich text control: sent bytes blue,
// received bytes red, always scrolled to the end. It lives as long as the
// control.
class RichEditTrafficLog : public QObject, public TrafficLogSink {
    Q_OBJECT
public:
    // `isShown` tells whether the control's page is on screen.
    RichEditTrafficLog(QTextEdit* edit, std::function<bool()> isShown);

    bool IsShown() const override;
    bool IsEmpty() const override;
    bool EndsWithLineBreak() const override;
    void Append(const QString& text, quint32 colour) override;
    void AppendToLastLine(const QString& text) override;
    void Clear() override;

private:
    void ScrollToEnd();

    QTextEdit* mEdit;
    std::function<bool()> mIsShown;
};

// A colour value with blue in the high byte and red in the low byte as a QColor.
class QColor;
QColor ColourFromValue(quint32 value);
