#include "voice/VoiceUpload.h"

#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"

namespace {

bool ReadLine(DeviceTransport& link, const QByteArray& expected) {
    QByteArray line;
    return ReadResponseLine(link, line, VoiceUploadLines::LineMax, VoiceUploadLines::ByteMs) &&
           line == expected;
}

// Mutes the traffic log while the block goes out, however the write ends.
class VoiceDataMute {
public:
    explicit VoiceDataMute(DeviceTransport& link) : mLink(link) { mLink.SetVoiceDataSending(true); }
    ~VoiceDataMute() { mLink.SetVoiceDataSending(false); }
    VoiceDataMute(const VoiceDataMute&) = delete;
    VoiceDataMute& operator=(const VoiceDataMute&) = delete;

private:
    DeviceTransport& mLink;
};

} // namespace

QByteArray VoiceUploadCommand(int input) {
    QByteArray command = QByteArrayLiteral("upl 0;");
    command[4] = static_cast<char>('0' + input);
    return command;
}

bool UploadVoiceMessage(DeviceTransport& link, int input, const VoiceMessageSlot& slot) {
    if (!SendCommand(link, VoiceUploadCommand(input))) {
        return false;
    }
    if (!ReadLine(link, VoiceUploadLines::Ready)) {
        return false;
    }
    const quint32 size = VoiceMessageSize(slot);
    quint32 sent = 0;
    {
        // One write of the whole block: the port passes it on at the speed
        // of the line. Whatever the dialler said meanwhile is dropped first.
        const VoiceDataMute mute(link);
        sent = link.WriteToDevice(slot.data(), size, true);
    }
    return sent == size && ReadLine(link, DiallerLines::Success);
}
