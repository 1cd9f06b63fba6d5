#pragma once

#include <QByteArray>

// The dialler answers "dnld all;" with one block of text lines that starts
// with "VER:" and ends with a line "LEN:dddd" and a carriage return, where the
// four digits give the length of the whole block, "VER:" through that
// carriage return. Whatever came before "VER:" is stale output and skipped.
namespace SettingsBlockLimits {
inline constexpr char StartMarker[] = "VER:";
inline constexpr char LengthMarker[] = "LEN:";
// A block that reaches this length without completing is given up.
constexpr int MaxBlockBytes = 10000;
// The shortest block the completion rule looks at: a "LEN:dddd" line alone.
constexpr int MinBlockBytes = 9;
// How long the download waits for each byte, before and within the block.
constexpr int ByteTimeoutMs = 1000;
} // namespace SettingsBlockLimits

// Finds the start of the block: fed every received byte, it reports the byte
// that completes "VER:".
class ReplyStartFinder {
public:
    // True when this byte and the three before it are "VER:".
    bool Feed(char byte);

private:
    QByteArray mLastFour;
};

enum class BlockProgress {
    NeedMore, // keep reading
    Complete, // the block ends with a matching "LEN:" line
    Overflow, // 10000 bytes and still no matching "LEN:" line: give up
};

// Collects the block once "VER:" has been seen; it starts out holding those
// four bytes. A "LEN:" line whose count does not match the bytes collected so
// far is an ordinary line of the block, and collecting goes on.
class SettingsBlockCollector {
public:
    SettingsBlockCollector();

    // Appends one byte and tells whether the block is complete. After
    // Complete or Overflow further bytes are not taken.
    BlockProgress Feed(char byte);
    BlockProgress Progress() const { return mProgress; }
    const QByteArray& Block() const { return mBlock; }

private:
    bool EndsWithMatchingLength() const;

    QByteArray mBlock;
    BlockProgress mProgress = BlockProgress::NeedMore;
};

// Both steps over bytes already received, for callers that hold the whole
// stream: finds "VER:" and collects from there. The block is filled when the
// result is Complete; NeedMore also stands for "no VER: found".
struct ScannedBlock {
    BlockProgress Progress = BlockProgress::NeedMore;
    QByteArray Block;
};
ScannedBlock ScanSettingsBlock(const QByteArray& received);
