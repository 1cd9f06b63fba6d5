#include "device/CommandFraming.h"

#include "device/DeviceTransport.h"

namespace {

constexpr char Prompt = '>';

bool ReadLineAndCompare(DeviceTransport& link, const QByteArray& expected, int maxLength,
                        qint32 timeoutPerByteMs) {
    QByteArray line;
    return ReadResponseLine(link, line, maxLength, timeoutPerByteMs) && line == expected;
}

void StampLog(DeviceTransport& link) {
    if (link.TrafficLogActive()) {
        link.AppendToLastLogLine(LogTimeStamp(QTime::currentTime()));
    }
}

} // namespace

qint32 DefaultEchoTimeoutMs(qsizetype length) {
    return CommandTiming::EchoPerCommandCharacterMs * static_cast<qint32>(length) +
           CommandTiming::EchoBaseMs;
}

bool SendCommand(DeviceTransport& link, const QByteArray& command, qint32 timeoutMs) {
    const qint32 timeout = timeoutMs == 0 ? DefaultEchoTimeoutMs(command.size()) : timeoutMs;
    return SendCommandEchoed(link, command.constData(), static_cast<quint32>(command.size()),
                             timeout);
}

bool SendCommandEchoed(DeviceTransport& link, const char* bytes, quint32 count,
                       qint32 timeoutPerByteMs) {
    if (link.WriteToDevice(bytes, count, true) < count) {
        return false;
    }
    quint32 index = 0;
    bool promptSkipped = false;
    while (index < count) {
        char echoed = 0;
        if (link.ReadFromDevice(&echoed, 1, timeoutPerByteMs) < 1) {
            return false;
        }
        if (echoed == Prompt && index == 0 && !promptSkipped) {
            promptSkipped = true;
            continue;
        }
        if (echoed != bytes[index]) {
            return false;
        }
        ++index;
    }
    return true;
}

bool ReadResponseLine(DeviceTransport& link, QByteArray& line, int maxLength,
                      qint32 timeoutPerByteMs) {
    line.clear();
    while (line.size() < maxLength) {
        char byte = 0;
        if (link.ReadFromDevice(&byte, 1, timeoutPerByteMs) < 1) {
            return false;
        }
        line += byte;
        if (byte == '\r') {
            return true;
        }
    }
    return false;
}

bool ExpectSuccess(DeviceTransport& link) {
    return ReadLineAndCompare(link, DiallerLines::Success, CommandTiming::ConfirmationLineMax,
                              CommandTiming::ConfirmationByteMs);
}

bool QueryVersion(DeviceTransport& link, QByteArray& line) {
    line.clear();
    if (!SendCommand(link, QByteArrayLiteral("ver;"))) {
        return false;
    }
    // Some diallers start the reply with a carriage return; the version
    // stands behind it, so the first byte never ends the line.
    QByteArray reply;
    while (reply.size() < CommandTiming::VersionLineMax) {
        char byte = 0;
        if (link.ReadFromDevice(&byte, 1, CommandTiming::VersionByteMs) < 1) {
            return false;
        }
        reply += byte;
        if (byte == '\r' && reply.size() >= 2) {
            reply.chop(1);
            line = reply;
            return true;
        }
    }
    return false;
}

bool SaveAllToFlash(DeviceTransport& link) {
    if (!SendCommand(link, QByteArrayLiteral("save all;"))) {
        return false;
    }
    const bool started = ReadLineAndCompare(
        link, DiallerLines::StartingSave, CommandTiming::ReplyLineMax, CommandTiming::ReplyByteMs);
    StampLog(link);
    if (!started) {
        return false;
    }
    const bool completed =
        ReadLineAndCompare(link, DiallerLines::SaveComplete, CommandTiming::ReplyLineMax,
                           CommandTiming::SaveCompleteByteMs);
    StampLog(link);
    return completed;
}

bool ResetToBootloader(DeviceTransport& link, int n) {
    return SendCommand(link, "rst boot " + QByteArray::number(n) + ';') && ExpectSuccess(link);
}

QString LogTimeStamp(const QTime& time) {
    return QString::asprintf("%02d:%02d:%02d.%03d\r\n", time.hour(), time.minute(), time.second(),
                             time.msec());
}
