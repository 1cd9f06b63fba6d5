#include "settings/DownloadExchange.h"

#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "settings/SettingsBlockCollector.h"

#include <algorithm>

namespace {

bool ReadByte(DeviceTransport& link, char& byte) {
    return link.ReadFromDevice(&byte, 1, SettingsBlockLimits::ByteTimeoutMs) == 1;
}

} // namespace

bool DownloadSettings(DeviceTransport& link, SettingsReply& reply) {
    if (!SendCommand(link, QByteArray(DownloadAllCommand))) {
        return false;
    }
    // Output the dialler had queued before the command, or its prompt, may
    // precede the block: there is no limit to what is skipped, only to the
    // silence between bytes.
    ReplyStartFinder start;
    char byte = 0;
    do {
        if (!ReadByte(link, byte)) {
            return false;
        }
    } while (!start.Feed(byte));

    SettingsBlockCollector collector;
    BlockProgress progress = BlockProgress::NeedMore;
    while (progress == BlockProgress::NeedMore) {
        if (!ReadByte(link, byte)) {
            return false;
        }
        progress = collector.Feed(byte);
    }
    if (progress != BlockProgress::Complete) {
        return false;
    }
    reply = SplitSettingsBlock(collector.Block());
    return true;
}

QString DownloadProblemsText(const QStringList& problems) {
    const QString paragraph = QStringLiteral("\r\n\r\n");
    QString text = QStringLiteral("Some settings from ORNEX could not be taken as they were:");
    const qsizetype listed =
        std::min<qsizetype>(problems.size(), DownloadWarning::ListedProblemsMax);
    for (qsizetype i = 0; i < listed; ++i) {
        text += paragraph + problems.at(i);
    }
    const qsizetype more = problems.size() - listed;
    if (more == 1) {
        text += paragraph + QStringLiteral("There was 1 more such setting.");
    } else if (more > 1) {
        text += paragraph + QStringLiteral("There were %1 more such settings.").arg(more);
    }
    return text + paragraph +
           QStringLiteral("Please check these settings before sending them to ORNEX.");
}
