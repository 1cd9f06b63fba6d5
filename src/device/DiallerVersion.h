#pragma once

#include <QByteArray>
#include <QString>

// The dialler's answer to "ver;": its firmware version and which model it is.
// A field that was not a number holds -1.
struct DiallerVersion {
    int FirmwareMajor = 0;
    int FirmwareMinor = 0;
    int HardwareVariant = 0;

    // All three fields were read; only then does the dialler count as connected.
    bool IsComplete() const {
        return FirmwareMajor != -1 && FirmwareMinor != -1 && HardwareVariant != -1;
    }
    // Versions compare as two numbers: 3.9 is older than 3.14.
    bool IsOlderThan(int major, int minor) const {
        return FirmwareMajor < major || (FirmwareMajor == major && FirmwareMinor < minor);
    }
    bool operator==(const DiallerVersion&) const = default;
};

// Firmware older than this is reported at every connection; the warning only
// informs, the dialler is used all the same.
constexpr int RequiredFirmwareMajor = 3;
constexpr int RequiredFirmwareMinor = 14;

// Reads a version reply such as "SW 3.14, HW 1" (given without its final
// carriage return). Whatever comes before "SW " is ignored.
DiallerVersion ParseVersionReply(const QByteArray& line);

// "-3G" for variant 1, "-4G" for variant 2, nothing for any other.
QString ModelSuffix(int hardwareVariant);
// The model and firmware as the status bar shows them, e.g. "ORNEX-4G v3.9".
QString ModelAndVersionText(const DiallerVersion& version);

bool NeedsFirmwareUpgrade(const DiallerVersion& version);
inline const QString FirmwareWarningTitle = QStringLiteral("ORNEX firmware");
// Names the attached firmware and the version required, without a full stop.
QString FirmwareWarningText(const DiallerVersion& version);
