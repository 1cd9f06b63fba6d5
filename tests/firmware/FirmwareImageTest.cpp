#include "firmware/FirmwareImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qsizetype ApplicationArea = 256 * 1024 - 8 * 1024;

class FirmwareImageFiles : public ::testing::Test {
protected:
    QString Place(const QString& folder, const QByteArray& contents) {
        const QString path = QDir(mRoot.filePath(folder)).filePath("ornex-firmware.bin");
        EXPECT_TRUE(QDir().mkpath(mRoot.filePath(folder)));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QString Path(const QString& folder) const {
        return QDir(mRoot.filePath(folder)).filePath("ornex-firmware.bin");
    }

    QTemporaryDir mRoot;
};

TEST_F(FirmwareImageFiles, TheFirstPlaceThatHasOneWins) {
    const QString data = Place("data/ornex", QByteArray(100, 'd'));
    const FirmwareImage found = LoadFirmwareImage({Path("program"), data});
    EXPECT_EQ(found.Problem, QString());
    EXPECT_EQ(found.Path, data);
    EXPECT_EQ(found.Data, QByteArray(100, 'd'));

    const QString beside = Place("program", QByteArray(ApplicationArea, 'p'));
    const FirmwareImage first = LoadFirmwareImage({beside, data});
    EXPECT_EQ(first.Problem, QString());
    EXPECT_EQ(first.Data, QByteArray(ApplicationArea, 'p'));
}

// Refused before anything is sent, naming the file and the reason.
TEST_F(FirmwareImageFiles, AnUnusableImageIsRefusedWithItsReason) {
    struct Case {
        const char* what;
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", Place("empty", QByteArray()), "is empty"},
        {"too large", Place("large", QByteArray(ApplicationArea + 1, 'x')),
         "is larger than the 253952 bytes the ORNEX has room for"},
        {"a folder",
         [this] {
             QDir().mkpath(Path("folder"));
             return Path("folder");
         }(),
         "cannot be read: it is a folder"},
    };
    for (const Case& c : cases) {
        const FirmwareImage image = LoadFirmwareImage({c.path});
        EXPECT_TRUE(image.Data.isEmpty()) << c.what;
        EXPECT_TRUE(image.Problem.contains(QDir::toNativeSeparators(c.path))) << c.what;
        EXPECT_TRUE(image.Problem.contains(QLatin1String(c.reason)))
            << c.what << ": " << image.Problem.toStdString();
        EXPECT_TRUE(image.Problem.endsWith("\r\n\r\nNothing has been sent to the ORNEX."))
            << c.what;
    }

    const FirmwareImage missing = LoadFirmwareImage({Path("a"), Path("b")});
    EXPECT_TRUE(missing.Data.isEmpty());
    EXPECT_EQ(missing.Problem, "The firmware image ornex-firmware.bin was not found. It was "
                               "looked for as:\r\n" +
                                   QDir::toNativeSeparators(Path("a")) + "\r\n" +
                                   QDir::toNativeSeparators(Path("b")) +
                                   "\r\n\r\nNothing has been sent to the ORNEX.");
}

TEST(FirmwareImageCandidates, BesideTheProgramThenInTheDataFolders) {
    QTemporaryDir data;
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QStringList candidates = FirmwareImageCandidates();
    if (wasSet) {
        qputenv("XDG_DATA_HOME", before);
    } else {
        qunsetenv("XDG_DATA_HOME");
    }

    ASSERT_GE(candidates.size(), 2);
    EXPECT_EQ(candidates[0],
              QDir(QCoreApplication::applicationDirPath()).filePath("ornex-firmware.bin"));
    // The data folders are the system's: XDG_DATA_HOME first on Linux,
    // the user's and then the shared application data on Windows.
#ifdef Q_OS_WIN
    const QString firstData =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation).value(0);
#else
    const QString firstData = data.path();
#endif
    EXPECT_EQ(candidates[1], QDir(firstData).filePath("ornex/ornex-firmware.bin"));
}

} // namespace
