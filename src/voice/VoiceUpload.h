#pragma once

#include "voice/VoiceMessageStore.h"

#include <QByteArray>

class DeviceTransport;

// "upl N;" copies input N's voice message into the dialler. After the echo
// the dialler announces "Ready...\r", takes the message as one block of raw
// bytes (the whole WAV image: the header's RIFF length tells it how many),
// and confirms with "Success!\r". The command itself carries no length.
namespace VoiceUploadLines {
inline const QByteArray Ready = QByteArrayLiteral("Ready...\r");
// Both reply lines: at most 25 bytes, each within a second.
constexpr int LineMax = 25;
constexpr qint32 ByteMs = 1000;
} // namespace VoiceUploadLines

// "upl N;" for input 1..8.
QByteArray VoiceUploadCommand(int input);

// Sends the slot's message as input `input`'s. True when the dialler
// announced it was ready, took the block and confirmed it. Nothing of the
// message is sent unless "Ready...\r" came; the traffic log is muted while
// the block goes out, so that it shows the exchange without the samples.
// Shows nothing and leaves the busy flag and cursor to the caller; nothing
// is retried.
bool UploadVoiceMessage(DeviceTransport& link, int input, const VoiceMessageSlot& slot);
