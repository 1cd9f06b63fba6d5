#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The firmware image written into the dialler. The program carries none of
// its own: an installation puts the maker's image beside the program or
// into the data folders.
struct FirmwareImage {
    static constexpr char FileName[] = "ornex-firmware.bin";

    QString Path;    // where it was found; empty when nowhere
    QByteArray Data; // the whole image, when usable
    QString Problem; // why it cannot be used, as the user is told; empty when it can
};

// Where the image is looked for, in order: beside the program, then
// "ornex/ornex-firmware.bin" in each of the system's data folders
// ($XDG_DATA_HOME, then $XDG_DATA_DIRS on Linux).
QStringList FirmwareImageCandidates();

// Reads the first of `candidates` that exists. An image that is missing,
// unreadable, empty or larger than the dialler's application area is refused
// with the reason.
FirmwareImage LoadFirmwareImage(const QStringList& candidates);
