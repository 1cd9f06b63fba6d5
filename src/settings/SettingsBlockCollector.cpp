#include "settings/SettingsBlockCollector.h"

#include <cstring>

namespace L = SettingsBlockLimits;

bool ReplyStartFinder::Feed(char byte) {
    mLastFour.append(byte);
    if (mLastFour.size() > 4) {
        mLastFour.remove(0, mLastFour.size() - 4);
    }
    return mLastFour == L::StartMarker;
}

SettingsBlockCollector::SettingsBlockCollector() : mBlock(L::StartMarker) {
    mBlock.reserve(L::MaxBlockBytes);
}

BlockProgress SettingsBlockCollector::Feed(char byte) {
    if (mProgress != BlockProgress::NeedMore) {
        return mProgress;
    }
    mBlock.append(byte);
    if (EndsWithMatchingLength()) {
        mProgress = BlockProgress::Complete;
    } else if (mBlock.size() >= L::MaxBlockBytes) {
        mProgress = BlockProgress::Overflow;
    }
    return mProgress;
}

bool SettingsBlockCollector::EndsWithMatchingLength() const {
    const qsizetype n = mBlock.size();
    if (n < L::MinBlockBytes || mBlock.at(n - 1) != '\r') {
        return false;
    }
    const char* lengthLine = mBlock.constData() + n - L::MinBlockBytes;
    if (std::memcmp(lengthLine, L::LengthMarker, 4) != 0) {
        return false;
    }
    // Only four real digits state a length; any other character would give
    // a "count" by accident, so such a line is an ordinary line.
    int stated = 0;
    for (int i = 4; i < 8; ++i) {
        const char c = lengthLine[i];
        if (c < '0' || c > '9') {
            return false;
        }
        stated = stated * 10 + (c - '0');
    }
    return stated == n;
}

ScannedBlock ScanSettingsBlock(const QByteArray& received) {
    ScannedBlock scanned;
    ReplyStartFinder finder;
    qsizetype i = 0;
    bool found = false;
    while (i < received.size() && !found) {
        found = finder.Feed(received.at(i++));
    }
    if (!found) {
        return scanned;
    }
    SettingsBlockCollector collector;
    while (i < received.size() && collector.Progress() == BlockProgress::NeedMore) {
        collector.Feed(received.at(i++));
    }
    scanned.Progress = collector.Progress();
    if (scanned.Progress == BlockProgress::Complete) {
        scanned.Block = collector.Block();
    }
    return scanned;
}
