#include "device/DeviceTransport.h"

#include "platform/ComPort.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

namespace {

constexpr char16_t ControlPictures = 0x2400; // U+2400 shows NUL, U+240A LF, ...
constexpr char16_t DeletePicture = 0x2421;
constexpr char16_t ReplacementCharacter = 0xFFFD;

// The system may end a wait late by a thousandth of its length; waits of at
// most half a second keep a deadline to the millisecond.
constexpr int LongestWaitMs = 500;

// Log text of a caller's own text: any of CR LF, CR or LF ends a line.
QString LineBreaksAsNewlines(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

} // namespace

QString TrafficLogText(const char* bytes, qsizetype count) {
    QString text;
    text.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r') {
            text += QLatin1Char('\n');
        } else if (byte < 0x20) {
            text += QChar(char16_t(ControlPictures + byte));
        } else if (byte == 0x7F) {
            text += QChar(DeletePicture);
        } else if (byte >= 0x80 && byte < 0xA0) {
            text += QChar(ReplacementCharacter);
        } else {
            text += QChar(char16_t(byte));
        }
    }
    return text;
}

DeviceTransport::DeviceTransport(ComPort& port, QObject* parent) : QObject(parent), mPort(port) {}

qint64 DeviceTransport::DeadlineAfter(qint32 delayMs) {
    return QDateTime::currentMSecsSinceEpoch() + delayMs;
}

bool DeviceTransport::DeadlinePassed(qint64 deadline) {
    return QDateTime::currentMSecsSinceEpoch() >= deadline;
}

bool DeviceTransport::TrafficLogShown() const {
    return mLog != nullptr && mLog->IsShown();
}

bool DeviceTransport::TrafficLogActive() const {
    return TrafficLogShown() && !mFirmwareUpgradeActive && !mVoiceDataSending;
}

void DeviceTransport::PortFailed() {
    mPort.SetConnected(false);
    RestartPortCheck();
}

void DeviceTransport::RestartPortCheck() {
    emit PortCheckRestartRequested();
}

void DeviceTransport::DiscardPendingInput() {
    emit PendingInputDiscardRequested();
}

void DeviceTransport::LogOnNewLine(const QString& text, quint32 colour) {
    if (!mLog->IsEmpty() && !mLog->EndsWithLineBreak()) {
        mLog->Append(QLatin1Char('\n') + text, colour);
    } else {
        mLog->Append(text, colour);
    }
}

quint32 DeviceTransport::WriteToDevice(const char* bytes, quint32 count, bool flush) {
    if (!mPort.Connected()) {
        return 0;
    }
    bool gaveUp = false;
    if (flush) {
        try {
            while (mPort.InputCount() > 0) {
                char stale = 0;
                if (ReadFromDevice(&stale, 1, FlushByteTimeoutMs) < 1) {
                    gaveUp = true;
                    break;
                }
            }
        } catch (const ComPortError&) {
            gaveUp = true;
        }
        // A failed drain read has already run the error rule when the port
        // raised; otherwise it runs here.
        if (gaveUp && mPort.Connected()) {
            PortFailed();
        }
    }
    mRxContinues = false;
    quint32 sent = 0;
    if (!gaveUp) {
        try {
            sent = static_cast<quint32>(mPort.Write(bytes, count));
        } catch (const ComPortError&) {
            PortFailed();
            sent = 0;
        }
    }
    if (sent > 0 && TrafficLogActive()) {
        LogOnNewLine(TrafficLogText(bytes, sent), TrafficColour::Sent);
    }
    return sent;
}

quint32 DeviceTransport::WriteToDevice(const QByteArray& bytes, bool flush) {
    return WriteToDevice(bytes.constData(), static_cast<quint32>(bytes.size()), flush);
}

quint32 DeviceTransport::WriteStringToDevice(const char* text, bool flush) {
    return WriteToDevice(text, static_cast<quint32>(std::strlen(text)), flush);
}

quint32 DeviceTransport::ReadFromDevice(char* buffer, quint32 wanted, qint32 timeoutMs) {
    const qint64 deadline = DeadlineAfter(timeoutMs);
    quint32 got = 0;
    try {
        for (;;) {
            if (!mPort.Connected()) {
                break;
            }
            const qint64 waiting = mPort.InputCount();
            if (DeadlinePassed(deadline)) {
                break;
            }
            if (waiting >= static_cast<qint64>(wanted)) {
                got = static_cast<quint32>(mPort.Read(buffer, wanted));
                break;
            }
            const qint64 left = deadline - QDateTime::currentMSecsSinceEpoch();
            mPort.WaitForInput(static_cast<int>(std::clamp<qint64>(left, 1, LongestWaitMs)));
        }
    } catch (const ComPortError&) {
        PortFailed();
    }
    if (got > 0 && TrafficLogActive()) {
        const QString text = TrafficLogText(buffer, got);
        if (mRxContinues && !mLog->IsEmpty()) {
            mLog->Append(text, TrafficColour::Received);
        } else {
            LogOnNewLine(text, TrafficColour::Received);
        }
    }
    mRxContinues = true;
    return got;
}

void DeviceTransport::AppendToLastLogLine(const QString& text) {
    if (mLog == nullptr) {
        return;
    }
    QString line = LineBreaksAsNewlines(text);
    // In front of the log's final line break, a break at the end of the text
    // stands for that one; a second would leave an empty line behind.
    if (mLog->EndsWithLineBreak() && line.endsWith(QLatin1Char('\n'))) {
        line.chop(1);
    }
    mLog->AppendToLastLine(line);
}

void DeviceTransport::ClearTrafficLog() {
    if (mLog != nullptr) {
        mLog->Clear();
    }
}
