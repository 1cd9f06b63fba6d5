#include "settings/SettingsFile.h"

#include "platform/ProductInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace F = SettingsFileFormat;

static_assert(F::FileSize == 3449);

namespace {

QString ReadText(const QByteArray& bytes, int offset, int fieldSize) {
    const char* field = bytes.constData() + offset;
    const int limit = fieldSize - 1;
    int length = 0;
    while (length < limit && field[length] != '\0') {
        ++length;
    }
    return QString::fromLatin1(field, length);
}

bool ReadFlag(const QByteArray& bytes, int offset) {
    return bytes.at(offset) != '\0';
}

void WriteText(QByteArray& bytes, int offset, int fieldSize, const QString& text,
               const QString& what, QStringList* cutFields) {
    QByteArray encoded = text.toLatin1();
    const int limit = fieldSize - 1;
    if (encoded.size() > limit) {
        encoded.truncate(limit);
        if (cutFields != nullptr) {
            cutFields->append(
                QStringLiteral("The %1 was cut to %2 characters.").arg(what).arg(limit));
        }
    }
    // The rest of the field, its zero byte included, stays as the zero fill.
    std::memcpy(bytes.data() + offset, encoded.constData(), encoded.size());
}

void WriteFlag(QByteArray& bytes, int offset, bool set) {
    bytes[offset] = set ? 1 : 0;
}

} // namespace

QString SettingsFileErrorText(const SettingsFileResult& result) {
    switch (result.Status) {
    case SettingsFileStatus::Ok:
        return {};
    case SettingsFileStatus::OpenForReadingFailed:
        return QStringLiteral("Error opening file for reading");
    case SettingsFileStatus::TooShort:
    case SettingsFileStatus::BadMagic:
    case SettingsFileStatus::ReadFailed:
        return QStringLiteral("Error reading settings from file");
    case SettingsFileStatus::NewerVersion:
        return QStringLiteral("The chosen settings file is from a newer version of the ORNEX "
                              "software.\r\n\r\nPlease update your software from ") +
               QLatin1String(ProductInfo::WebHost) +
               QStringLiteral(" in the Downloads -> Auto Diallers -> Temba Diallers section.");
    case SettingsFileStatus::OpenForWritingFailed:
        return QStringLiteral("Error opening file for writing");
    case SettingsFileStatus::WriteFailed:
        return QStringLiteral("Error writing to settings file");
    case SettingsFileStatus::UnstorableText:
        return result.Problem;
    }
    return {};
}

QString SettingsFileSaveErrorText(const SettingsFileResult& result, const QString& path) {
    QString text = SettingsFileErrorText(result);
    if (result.Status == SettingsFileStatus::OpenForWritingFailed ||
        result.Status == SettingsFileStatus::WriteFailed) {
        text += QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(path);
        if (!result.Reason.isEmpty()) {
            text += QStringLiteral(": ") + result.Reason;
        }
    }
    return text;
}

std::optional<QString> FindUnstorableText(const DiallerSettings& settings) {
    const auto problem = [](const QString& text, const QString& what) -> std::optional<QString> {
        const auto bad =
            std::find_if(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
        if (bad == text.cend()) {
            return std::nullopt;
        }
        // A character beyond 16 bits is shown whole, not as half of its pair.
        const qsizetype at = bad - text.cbegin();
        const QString shown = text.mid(at, bad->isHighSurrogate() ? 2 : 1);
        return QStringLiteral("The %1 contains the character \"%2\", which a settings file "
                              "cannot hold.\r\n\r\nPlease change it before saving.")
            .arg(what, shown);
    };
    std::optional<QString> found = problem(settings.AdminPin, QStringLiteral("Admin PIN"));
    if (!found) {
        found = problem(settings.UserPin, QStringLiteral("User PIN"));
    }
    for (int n = 1; !found && n <= SettingsLimits::InputCount; ++n) {
        found = problem(settings.Inputs[n - 1].SmsMessage,
                        QStringLiteral("SMS message of input %1").arg(n));
    }
    for (int location = 1; !found && location <= SettingsLimits::ContactCount; ++location) {
        found = problem(settings.Contacts[location - 1].PhoneNumber,
                        QStringLiteral("phone number at location %1").arg(location));
    }
    return found;
}

SettingsFileResult DecodeSettingsFile(const QByteArray& bytes, DiallerSettings& settings) {
    SettingsFileResult result;
    // The checks follow the order of the fields, so a short file that is not
    // a settings file at all is reported as such, and a file from a newer
    // program is recognised by its version even when its length has changed.
    if (bytes.size() < F::MagicSize) {
        result.Status = SettingsFileStatus::TooShort;
        return result;
    }
    if (std::memcmp(bytes.constData(), F::Magic, F::MagicSize) != 0) {
        result.Status = SettingsFileStatus::BadMagic;
        return result;
    }
    if (bytes.size() < F::VersionOffset + 4) {
        result.Status = SettingsFileStatus::TooShort;
        return result;
    }
    result.Version = qFromLittleEndian<qint32>(bytes.constData() + F::VersionOffset);
    if (*result.Version > F::CurrentVersion) {
        result.Status = SettingsFileStatus::NewerVersion;
        return result;
    }
    if (bytes.size() < F::FileSize) {
        result.Status = SettingsFileStatus::TooShort;
        return result;
    }

    DiallerSettings read;
    read.AdminPin = ReadText(bytes, F::AdminPinOffset, F::PinFieldSize);
    read.UserPin = ReadText(bytes, F::UserPinOffset, F::PinFieldSize);
    for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
        const int base = F::InputRecordOffset(n);
        InputSettings& input = read.Inputs[n - 1];
        input.NormallyOpen = ReadFlag(bytes, base + F::InputNormallyOpen);
        input.Latching = ReadFlag(bytes, base + F::InputLatching);
        input.DiallingAttempts = static_cast<unsigned char>(bytes.at(base + F::InputAttempts));
        input.SmsMessage = ReadText(bytes, base + F::InputMessage, F::MessageFieldSize);
    }
    for (int location = 1; location <= SettingsLimits::ContactCount; ++location) {
        const int base = F::ContactRecordOffset(location);
        ContactEntry& contact = read.Contacts[location - 1];
        contact.PhoneNumber = ReadText(bytes, base + F::ContactNumber, F::NumberFieldSize);
        contact.ReportBySms = ReadFlag(bytes, base + F::ContactSms);
        contact.ReportByVoice = ReadFlag(bytes, base + F::ContactVoice);
        for (int n = 0; n < SettingsLimits::InputCount; ++n) {
            contact.ReportsInput[n] = ReadFlag(bytes, base + F::ContactInputs + n);
        }
    }
    settings = read;
    return result;
}

QByteArray EncodeSettingsFile(const DiallerSettings& settings, QStringList* cutFields) {
    QByteArray bytes(F::FileSize, '\0');
    std::memcpy(bytes.data(), F::Magic, F::MagicSize);
    qToLittleEndian<qint32>(F::CurrentVersion, bytes.data() + F::VersionOffset);
    WriteText(bytes, F::AdminPinOffset, F::PinFieldSize, settings.AdminPin,
              QStringLiteral("Admin PIN"), cutFields);
    WriteText(bytes, F::UserPinOffset, F::PinFieldSize, settings.UserPin,
              QStringLiteral("User PIN"), cutFields);

    for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
        const int base = F::InputRecordOffset(n);
        const InputSettings& input = settings.Inputs[n - 1];
        WriteFlag(bytes, base + F::InputNormallyOpen, input.NormallyOpen);
        WriteFlag(bytes, base + F::InputLatching, input.Latching);
        const int attempts = std::clamp(input.DiallingAttempts, SettingsLimits::AttemptsMin,
                                        SettingsLimits::AttemptsMax);
        if (attempts != input.DiallingAttempts && cutFields != nullptr) {
            cutFields->append(QStringLiteral("The dialling attempts of input %1 were stored as %2.")
                                  .arg(n)
                                  .arg(attempts));
        }
        bytes[base + F::InputAttempts] = static_cast<char>(attempts);
        WriteText(bytes, base + F::InputMessage, F::MessageFieldSize, input.SmsMessage,
                  QStringLiteral("SMS message of input %1").arg(n), cutFields);
    }

    for (int location = 1; location <= SettingsLimits::ContactCount; ++location) {
        const int base = F::ContactRecordOffset(location);
        const ContactEntry& contact = settings.Contacts[location - 1];
        WriteText(bytes, base + F::ContactNumber, F::NumberFieldSize, contact.PhoneNumber,
                  QStringLiteral("phone number at location %1").arg(location), cutFields);
        WriteFlag(bytes, base + F::ContactSms, contact.ReportBySms);
        WriteFlag(bytes, base + F::ContactVoice, contact.ReportByVoice);
        for (int n = 0; n < SettingsLimits::InputCount; ++n) {
            WriteFlag(bytes, base + F::ContactInputs + n, contact.ReportsInput[n]);
        }
    }
    return bytes;
}

SettingsFileResult ReadSettingsFile(const QString& path, DiallerSettings& settings) {
    SettingsFileResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Status = SettingsFileStatus::OpenForReadingFailed;
        return result;
    }
    const QByteArray bytes = file.read(F::FileSize);
    if (file.error() != QFileDevice::NoError) {
        result.Status = SettingsFileStatus::ReadFailed;
        return result;
    }
    DiallerSettings read;
    result = DecodeSettingsFile(bytes, read);
    if (!result.Ok()) {
        return result;
    }
    // The message fields drop surrounding blanks, as when the user leaves
    // them, and the attempts spinner goes no higher than 99.
    for (InputSettings& input : read.Inputs) {
        input.SmsMessage = TrimBlanks(input.SmsMessage);
        input.DiallingAttempts = std::min(input.DiallingAttempts, SettingsLimits::AttemptsMax);
    }
    settings = read;
    return result;
}

SettingsFileResult WriteSettingsFile(const QString& path, const DiallerSettings& settings,
                                     QStringList* cutFields) {
    SettingsFileResult result;
    if (std::optional<QString> problem = FindUnstorableText(settings)) {
        result.Status = SettingsFileStatus::UnstorableText;
        result.Problem = *problem;
        return result;
    }
    const QByteArray bytes = EncodeSettingsFile(settings, cutFields);
    // Writing straight into the existing file would truncate it first, and a
    // write that fails half way (full disk, removed stick) would leave the
    // site's previous settings destroyed. QSaveFile writes beside it and
    // renames over it only after everything was written and flushed.
    // Unbuffered, so that write() reports what reached the file: a write cut
    // short (by a full disk, say) sets no error of its own, and a buffered
    // QSaveFile would commit the truncated file over the good one.
    QSaveFile file(path);
    // A folder may let the user change the file without letting anyone
    // create files beside it; then the old file cannot be kept safe, but it
    // can still be saved.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.Status = SettingsFileStatus::OpenForWritingFailed;
        result.Reason = file.errorString();
        return result;
    }
    // A write the system cuts short without an error (a file size limit)
    // leaves errno as the system set it.
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        result.Status = SettingsFileStatus::WriteFailed;
        result.Reason = file.error() != QFileDevice::NoError ? file.errorString()
                        : errno != 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                     : QStringLiteral("the disk took only %1 of %2 bytes")
                                           .arg(std::max<qint64>(written, 0))
                                           .arg(bytes.size());
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.Status = SettingsFileStatus::WriteFailed;
        result.Reason = file.errorString();
        return result;
    }
    return result;
}

QString SettingsFilePathWithExtension(const QString& chosenPath) {
    if (QFileInfo(chosenPath).fileName().contains(F::Extension, Qt::CaseSensitive)) {
        return chosenPath;
    }
    return chosenPath + F::Extension;
}
