#include "device/DiallerVersion.h"

#include <charconv>

namespace {

// A decimal integer filling the whole text, or -1. Blanks are not skipped:
// the dialler writes the numbers right against their separators.
int ReadNumber(QByteArrayView text) {
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end) {
        return -1;
    }
    return value;
}

} // namespace

DiallerVersion ParseVersionReply(const QByteArray& line) {
    constexpr QByteArrayView SoftwareMarker = "SW ";
    constexpr QByteArrayView HardwareMarker = ", HW ";
    QByteArrayView rest = line;
    DiallerVersion version;

    const qsizetype software = rest.indexOf(SoftwareMarker);
    if (software >= 0) {
        rest = rest.sliced(software + SoftwareMarker.size());
    }

    const qsizetype dot = rest.indexOf('.');
    version.FirmwareMajor = dot >= 0 ? ReadNumber(rest.first(dot)) : -1;
    if (dot >= 0) {
        rest = rest.sliced(dot + 1);
    }

    const qsizetype hardware = rest.indexOf(HardwareMarker);
    version.FirmwareMinor = hardware >= 0 ? ReadNumber(rest.first(hardware)) : -1;
    if (hardware >= 0) {
        rest = rest.sliced(hardware + HardwareMarker.size());
    }

    version.HardwareVariant = ReadNumber(rest);
    return version;
}

QString ModelSuffix(int hardwareVariant) {
    switch (hardwareVariant) {
    case 1:
        return QStringLiteral("-3G");
    case 2:
        return QStringLiteral("-4G");
    default:
        return {};
    }
}

QString ModelAndVersionText(const DiallerVersion& version) {
    return QStringLiteral("ORNEX%1 v%2.%3")
        .arg(ModelSuffix(version.HardwareVariant))
        .arg(version.FirmwareMajor)
        .arg(version.FirmwareMinor);
}

bool NeedsFirmwareUpgrade(const DiallerVersion& version) {
    return version.IsOlderThan(RequiredFirmwareMajor, RequiredFirmwareMinor);
}

QString FirmwareWarningText(const DiallerVersion& version) {
    return QStringLiteral("The firmware in the attached ORNEX (v%1.%2) needs to be upgraded to "
                          "version %3.%4")
        .arg(version.FirmwareMajor)
        .arg(version.FirmwareMinor)
        .arg(RequiredFirmwareMajor)
        .arg(RequiredFirmwareMinor);
}
