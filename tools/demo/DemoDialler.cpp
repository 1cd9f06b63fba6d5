#include "DemoDialler.h"

#include "DemoDeviceSearch.h"
#include "DemoSite.h"
#include "firmware/FirmwareImage.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

namespace {

// Not a firmware, but as varied as one, so that a block written to the
// wrong place shows in the flash.
QByteArray GeneratedImage(int size) {
    QByteArray image(size, '\0');
    quint32 value = 0x2341804D;
    for (int i = 0; i < size; ++i) {
        value = value * 1664525u + 1013904223u;
        image[i] = static_cast<char>(value >> 24);
    }
    return image;
}

} // namespace

DemoDialler::DemoDialler() : mImage(GeneratedImage(ImageSize)) {
    DiallerPtyServer& dialler = mBoard.Dialler();
    dialler.SetFirmwareVersion(3, 25, 2);
    dialler.SetSettings(DemoSite());
    dialler.SetOutput(1, true);
    dialler.SetOutput(2, false);
    mBoard.SetUpgradedVersion(UpgradedMajor, UpgradedMinor);
    OfferImage();
    mBoard.PowerUp();
}

DemoDialler::~DemoDialler() {
    if (mDataDirsWereSet) {
        qputenv("XDG_DATA_DIRS", mDataDirsBefore);
    } else {
        qunsetenv("XDG_DATA_DIRS");
    }
}

void DemoDialler::OfferImage() {
    // The program looks for an installed image in the system's data
    // folders; the demo's own goes first among them.
    const QString folder = mDataFolder.filePath(QStringLiteral("ornex"));
    QFile file(QDir(folder).filePath(QString::fromLatin1(FirmwareImage::FileName)));
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(mImage) != mImage.size()) {
        throw std::runtime_error("cannot write the demo's firmware image");
    }
    mDataDirsWereSet = qEnvironmentVariableIsSet("XDG_DATA_DIRS");
    mDataDirsBefore = qgetenv("XDG_DATA_DIRS");
    // Unset means these two, which must still be searched behind the demo's.
    const QByteArray systemFolders =
        mDataDirsBefore.isEmpty() ? QByteArray("/usr/local/share:/usr/share") : mDataDirsBefore;
    qputenv("XDG_DATA_DIRS", QFile::encodeName(mDataFolder.path()) + ':' + systemFolders);
}

std::unique_ptr<DeviceSearch> DemoDialler::MakeSearch() const {
    return std::make_unique<DemoDeviceSearch>(mBus);
}

QString DemoDialler::PortName() const {
    return DemoUsbBus::PortNameOf(mBoard.DiallerPort());
}
