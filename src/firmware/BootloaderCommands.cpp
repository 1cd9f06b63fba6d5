#include "firmware/BootloaderCommands.h"

#include <algorithm>

namespace {

QByteArray Hex8(std::uint32_t value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

QByteArray EraseCommand() {
    return 'X' + Hex8(BootloaderMemory::ApplicationStart) + '#';
}

QByteArray LoadBufferCommand(std::uint32_t size) {
    return 'S' + Hex8(BootloaderMemory::BlockBuffer) + ',' + Hex8(size) + '#';
}

QByteArray SelectBufferCommand() {
    // The size field is ignored when the buffer is chosen; "0" is what the
    // boot program's own tools send.
    return 'Y' + Hex8(BootloaderMemory::BlockBuffer) + ",0#";
}

QByteArray CopyToFlashCommand(std::uint32_t address, std::uint32_t size) {
    return 'Y' + Hex8(address) + ',' + Hex8(size) + '#';
}

QByteArray ChecksumCommand(std::uint32_t size) {
    return 'Z' + Hex8(BootloaderMemory::ApplicationStart) + ',' + Hex8(size) + '#';
}

QByteArray ResetCommand() {
    return 'W' + Hex8(BootloaderMemory::ResetRegister) + ',' +
           Hex8(BootloaderMemory::ResetRequest) + '#';
}

QByteArray BootloaderReply(char letter) {
    return QByteArray(1, letter) + "\n\r";
}

std::optional<std::uint16_t> ParseChecksumReply(const QByteArray& reply) {
    if (reply.size() != ChecksumReplyLength || !reply.startsWith('Z') || !reply.endsWith("#\n\r")) {
        return std::nullopt;
    }
    const QByteArray digits = reply.mid(1, 8);
    for (const char c : digits) {
        if (!IsHexDigit(c)) {
            return std::nullopt;
        }
    }
    const std::uint32_t value = digits.toUInt(nullptr, 16);
    if (value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

QList<FirmwareBlock> FirmwareBlocks(std::uint32_t imageSize) {
    QList<FirmwareBlock> blocks;
    for (std::uint32_t offset = 0; offset < imageSize; offset += BootloaderMemory::BlockSize) {
        const std::uint32_t size = std::min(BootloaderMemory::BlockSize, imageSize - offset);
        blocks.append({offset, BootloaderMemory::ApplicationStart + offset, size});
    }
    return blocks;
}
