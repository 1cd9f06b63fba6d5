#pragma once

#include "platform/VersionInfoSource.h"

#include <QString>

#include <optional>

// The lines of the About window that come from the version information.
struct AboutTexts {
    QString version;
    QString copyright;
};

// "Version " and the file version, with up to two trailing ".0" parts cut:
// 2.5.0.0 shows as "Version 2.5", 2.5.1.0 as "Version 2.5.1", and 2.5.0.7
// stays whole.
QString VersionText(const QString& fileVersion);

// What the About window shows for `info`. Without any version information
// the design texts stay; without a file version the version line is empty;
// a copyright from the version information replaces the design line.
AboutTexts AboutTextsFrom(const std::optional<VersionInfo>& info);

// The texts the About window is designed with.
AboutTexts DesignAboutTexts();
