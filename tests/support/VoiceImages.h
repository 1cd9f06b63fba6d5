#pragma once

#include "voice/VoiceMessageStore.h"

#include <QByteArray>
#include <QtEndian>

#include <functional>

// WAV images as the store keeps them, for the voice tests: the canonical
// 44-byte header, then 16-bit samples.

// The image of `dataBytes` bytes of samples; sample i is `sample(i)`.
inline QByteArray VoiceImage(int dataBytes, const std::function<qint16(int)>& sample) {
    QByteArray image(EmptyVoiceHeader.data(), EmptyVoiceHeader.size());
    image.resize(VoiceFormat::HeaderSize + dataBytes);
    qToLittleEndian<quint32>(quint32(36 + dataBytes), image.data() + VoiceFormat::RiffLengthOffset);
    qToLittleEndian<quint32>(quint32(dataBytes), image.data() + VoiceFormat::DataLengthOffset);
    for (int i = 0; 2 * i + 1 < dataBytes; ++i) {
        qToLittleEndian<qint16>(sample(i), image.data() + VoiceFormat::HeaderSize + 2 * i);
    }
    return image;
}

// A quiet message that the peak limiting leaves as it is: a saw tooth
// within ±1000, every byte pattern different from its neighbours'.
inline QByteArray QuietVoiceImage(int dataBytes) {
    return VoiceImage(dataBytes, [](int i) { return qint16((i * 37) % 2001 - 1000); });
}

// Puts the image into the slot from its first byte.
inline void PutVoiceImage(VoiceMessageSlot& slot, const QByteArray& image) {
    std::copy(image.begin(), image.end(), slot.begin());
}

// The slot's first `count` bytes.
inline QByteArray SlotBytes(const VoiceMessageSlot& slot, qsizetype count) {
    return QByteArray(slot.data(), count);
}
