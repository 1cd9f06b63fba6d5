#pragma once

#include <QString>
#include <QtGlobal>

// Colour values of the traffic log: 24 bits with blue in the high byte and
// red in the low byte.
namespace TrafficColour {
constexpr quint32 Sent = 16711680; // blue
constexpr quint32 Received = 255;  // red
} // namespace TrafficColour

// Where the transport writes the traffic log: the Debug page's rich text
// control in the program, a plain recorder in tests. Text reaches it with
// "\n" for every line break; the transport decides where lines begin.
class TrafficLogSink {
public:
    virtual ~TrafficLogSink() = default;

    // Whether the log is on screen at all (the Debug page's tab is shown).
    virtual bool IsShown() const = 0;
    virtual bool IsEmpty() const = 0;
    // Whether the log ends with a line break, so that its last line is empty.
    virtual bool EndsWithLineBreak() const = 0;
    // Adds text at the very end in the given colour and scrolls to the end.
    virtual void Append(const QString& text, quint32 colour) = 0;
    // Adds text behind the last line that holds text: in front of the final
    // line break when the log ends with one, otherwise at the very end. The
    // text takes the colour of what it follows. Scrolls to the end.
    virtual void AppendToLastLine(const QString& text) = 0;
    virtual void Clear() = 0;
};
