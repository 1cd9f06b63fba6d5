#include "voice/VoiceMessageStore.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::array<char, VoiceFormat::HeaderSize> BuildEmptyHeader() {
    std::array<char, VoiceFormat::HeaderSize> header{};
    const auto text = [&header](int at, const char* id) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = id[i];
        }
    };
    const auto number = [&header](int at, quint32 value, int width) {
        for (int i = 0; i < width; ++i) {
            header[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    text(0, "RIFF");
    number(VoiceFormat::RiffLengthOffset, 36, 4);
    text(8, "WAVE");
    text(12, "fmt ");
    number(16, 16, 4); // format chunk length
    number(20, 1, 2);  // PCM
    number(22, 1, 2);  // mono
    number(24, 8000, 4);
    number(28, VoiceFormat::BytesPerSecond, 4);
    number(32, 2, 2);  // bytes per sample
    number(34, 16, 2); // bits per sample
    text(36, "data");
    number(VoiceFormat::DataLengthOffset, 0, 4);
    return header;
}

// A data length below this is less than a millisecond of sound.
constexpr quint32 ShortestData = VoiceFormat::BytesPerSecond / 1000;

quint32 ReadLe32(const VoiceMessageSlot& slot, int offset) {
    return qFromLittleEndian<quint32>(slot.data() + offset);
}

void WriteLe32(VoiceMessageSlot& slot, int offset, quint32 value) {
    qToLittleEndian<quint32>(value, slot.data() + offset);
}

// Calls `visit` with the offset and value of every sample of the message.
template <typename Visit> void ForEachSample(const VoiceMessageSlot& slot, Visit visit) {
    const quint32 end = VoiceMessageSize(slot);
    // The last sample may end one byte past `end`; VoiceMessageSize keeps it
    // within the slot, whose size is even.
    for (quint32 offset = VoiceFormat::HeaderSize; offset < end; offset += 2) {
        visit(offset, qFromLittleEndian<qint16>(slot.data() + offset));
    }
}

} // namespace

const std::array<char, VoiceFormat::HeaderSize> EmptyVoiceHeader = BuildEmptyHeader();

QString VoiceFileName(int input) {
    return VoiceFilePrefix + QString::number(input) + VoiceFileExtension;
}

QString ExportFileName(int input) {
    return QStringLiteral("Volume_Adjusted_Message_%1.wav").arg(input);
}

quint32 RiffLength(const VoiceMessageSlot& slot) {
    return ReadLe32(slot, VoiceFormat::RiffLengthOffset);
}

quint32 DataLength(const VoiceMessageSlot& slot) {
    return ReadLe32(slot, VoiceFormat::DataLengthOffset);
}

void SetRiffLength(VoiceMessageSlot& slot, quint32 length) {
    WriteLe32(slot, VoiceFormat::RiffLengthOffset, length);
}

void SetDataLength(VoiceMessageSlot& slot, quint32 length) {
    WriteLe32(slot, VoiceFormat::DataLengthOffset, length);
}

quint32 VoiceMessageSize(const VoiceMessageSlot& slot) {
    // In 64 bits, so that the "+ 8" of a length near 4 GiB does not wrap.
    const quint64 size = quint64(RiffLength(slot)) + 8;
    return static_cast<quint32>(std::min<quint64>(size, VoiceFormat::SlotSize));
}

qint32 VoiceDurationMs(const VoiceMessageSlot& slot) {
    const quint32 data = std::min<quint32>(DataLength(slot), VoiceFormat::DataMax);
    if (data < ShortestData) {
        return 0;
    }
    return static_cast<qint32>(data * 1000 / VoiceFormat::BytesPerSecond);
}

QString VoiceDurationText(qint32 durationMs, const QLocale& locale) {
    const int tenths = (durationMs + 50) / 100;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Up to 15 significant digits: 46 tenths read 4.6, not 4.6000000000000005.
    return plain.toString(tenths * 0.1, 'g', 15);
}

QString VoiceMessageItemText(int input, const QString& durationText, bool accelerator) {
    return QStringLiteral("Input %1%2 Message (%3 sec)")
        .arg(accelerator ? QStringLiteral("&") : QString(), QString::number(input), durationText);
}

bool LoadVoiceMessageFile(VoiceMessageSlot& slot, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < VoiceFormat::HeaderSize) {
        std::fill_n(slot.begin(), VoiceFormat::HeaderSize, '\0');
        return false;
    }
    if (file.size() <= VoiceFormat::SlotSize) {
        const qint64 size = file.size();
        return file.read(slot.data(), size) == size;
    }
    // Longer than 15 seconds: the slot takes the first 15, and its header
    // says so.
    const bool read = file.read(slot.data(), VoiceFormat::SlotSize) == VoiceFormat::SlotSize;
    SetRiffLength(slot, VoiceFormat::RiffLengthMax);
    SetDataLength(slot, VoiceFormat::DataMax);
    return read;
}

void LimitVoicePeak(VoiceMessageSlot& slot) {
    int peak = 0;
    ForEachSample(
        slot, [&peak](quint32, qint16 sample) { peak = std::max(peak, std::abs(int(sample))); });
    if (peak <= VoiceFormat::PeakLimit) {
        return;
    }
    const auto factor = static_cast<float>(static_cast<long double>(VoiceFormat::PeakLimit) / peak);
    ForEachSample(slot, [&slot, factor](quint32 offset, qint16 sample) {
        const auto scaled =
            static_cast<qint16>(std::trunc(static_cast<long double>(sample) * factor));
        qToLittleEndian<qint16>(scaled, slot.data() + offset);
    });
}

bool FillVoiceSlot(VoiceMessageSlot& slot, const QString& path) {
    if (!LoadVoiceMessageFile(slot, path)) {
        std::memcpy(slot.data(), EmptyVoiceHeader.data(), EmptyVoiceHeader.size());
        return false;
    }
    LimitVoicePeak(slot);
    return true;
}

bool ExportVoiceMessage(const VoiceMessageSlot& slot, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const qint64 size = VoiceMessageSize(slot);
    return file.write(slot.data(), size) == size;
}
