#include "device/OutputControl.h"

#include "device/CommandFraming.h"

#include <charconv>

namespace {

const QString ButtonPrefix = QStringLiteral("Output");

// A decimal number filling the whole text, or 0.
int DecimalOrZero(QByteArrayView text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    int value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return begin != end && error == std::errc() && stop == end ? value : 0;
}

bool ReadOutputReply(DeviceTransport& link, int output, QByteArray& line) {
    return ReadResponseLine(link, line, CommandTiming::ReplyLineMax, CommandTiming::ReplyByteMs) &&
           ReplyOutputNumber(line) == output;
}

} // namespace

std::optional<OutputButtonRequest> ParseOutputButtonName(const QString& name) {
    if (!name.startsWith(ButtonPrefix)) {
        return std::nullopt;
    }
    QString rest = name.mid(ButtonPrefix.size());
    OutputButtonRequest request;
    const qsizetype letterO = rest.indexOf(QLatin1Char('O'));
    request.Output = DecimalOrZero(rest.left(std::max<qsizetype>(letterO, 0)).toLatin1());
    const qsizetype button = rest.indexOf(QStringLiteral("Button"));
    if (button >= 0) {
        rest.truncate(button);
    }
    request.On = rest.toUpper().contains(QStringLiteral("ON"));
    return request;
}

bool IsDiallerOutput(int output) {
    return output == 1 || output == 2;
}

int ReplyOutputNumber(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    return colon < 0 ? 0 : DecimalOrZero(QByteArrayView(line).first(colon));
}

bool SetOutput(DeviceTransport& link, int output, bool on) {
    const QByteArray command =
        "out," + QByteArray::number(output) + (on ? QByteArrayLiteral(",on;") : ",off;");
    QByteArray line;
    if (!SendCommand(link, command) || !ReadOutputReply(link, output, line)) {
        return false;
    }
    return line.toUpper().contains(on ? "ON" : "OFF");
}

bool QueryOutput(DeviceTransport& link, int output, bool& on) {
    QByteArray line;
    if (!SendCommand(link, "sts,out," + QByteArray::number(output) + ';') ||
        !ReadOutputReply(link, output, line)) {
        return false;
    }
    on = line.toUpper().contains("ON");
    return true;
}

int GetOutputState(DeviceTransport& link, bool deviceConnected, int output) {
    bool on = false;
    if (!deviceConnected || !QueryOutput(link, output, on)) {
        return OutputUnknown;
    }
    return on ? OutputOn : OutputOff;
}

int OutputStateColour(int state) {
    switch (state) {
    case OutputOn:
        return OutputColours::On;
    case OutputOff:
        return OutputColours::Off;
    default:
        return OutputColours::Unknown;
    }
}
