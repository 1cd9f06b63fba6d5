// The bootloader's answers during a firmware upgrade: the "Z" checksum reply
// is taken only in its exact form, and the three-byte acknowledgements of
// "X" and "Y" only as sent. The blocks an image is cut into stay inside the
// application's part of the flash.
#include "FuzzCheck.h"

#include "firmware/BootloaderCommands.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const std::optional<std::uint16_t> crc = ParseChecksumReply(reply)) {
        FUZZ_CHECK(reply.size() == ChecksumReplyLength);
        FUZZ_CHECK(reply.startsWith('Z') && reply.endsWith("#\n\r"));
        bool ok = false;
        FUZZ_CHECK(reply.mid(1, 8).toUInt(&ok, 16) == *crc && ok);
    }
    for (const char letter : {'X', 'Y'}) {
        const QByteArray ack = BootloaderReply(letter);
        FUZZ_CHECK(ack.size() == BootloaderReplyLength);
        if (reply == ack) {
            FUZZ_CHECK(reply.at(0) == letter);
        }
    }

    std::uint32_t imageSize = 0;
    std::memcpy(&imageSize, data, std::min(size, sizeof imageSize));
    imageSize %= BootloaderMemory::ApplicationAreaSize + 1;
    std::uint32_t covered = 0;
    for (const FirmwareBlock& block : FirmwareBlocks(imageSize)) {
        FUZZ_CHECK(block.Offset == covered);
        FUZZ_CHECK(block.Size > 0 && block.Size <= BootloaderMemory::BlockSize);
        FUZZ_CHECK(block.Address == BootloaderMemory::ApplicationStart + block.Offset);
        FUZZ_CHECK(block.Address + block.Size <= BootloaderMemory::FlashSize);
        covered += block.Size;
    }
    FUZZ_CHECK(covered == imageSize);
    return 0;
}
