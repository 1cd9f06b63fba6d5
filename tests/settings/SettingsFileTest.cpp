#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <sys/resource.h>

namespace F = SettingsFileFormat;

namespace {

// Settings with a value in every kind of field, none of them a default.
DiallerSettings Sample() {
    DiallerSettings s;
    s.AdminPin = "123456";
    s.UserPin = "9876";
    s.Inputs[2].NormallyOpen = false;
    s.Inputs[2].Latching = false;
    s.Inputs[2].DiallingAttempts = 42;
    s.Inputs[2].SmsMessage = "Back door";
    s.Inputs[7].DiallingAttempts = 99;
    s.Inputs[7].SmsMessage = QString(90, 'm');
    s.Contacts[0].PhoneNumber = "+4412345678901*#"; // 16 characters, the most a field holds
    s.Contacts[0].ReportBySms = true;
    s.Contacts[0].ReportsInput[0] = true;
    s.Contacts[49].PhoneNumber = "555";
    s.Contacts[49].ReportByVoice = true;
    s.Contacts[49].ReportsInput[1] = true;
    s.Contacts[49].ReportsInput[7] = true;
    s.Contacts[98].PhoneNumber = "99";
    s.Contacts[98].ReportBySms = true;
    s.Contacts[98].ReportByVoice = true;
    return s;
}

QByteArray Field(const QByteArray& bytes, int offset, int size) {
    return bytes.mid(offset, size);
}

QByteArray Padded(const char* text, int size) {
    QByteArray field(text);
    field.resize(size, '\0');
    return field;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SettingsFileLayout, EveryFieldAtItsOffset) {
    const QByteArray bytes = EncodeSettingsFile(Sample());
    ASSERT_EQ(bytes.size(), 3449);
    EXPECT_EQ(Field(bytes, 0, 6), QByteArray("ORNEX\0", 6));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 6), 1);
    EXPECT_EQ(Field(bytes, 6, 4), QByteArray("\x01\0\0\0", 4));
    EXPECT_EQ(Field(bytes, 10, 7), Padded("123456", 7));
    EXPECT_EQ(Field(bytes, 17, 7), Padded("9876", 7));

    const int input3 = 24 + 2 * 94;
    EXPECT_EQ(Field(bytes, input3, 3), QByteArray("\0\0\x2a", 3));
    EXPECT_EQ(Field(bytes, input3 + 3, 91), Padded("Back door", 91));
    const int input8 = 24 + 7 * 94;
    EXPECT_EQ(Field(bytes, input8, 3), QByteArray("\x01\x01\x63", 3));
    EXPECT_EQ(Field(bytes, input8 + 3, 91), QByteArray(90, 'm') + '\0');
    const int input1 = 24;
    EXPECT_EQ(Field(bytes, input1, 94), QByteArray("\x01\x01\x03", 3) + QByteArray(91, '\0'));

    const int location1 = 776;
    EXPECT_EQ(Field(bytes, location1, 17), QByteArray("+4412345678901*#") + '\0');
    EXPECT_EQ(Field(bytes, location1 + 17, 10), QByteArray("\x01\0\x01\0\0\0\0\0\0\0", 10));
    const int location50 = 776 + 49 * 27;
    EXPECT_EQ(Field(bytes, location50, 17), Padded("555", 17));
    EXPECT_EQ(Field(bytes, location50 + 17, 10), QByteArray("\0\x01\0\x01\0\0\0\0\0\x01", 10));
    const int location99 = 776 + 98 * 27;
    EXPECT_EQ(location99 + 27, 3449);
    EXPECT_EQ(Field(bytes, location99, 27),
              Padded("99", 17) + QByteArray("\x01\x01", 2) + QByteArray(8, '\0'));
    // A free location is all zero.
    EXPECT_EQ(Field(bytes, 776 + 27, 27), QByteArray(27, '\0'));
}

TEST(SettingsFileLayout, ReadBackReproducesEveryFieldWithoutCompacting) {
    DiallerSettings original = Sample();
    original.Inputs[4].VoiceMessageMissing = true; // only the dialler reports it
    DiallerSettings read;
    const SettingsFileResult result = DecodeSettingsFile(EncodeSettingsFile(original), read);
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Version, 1);
    original.Inputs[4].VoiceMessageMissing = false;
    EXPECT_EQ(read, original);
    EXPECT_EQ(read.Contacts[49].PhoneNumber, "555");
    EXPECT_TRUE(read.Contacts[1].IsFree());
}

TEST(SettingsFileLayout, TextsAreLatin1) {
    DiallerSettings s;
    s.Inputs[0].SmsMessage = QString::fromUtf8("Tür offen £");
    const QByteArray bytes = EncodeSettingsFile(s);
    EXPECT_EQ(Field(bytes, 27, 11), QByteArray("T\xfcr offen \xa3"));
    DiallerSettings read;
    ASSERT_TRUE(DecodeSettingsFile(bytes, read).Ok());
    EXPECT_EQ(read.Inputs[0].SmsMessage, s.Inputs[0].SmsMessage);
}

TEST(SettingsFileReading, RefusesBrokenFilesAndKeepsTheSettings) {
    const QByteArray good = EncodeSettingsFile(Sample());
    const DiallerSettings before;

    DiallerSettings settings;
    SettingsFileResult result = DecodeSettingsFile(good.left(3448), settings);
    EXPECT_EQ(result.Status, SettingsFileStatus::TooShort);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(SettingsFileErrorText(result), "Error reading settings from file");

    QByteArray badMagic = good;
    badMagic[5] = 'X';
    result = DecodeSettingsFile(badMagic, settings);
    EXPECT_EQ(result.Status, SettingsFileStatus::BadMagic);
    EXPECT_FALSE(result.Version.has_value());
    EXPECT_EQ(settings, before);
    EXPECT_EQ(SettingsFileErrorText(result), "Error reading settings from file");

    EXPECT_EQ(DecodeSettingsFile(QByteArray(), settings).Status, SettingsFileStatus::TooShort);
    EXPECT_EQ(DecodeSettingsFile(good.left(8), settings).Status, SettingsFileStatus::TooShort);
}

TEST(SettingsFileReading, VersionRule) {
    QByteArray bytes = EncodeSettingsFile(Sample());
    DiallerSettings settings;

    qToLittleEndian<qint32>(2, bytes.data() + 6);
    SettingsFileResult result = DecodeSettingsFile(bytes, settings);
    EXPECT_EQ(result.Status, SettingsFileStatus::NewerVersion);
    EXPECT_EQ(result.Version, 2);
    EXPECT_EQ(settings, DiallerSettings{});
    EXPECT_TRUE(SettingsFileErrorText(result).startsWith(
        "The chosen settings file is from a newer version of the ORNEX "
        "software.\r\n\r\nPlease update your software from "));
    EXPECT_TRUE(SettingsFileErrorText(result).endsWith(
        " in the Downloads -> Auto Diallers -> Temba Diallers section."));

    // A newer file is recognised by its version even when it is shorter.
    EXPECT_EQ(DecodeSettingsFile(bytes.left(10), settings).Status,
              SettingsFileStatus::NewerVersion);

    // The version is signed: 0 and negative versions read like version 1.
    for (qint32 version : {0, -1}) {
        qToLittleEndian<qint32>(version, bytes.data() + 6);
        result = DecodeSettingsFile(bytes, settings);
        EXPECT_TRUE(result.Ok()) << version;
        EXPECT_EQ(result.Version, version);
        EXPECT_EQ(settings, Sample());
    }
}

TEST(SettingsFileReading, AnyNonZeroFlagByteIsSet) {
    QByteArray bytes = EncodeSettingsFile(DiallerSettings{});
    const int input2 = 24 + 94;
    bytes[input2 + 0] = 2;
    bytes[input2 + 1] = 0;
    const int location4 = 776 + 3 * 27;
    bytes.replace(location4, 3, "555");
    bytes[location4 + 17] = 2;
    bytes[location4 + 18] = static_cast<char>(0xFF);
    bytes[location4 + 19 + 5] = 2;
    DiallerSettings read;
    ASSERT_TRUE(DecodeSettingsFile(bytes, read).Ok());
    EXPECT_TRUE(read.Inputs[1].NormallyOpen);
    EXPECT_FALSE(read.Inputs[1].Latching);
    EXPECT_TRUE(read.Contacts[3].ReportBySms);
    EXPECT_TRUE(read.Contacts[3].ReportByVoice);
    EXPECT_TRUE(read.Contacts[3].ReportsInput[5]);
    EXPECT_FALSE(read.Contacts[3].ReportsInput[4]);
}

TEST(SettingsFileReading, TextsStopAtTheirFieldsLastByte) {
    QByteArray bytes = EncodeSettingsFile(DiallerSettings{});
    const auto put = [&bytes](int offset, const QByteArray& data) {
        bytes.replace(offset, data.size(), data);
    };
    put(10, "1234567");                               // Admin PIN without its zero byte
    put(776, QByteArray(17, '5'));                    // number without its zero byte
    put(24 + 3, QByteArray(91, 'a'));                 // message without its zero byte
    put(776 + 27, QByteArrayLiteral("12\0\x39\x39")); // bytes after the zero are ignored
    ASSERT_EQ(bytes.size(), 3449);
    DiallerSettings read;
    ASSERT_TRUE(DecodeSettingsFile(bytes, read).Ok());
    EXPECT_EQ(read.AdminPin, "123456");
    EXPECT_EQ(read.Contacts[0].PhoneNumber, QString(16, '5'));
    EXPECT_EQ(read.Inputs[0].SmsMessage, QString(90, 'a'));
    EXPECT_EQ(read.Contacts[1].PhoneNumber, "12");
}

TEST(SettingsFileReading, OpeningTrimsMessagesAndLimitsAttempts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DiallerSettings stored = Sample();
    stored.Inputs[2].SmsMessage = QString("  Back door\t ");
    QByteArray bytes = EncodeSettingsFile(stored);
    bytes[24 + 5 * 94 + 2] = static_cast<char>(200);
    const QString path = dir.filePath("site.ornex");
    WriteBytes(path, bytes + "trailing bytes are not read");

    // The codec keeps what is stored ...
    DiallerSettings decoded;
    ASSERT_TRUE(DecodeSettingsFile(bytes, decoded).Ok());
    EXPECT_EQ(decoded.Inputs[2].SmsMessage, "  Back door\t ");
    EXPECT_EQ(decoded.Inputs[5].DiallingAttempts, 200);

    // ... and opening the file fits the values to the window.
    DiallerSettings opened;
    opened.Inputs[0].VoiceMessageMissing = true;
    ASSERT_TRUE(ReadSettingsFile(path, opened).Ok());
    EXPECT_EQ(opened.Inputs[2].SmsMessage, "Back door");
    EXPECT_EQ(opened.Inputs[5].DiallingAttempts, 99);
    EXPECT_FALSE(opened.Inputs[0].VoiceMessageMissing);
    EXPECT_EQ(opened.Contacts, Sample().Contacts);
}

TEST(SettingsFileReading, MissingFileCannotBeOpened) {
    QTemporaryDir dir;
    DiallerSettings settings = Sample();
    const SettingsFileResult result = ReadSettingsFile(dir.filePath("none.ornex"), settings);
    EXPECT_EQ(result.Status, SettingsFileStatus::OpenForReadingFailed);
    EXPECT_EQ(SettingsFileErrorText(result), "Error opening file for reading");
    EXPECT_EQ(settings, Sample());
}

TEST(SettingsFileWriting, CutsOverlongValuesAndKeepsEveryZeroByte) {
    DiallerSettings s;
    s.AdminPin = "1234567";
    s.Contacts[2].PhoneNumber = "12345678901234567890";
    s.Contacts[2].ReportBySms = true;
    s.Inputs[0].SmsMessage = QString(95, 'x');
    s.Inputs[1].DiallingAttempts = 150;
    s.Inputs[2].DiallingAttempts = -4;
    QStringList cut;
    const QByteArray bytes = EncodeSettingsFile(s, &cut);
    ASSERT_EQ(bytes.size(), 3449);
    EXPECT_EQ(Field(bytes, 10, 7), QByteArray("123456") + '\0');
    EXPECT_EQ(Field(bytes, 17, 7), Padded("8297", 7));
    const int location3 = 776 + 2 * 27;
    EXPECT_EQ(Field(bytes, location3, 18), QByteArray("1234567890123456") + '\0' + '\x01');
    EXPECT_EQ(Field(bytes, 27, 91), QByteArray(90, 'x') + '\0');
    EXPECT_EQ(bytes.at(24 + 94 + 2), 99);
    EXPECT_EQ(bytes.at(24 + 2 * 94 + 2), 0);
    EXPECT_EQ(cut.size(), 5);
    EXPECT_TRUE(cut.join('\n').contains("phone number at location 3"));
}

TEST(SettingsFileWriting, SavesAndReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("site.ornex");
    WriteBytes(path, "an older file, longer than it should be" + QByteArray(4000, '-'));
    ASSERT_TRUE(WriteSettingsFile(path, Sample()).Ok());
    EXPECT_EQ(ReadBytes(path), EncodeSettingsFile(Sample()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"site.ornex"});
}

TEST(SettingsFileWriting, FailedSaveLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("site.ornex");
    ASSERT_TRUE(WriteSettingsFile(path, Sample()).Ok());
    const QByteArray old = ReadBytes(path);

    // A full disk, simulated by a file size limit: the write stops after
    // 1000 bytes. (A read-only folder would not stop a test run as root.)
    struct FileSizeLimit {
        rlimit saved{};
        void (*savedHandler)(int) = nullptr;
        FileSizeLimit() {
            getrlimit(RLIMIT_FSIZE, &saved);
            savedHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limited = saved;
            limited.rlim_cur = 1000;
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        ~FileSizeLimit() {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, savedHandler);
        }
    };
    DiallerSettings changed;
    changed.AdminPin = "5555";
    SettingsFileResult result;
    {
        FileSizeLimit limit;
        result = WriteSettingsFile(path, changed);
    }
    EXPECT_EQ(result.Status, SettingsFileStatus::WriteFailed);
    EXPECT_EQ(SettingsFileErrorText(result), "Error writing to settings file");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"site.ornex"});
}

TEST(SettingsFileWriting, FolderThatDoesNotExist) {
    QTemporaryDir dir;
    const SettingsFileResult result =
        WriteSettingsFile(dir.filePath("gone/site.ornex"), DiallerSettings{});
    EXPECT_EQ(result.Status, SettingsFileStatus::OpenForWritingFailed);
    EXPECT_EQ(SettingsFileErrorText(result), "Error opening file for writing");
}

// Runs `work` on a thread of its own that has given up the right to ignore
// file permissions, so that a test run as root meets them like a user.
static void RunWithFilePermissions(const std::function<void()>& work) {
    std::thread thread([&work] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
        work();
    });
    thread.join();
}

TEST(SettingsFileWriting, FolderClosedToNewFilesButFileWritableIsWrittenInPlace) {
    QTemporaryDir dir;
    const QString path = dir.filePath("site.ornex");
    WriteSettingsFile(path, DiallerSettings{});
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    DiallerSettings changed;
    changed.AdminPin = "5555";
    SettingsFileResult result;
    RunWithFilePermissions([&] { result = WriteSettingsFile(path, changed); });
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(result.Ok()) << SettingsFileErrorText(result).toStdString();
    EXPECT_EQ(ReadBytes(path), EncodeSettingsFile(changed));
}

TEST(SettingsFileWriting, TextBeyondEightBitsIsRefusedNotChanged) {
    const struct {
        const char* what;
        std::function<void(DiallerSettings&)> change;
        const char* shown;
    } cases[] = {
        {"SMS message of input 3",
         [](DiallerSettings& s) { s.Inputs[2].SmsMessage = "Door \u20ac"; }, "\u20ac"},
        {"phone number at location 7",
         [](DiallerSettings& s) { s.Contacts[6].PhoneNumber = "12\u0663"; }, "\u0663"},
        {"Admin PIN", [](DiallerSettings& s) { s.AdminPin = "12\U0001F600"; }, "\U0001F600"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("site.ornex");
        DiallerSettings settings;
        settings.Inputs[0].SmsMessage = "Caf\u00e9"; // Latin-1 is kept
        c.change(settings);
        const SettingsFileResult result = WriteSettingsFile(path, settings);
        EXPECT_EQ(result.Status, SettingsFileStatus::UnstorableText) << c.what;
        EXPECT_TRUE(SettingsFileErrorText(result).contains(QString::fromUtf8(c.what))) << c.what;
        EXPECT_TRUE(SettingsFileErrorText(result).contains(QString::fromUtf8(c.shown))) << c.what;
        EXPECT_FALSE(QFile::exists(path)) << c.what;
    }
}

TEST(SettingsFileSaveAs, AppendsTheExtensionUnlessTheNameHoldsIt) {
    EXPECT_EQ(SettingsFilePathWithExtension("/home/u/site"), "/home/u/site.ornex");
    EXPECT_EQ(SettingsFilePathWithExtension("/home/u/site.ornex"), "/home/u/site.ornex");
    EXPECT_EQ(SettingsFilePathWithExtension("/home/u/site.ORNEX"), "/home/u/site.ORNEX.ornex");
    EXPECT_EQ(SettingsFilePathWithExtension("/home/u/old.ornex.bak"), "/home/u/old.ornex.bak");
    // Only the name counts, not the folder.
    EXPECT_EQ(SettingsFilePathWithExtension("/home/x.ornex/site"), "/home/x.ornex/site.ornex");
}
