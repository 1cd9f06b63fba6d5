#include "BootloaderCommandModel.h"

#include "firmware/Crc16Xmodem.h"

#include <algorithm>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

QByteArray Hex8(std::uint32_t value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
}

} // namespace

BootloaderCommandModel::BootloaderCommandModel(std::uint32_t oldFirmwareSize)
    : Flash(FlashSize, Erased), Ram(RamSize, '\0') {
    // Something that is not erased flash, for the boot program and the
    // firmware before the upgrade.
    for (std::uint32_t i = 0; i < ApplicationStart + oldFirmwareSize && i < FlashSize; ++i) {
        Flash[i] = static_cast<char>((i * 7 + 3) & 0x7F);
    }
}

bool BootloaderCommandModel::ApplicationErased() const {
    return Flash.mid(ApplicationStart, 4) == QByteArray(4, Erased);
}

void BootloaderCommandModel::Restart() {
    mLetter = 0;
    mAddress = 0;
    mNumber = 0;
    mText.clear();
    mDataDue = 0;
    mDataSize = 0;
    mSourceSet = false;
    mBlocksLoaded = 0;
    mCopies = 0;
    mCommandEnd.reset();
    mDataEnd.reset();
}

BootloaderStep BootloaderCommandModel::Take(char byte, Arrival arrived) {
    const auto inPacketOf = [&arrived](const Arrival& end) {
        return arrived && end && *arrived - *end < PacketWindow;
    };
    if (mDataDue > 0) {
        if (inPacketOf(mCommandEnd)) {
            return {};
        }
        if (mDataAt < RamSize) {
            Ram[mDataAt] = byte;
        }
        ++mDataAt;
        if (--mDataDue == 0) {
            mDataEnd = arrived;
        }
        return {};
    }
    if (inPacketOf(mDataEnd)) {
        return {};
    }
    // The monitor reads a command as it comes: a hexadecimal digit shifts
    // into the number, "," makes the number the address, "#" carries the
    // command out, and any other character becomes the command letter. So
    // stray text in front of a command does no harm.
    mText += byte;
    const int digit = HexDigit(byte);
    if (digit >= 0) {
        mNumber = (mNumber << 4) | static_cast<std::uint32_t>(digit);
        return {};
    }
    if (byte == ',') {
        mAddress = mNumber;
        mNumber = 0;
        return {};
    }
    if (byte != '#') {
        mLetter = byte;
        mNumber = 0;
        mText = QByteArray(1, byte);
        return {};
    }
    Commands << mText;
    mCommandEnd = arrived;
    const BootloaderStep step = Execute(mLetter, mAddress, mNumber);
    mLetter = 0;
    mNumber = 0;
    mText.clear();
    return step;
}

BootloaderStep BootloaderCommandModel::Execute(char letter, std::uint32_t address,
                                               std::uint32_t value) {
    BootloaderStep step;
    if (letter == 'X') {
        // The erase takes its address without a ",".
        address = value;
    }
    switch (letter) {
    case 'X':
        if (address < ApplicationStart || address >= FlashSize) {
            return step;
        }
        Flash.replace(address, FlashSize - address, QByteArray(FlashSize - address, Erased));
        // Blocks are counted from the erase that starts each upgrade.
        mBlocksLoaded = 0;
        mCopies = 0;
        step.Erased = true;
        step.Reply = Faults.EraseWithoutLineEnds ? QByteArray("X") : QByteArray("X\n\r");
        return step;
    case 'S':
        ++mBlocksLoaded;
        mDataSize = value;
        mDataDue = value;
        // Data for anywhere but RAM is taken off the line and dropped.
        mDataAt = address >= RamStart && address - RamStart + value <= RamSize ? address - RamStart
                                                                               : RamSize;
        return step;
    case 'Y':
        if (value == 0) {
            if (Faults.LostSelectOfBlock > 0 && mBlocksLoaded == Faults.LostSelectOfBlock) {
                return step;
            }
            mSource = address;
            mSourceSet = true;
            step.Reply = "Y\n\r";
            return step;
        }
        if (++mCopies == Faults.LostCopyOfBlock) {
            return step;
        }
        if (!mSourceSet || address < ApplicationStart || address + value > FlashSize ||
            mSource < RamStart || mSource - RamStart + value > RamSize) {
            return step;
        }
        for (std::uint32_t i = 0; i < value; ++i) {
            Flash[address + i] =
                static_cast<char>(Flash[address + i] & Ram[mSource - RamStart + i]);
        }
        ApplicationWritten = true;
        step.Reply = "Y\n\r";
        return step;
    case 'Z': {
        if (address + value > FlashSize) {
            return step;
        }
        std::uint16_t crc = Crc16Xmodem(Flash.constData() + address, value);
        if (Faults.WrongChecksum) {
            ++crc;
        }
        step.Reply = 'Z' + Hex8(crc) + (Faults.ChecksumLineEndsSwapped ? "#\r\n" : "#\n\r");
        if (Faults.ChecksumAnswerShort) {
            step.Reply.chop(1);
        }
        if (Faults.ChecksumAnswerMisnamed) {
            step.Reply[0] = 'Y';
        }
        return step;
    }
    case 'W':
        step.Reset = address == 0xE000ED0C && value == 0x05FA0004;
        return step;
    default:
        return step;
    }
}
