#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>
#include <cstdint>
#include <optional>

// Faults of the simulated bootloader, all off by default.
struct BootloaderFaults {
    // Answers "X" without its line feed and carriage return (after erasing).
    bool EraseWithoutLineEnds = false;
    // The erase takes this long before its answer.
    int EraseDelayMs = 0;
    // The copy into flash of this block (1 for the first) is lost: neither
    // carried out nor answered.
    int LostCopyOfBlock = 0;
    // The "Y" that makes RAM the source of this block's copy (1 for the
    // first) is lost: neither carried out nor answered.
    int LostSelectOfBlock = 0;
    // Reports a CRC one higher than its flash's.
    bool WrongChecksum = false;
    // Ends the CRC answer in "#\r\n" instead of "#\n\r".
    bool ChecksumLineEndsSwapped = false;
    // The CRC answer stops one byte short.
    bool ChecksumAnswerShort = false;
    // The CRC answer starts with "Y" instead of "Z".
    bool ChecksumAnswerMisnamed = false;
    // The port vanishes halfway through the data of this block (1 for the first).
    int VanishInBlock = 0;
};

// What the bootloader does after taking a byte.
struct BootloaderStep {
    QByteArray Reply;
    bool Erased = false; // the byte completed an erase command
    bool Reset = false;  // the processor restarts now
};

// The dialler's boot program without any line: the SAM-BA monitor in binary
// mode with the Arduino SAMD erase, copy and CRC commands, over a 256 KiB
// flash whose first 8 KiB hold the boot program itself.
//
//   X00002000#             erases from 0x2000 to the end            "X\n\r"
//   S20002400,00001000#    the next 0x1000 bytes go into RAM there
//   Y20002400,0#           RAM at 0x20002400 is the copy's source   "Y\n\r"
//   Y00003000,00001000#    copies 0x1000 bytes into flash at 0x3000 "Y\n\r"
//   Z00002000,0000EB60#    CRC-16/XMODEM of that flash    "Z0000xxxx#\n\r"
//   WE000ED0C,05FA0004#    the processor resets
//
// Commands end in "#" and are not echoed; numbers are hexadecimal in either
// case. Flash is programmed as flash is: a copy can only clear bits, so only
// erased flash takes the image unchanged. Anything it does not understand
// is ignored, as the monitor ignores it.
//
// The USB packet: the monitor takes a command and the raw data behind it
// from different reads of its USB endpoint, and what else a read brings is
// lost. Bytes that reach it within PacketWindow of each other count as one
// packet here, so the rule is: data bytes that arrive within the window
// after the "#" of their "S" command are dropped (and not counted: the
// monitor waits on for its data), and so are the bytes that arrive within
// the window after the last byte of a block's data. Bytes whose arrival is
// not known are never dropped.
class BootloaderCommandModel {
public:
    using Arrival = std::optional<std::chrono::steady_clock::time_point>;
    static constexpr std::chrono::milliseconds PacketWindow{5};

    static constexpr std::uint32_t FlashSize = 256 * 1024;
    static constexpr std::uint32_t ApplicationStart = 0x2000;
    static constexpr std::uint32_t RamStart = 0x20000000;
    static constexpr std::uint32_t RamSize = 32 * 1024;
    static constexpr char Erased = char(0xFF);

    // The flash holds an older firmware of `oldFirmwareSize` bytes.
    explicit BootloaderCommandModel(std::uint32_t oldFirmwareSize = 40000);

    BootloaderFaults Faults;
    QByteArray Flash;
    QByteArray Ram;
    // Every command received, with its "#"; block data is not listed.
    QList<QByteArray> Commands;
    // A copy into flash has been carried out since the start.
    bool ApplicationWritten = false;

    // Takes the next byte from the line, which reached the bootloader at
    // `arrived`.
    BootloaderStep Take(char byte, Arrival arrived = std::nullopt);
    // The processor starts again: what was half received is lost; the flash
    // stays.
    void Restart();

    // Raw block data still due for the last "S" command.
    std::uint32_t DataDue() const { return mDataDue; }
    std::uint32_t DataSize() const { return mDataSize; }
    // "S" commands received so far: the number of the block on its way.
    int BlocksLoaded() const { return mBlocksLoaded; }
    // The application area holds nothing, so the boot program stays after a reset.
    bool ApplicationErased() const;
    // `size` bytes of flash from the application's start.
    QByteArray Application(std::uint32_t size) const { return Flash.mid(ApplicationStart, size); }

private:
    BootloaderStep Execute(char letter, std::uint32_t address, std::uint32_t value);

    char mLetter = 0;
    std::uint32_t mAddress = 0;
    std::uint32_t mNumber = 0;
    QByteArray mText;          // the command as received, from its letter
    std::uint32_t mDataAt = 0; // offset in RAM, or past its end for data that is dropped
    std::uint32_t mDataDue = 0;
    std::uint32_t mDataSize = 0;
    std::uint32_t mSource = 0;
    bool mSourceSet = false;
    int mBlocksLoaded = 0;
    int mCopies = 0;
    // When the "#" of the last command and the last byte of the last
    // block's data arrived.
    Arrival mCommandEnd;
    Arrival mDataEnd;
};
