#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <unistd.h>

// The readers under test take a path, as the program hands them the user's
// files: each input is written to one scratch file, in memory where the
// system offers a RAM disk.
inline QString WriteFuzzFile(const std::uint8_t* data, std::size_t size) {
    static const QString path = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString folder = QDir(shm).exists() ? shm : QDir::tempPath();
        return folder + QStringLiteral("/ornex-fuzz-%1.bin").arg(::getpid());
    }();
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
