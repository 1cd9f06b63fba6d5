#pragma once

#include <QByteArray>
#include <QString>
#include <QTime>
#include <QtGlobal>

class DeviceTransport;

// The framing that every command of the dialler shares. A command is a run
// of 8-bit characters ending in ";"; the dialler echoes each character as it
// receives it (sometimes behind one ">", its prompt) and then answers with
// lines, each ended by a carriage return alone. The program compares whole
// lines including that carriage return, so a line feed behind it spoils the
// next line. All calls block, show nothing and return false on the first
// failure; nothing is retried here.
namespace CommandTiming {
// Each echoed byte may take 250 ms per character of the command plus one
// second: a dialler that does not answer is noticed at the first missing byte.
constexpr qint32 EchoBaseMs = 1000;
constexpr qint32 EchoPerCommandCharacterMs = 250;
// "Success!\r" and its like.
constexpr int ConfirmationLineMax = 20;
constexpr qint32 ConfirmationByteMs = 1000;
// The reply lines of "save all;", "out," and "sts,out,".
constexpr int ReplyLineMax = 25;
constexpr qint32 ReplyByteMs = 1000;
// Writing the flash takes the dialler several seconds before it finishes
// the line "Save Complete!\r".
constexpr qint32 SaveCompleteByteMs = 10000;
// The "ver;" reply: at most 199 bytes, carriage return included.
constexpr int VersionLineMax = 199;
constexpr qint32 VersionByteMs = 100;
} // namespace CommandTiming

namespace DiallerLines {
inline const QByteArray Success = QByteArrayLiteral("Success!\r");
inline const QByteArray StartingSave = QByteArrayLiteral("Starting Save...\r");
inline const QByteArray SaveComplete = QByteArrayLiteral("Save Complete!\r");
} // namespace DiallerLines

// The default echo timeout per byte of a command of `length` characters.
qint32 DefaultEchoTimeoutMs(qsizetype length);

// Sends the command and checks its echo. A timeout of 0 is the default.
bool SendCommand(DeviceTransport& link, const QByteArray& command, qint32 timeoutMs = 0);
// Drains stale input, sends the bytes and compares the echo byte by byte as
// it arrives, each byte within `timeoutPerByteMs`. One ">" in front of the
// echo is skipped; a second one, or one after the first echoed character,
// is a mismatch.
bool SendCommandEchoed(DeviceTransport& link, const char* bytes, quint32 count,
                       qint32 timeoutPerByteMs);
// Reads one line, each byte within `timeoutPerByteMs`. True when a carriage
// return arrived within `maxLength` bytes; `line` then holds the line with
// its carriage return. A line that does not fit counts as missing.
bool ReadResponseLine(DeviceTransport& link, QByteArray& line, int maxLength,
                      qint32 timeoutPerByteMs);
// True when the next line is exactly "Success!\r".
bool ExpectSuccess(DeviceTransport& link);

// "ver;": sends the command and reads the version line, whose first byte
// always belongs to it, even a carriage return. `line` receives the line
// without its final carriage return, for example "SW 3.14, HW 1".
bool QueryVersion(DeviceTransport& link, QByteArray& line);

// "save all;": has the dialler store all its settings in flash. True when it
// reported both the start ("Starting Save...\r") and the end ("Save
// Complete!\r"). While the traffic log is active each of the two lines gets
// a time stamp behind it.
bool SaveAllToFlash(DeviceTransport& link);

// "rst boot N;": restarts the dialler into its bootloader, which then shows
// up as another USB device. True when the command was echoed and confirmed.
bool ResetToBootloader(DeviceTransport& link, int n);

// The log's time stamp for `time`, for example "14:03:07.045\r\n".
QString LogTimeStamp(const QTime& time);
