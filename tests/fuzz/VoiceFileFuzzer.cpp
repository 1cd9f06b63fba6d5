// The voice files read at start: any bytes, any length, any header. Loading,
// peak limiting, the duration and the page's label never reach outside the
// message's slot, and what the slot holds afterwards is a message the upload
// and the export can send as it is.
#include "FuzzCheck.h"
#include "FuzzFile.h"

#include "voice/VoiceMessageStore.h"

#include <QLocale>
#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A slot of its own on the heap, so that a read or write past its end
    // meets the sanitizer's guard rather than the next input's slot.
    auto slot = std::make_unique<VoiceMessageSlot>();
    slot->fill('\x7f'); // earlier samples, loud
    const bool loaded = FillVoiceSlot(*slot, WriteFuzzFile(data, size));
    FUZZ_CHECK(loaded == (size >= std::size_t(VoiceFormat::HeaderSize)));

    const quint32 messageSize = VoiceMessageSize(*slot);
    FUZZ_CHECK(messageSize <= quint32(VoiceFormat::SlotSize));
    const qint32 duration = VoiceDurationMs(*slot);
    FUZZ_CHECK(duration >= 0 && duration <= 15000);
    if (size > std::size_t(VoiceFormat::SlotSize)) {
        FUZZ_CHECK(messageSize == quint32(VoiceFormat::SlotSize) && duration == 15000);
    }
    // The level the dialler expects: no sample of the message is louder.
    for (quint32 offset = VoiceFormat::HeaderSize; offset + 1 < messageSize; offset += 2) {
        const int sample = qFromLittleEndian<qint16>(slot->data() + offset);
        FUZZ_CHECK(std::abs(sample) <= VoiceFormat::PeakLimit);
    }
    const QString label = VoiceMessageItemText(1, VoiceDurationText(duration, QLocale::c()), true);
    FUZZ_CHECK(label.startsWith(QStringLiteral("Input &1 Message (")));
    return 0;
}
