#include "settings/SettingsBlockCollector.h"

#include <cstring>

namespace L = SettingsBlockLimits;

bool ReplyStartFinder::Feed(char byte) {
    m_lastFour.append(byte);
    if (m_lastFour.size() > 4) {
        m_lastFour.remove(0, m_lastFour.size() - 4);
    }
    return m_lastFour == L::StartMarker;
}

SettingsBlockCollector::SettingsBlockCollector() : m_block(L::StartMarker) {
    m_block.reserve(L::MaxBlockBytes);
}

BlockProgress SettingsBlockCollector::Feed(char byte) {
    if (m_progress != BlockProgress::NeedMore) {
        return m_progress;
    }
    m_block.append(byte);
    if (EndsWithMatchingLength()) {
        m_progress = BlockProgress::Complete;
    } else if (m_block.size() >= L::MaxBlockBytes) {
        m_progress = BlockProgress::Overflow;
    }
    return m_progress;
}

bool SettingsBlockCollector::EndsWithMatchingLength() const {
    const qsizetype n = m_block.size();
    if (n < L::MinBlockBytes || m_block.at(n - 1) != '\r') {
        return false;
    }
    const char* lengthLine = m_block.constData() + n - L::MinBlockBytes;
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
