#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

// The dialler's bootloader speaks the SAM-BA monitor's binary mode, with the
// erase ("X"), buffer-to-flash ("Y") and checksum ("Z") commands of the
// Arduino SAMD boot program. A command is a letter, a hexadecimal address,
// perhaps "," and a hexadecimal number, and "#"; nothing is echoed. The
// program writes every address and size as eight upper-case digits.
namespace BootloaderMemory {
// 256 KiB of flash; the boot program itself fills the first 8 KiB and
// starts the application found behind it.
constexpr std::uint32_t FlashSize = 256 * 1024;
constexpr std::uint32_t ApplicationStart = 0x2000;
constexpr std::uint32_t ApplicationAreaSize = FlashSize - ApplicationStart;
// Each block goes into this RAM buffer first and is copied to flash from it.
constexpr std::uint32_t BlockBuffer = 0x20002400;
constexpr std::uint32_t BlockSize = 4096;
// The processor's application interrupt and reset control register: the
// write key 0x05FA with the system reset request bit restarts the processor.
constexpr std::uint32_t ResetRegister = 0xE000ED0C;
constexpr std::uint32_t ResetRequest = 0x05FA0004;
} // namespace BootloaderMemory

// "X00002000#": erases the flash from the application's start to the end.
QByteArray EraseCommand();
// "S20002400,<size>#": the next `size` bytes on the line go into the buffer.
QByteArray LoadBufferCommand(std::uint32_t size);
// "Y20002400,0#": the buffer is the source of the following copy.
QByteArray SelectBufferCommand();
// "Y<address>,<size>#": copies `size` bytes of the buffer into flash.
QByteArray CopyToFlashCommand(std::uint32_t address, std::uint32_t size);
// "Z00002000,<size>#": the CRC of `size` bytes of flash from the application's start.
QByteArray ChecksumCommand(std::uint32_t size);
// "WE000ED0C,05FA0004#": restarts the processor.
QByteArray ResetCommand();

// The acknowledgement of "X" and "Y": the letter, a line feed and a carriage
// return.
QByteArray BootloaderReply(char letter);
constexpr int BootloaderReplyLength = 3;

// The answer to "Z": "Z", the CRC as eight hexadecimal digits, "#\n\r".
constexpr int ChecksumReplyLength = 12;
// The CRC it carries, or nothing when the answer is not of that form or the
// number does not fit 16 bits.
std::optional<std::uint16_t> ParseChecksumReply(const QByteArray& reply);

// One block of the image on its way to flash.
struct FirmwareBlock {
    std::uint32_t Offset = 0;  // in the image
    std::uint32_t Address = 0; // in flash
    std::uint32_t Size = 0;
    bool operator==(const FirmwareBlock&) const = default;
};

// The blocks an image of `imageSize` bytes is written in: full blocks, the
// last holding the rest, and no empty block behind an image that fills its
// last block exactly.
QList<FirmwareBlock> FirmwareBlocks(std::uint32_t imageSize);
