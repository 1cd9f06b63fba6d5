#pragma once

#include "settings/SettingsBlock.h"

class DeviceTransport;

// The command that has the dialler send its whole settings block.
inline constexpr char DownloadAllCommand[] = "dnld all;";

// Reads the dialler's settings block: sends "dnld all;", skips whatever comes
// before "VER:" (however much it is), collects the block byte by byte until
// its "LEN:" line states the bytes collected, and splits it into lines. Each
// byte must come within a second. True with `reply` replaced by the block's
// lines; false, with `reply` untouched, when the echo fails, a byte does not
// come in time, or 10000 bytes pass without the block completing. Shows
// nothing; the window's handlers keep the busy flag and cursor around it.
bool DownloadSettings(DeviceTransport& link, SettingsReply& reply);

// What the user is told after a download that met values the settings cannot
// hold (the appliers' Problems): the first few of them, one to a paragraph,
// how many more there were, and a reminder to look before sending back.
namespace DownloadWarning {
inline constexpr int ListedProblemsMax = 8;
} // namespace DownloadWarning
QString DownloadProblemsText(const QStringList& problems);
