#include "firmware/FirmwareImage.h"

#include "firmware/BootloaderCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString NothingSent = QStringLiteral("\r\n\r\nNothing has been sent to the ORNEX.");

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QStringList FirmwareImageCandidates() {
    const QString name = QString::fromLatin1(FirmwareImage::FileName);
    QStringList candidates{QDir(QCoreApplication::applicationDirPath()).filePath(name)};
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        candidates << QDir(folder).filePath(QStringLiteral("ornex/") + name);
    }
    return candidates;
}

FirmwareImage LoadFirmwareImage(const QStringList& candidates) {
    FirmwareImage image;
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            image.Path = candidate;
            break;
        }
    }
    if (image.Path.isEmpty()) {
        QStringList places;
        for (const QString& candidate : candidates) {
            places << Native(candidate);
        }
        image.Problem = QStringLiteral("The firmware image %1 was not found. It was looked for "
                                       "as:\r\n%2")
                            .arg(QString::fromLatin1(FirmwareImage::FileName),
                                 places.join(QStringLiteral("\r\n"))) +
                        NothingSent;
        return image;
    }

    QFile file(image.Path);
    // A folder of that name opens on some systems and then reads as empty.
    if (!QFileInfo(image.Path).isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString reason =
            QFileInfo(image.Path).isDir() ? QStringLiteral("it is a folder") : file.errorString();
        image.Problem = QStringLiteral("The firmware image %1 cannot be read: %2.")
                            .arg(Native(image.Path), reason) +
                        NothingSent;
        return image;
    }
    // One byte more than fits tells a too large image without reading it all.
    QByteArray data = file.read(qint64(BootloaderMemory::ApplicationAreaSize) + 1);
    if (file.error() != QFileDevice::NoError) {
        image.Problem = QStringLiteral("The firmware image %1 cannot be read: %2.")
                            .arg(Native(image.Path), file.errorString()) +
                        NothingSent;
        return image;
    }
    if (data.isEmpty()) {
        image.Problem =
            QStringLiteral("The firmware image %1 is empty.").arg(Native(image.Path)) + NothingSent;
        return image;
    }
    if (data.size() > qsizetype(BootloaderMemory::ApplicationAreaSize)) {
        image.Problem = QStringLiteral("The firmware image %1 is larger than the %2 bytes the "
                                       "ORNEX has room for.")
                            .arg(Native(image.Path))
                            .arg(BootloaderMemory::ApplicationAreaSize) +
                        NothingSent;
        return image;
    }
    image.Data = std::move(data);
    return image;
}
