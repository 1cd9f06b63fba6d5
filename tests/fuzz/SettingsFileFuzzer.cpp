// Opening a settings file of any bytes and any length: the reader either
// refuses it or hands over settings whose texts fit their fields, and what
// it hands over saves and reads back the same.
#include "FuzzCheck.h"
#include "FuzzFile.h"

#include "settings/SettingsFile.h"
#include "settings/UploadCommands.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    DiallerSettings decoded;
    const SettingsFileResult result = DecodeSettingsFile(bytes, decoded);
    if (size < std::size_t(SettingsFileFormat::FileSize)) {
        FUZZ_CHECK(!result.Ok());
    }
    if (!result.Ok()) {
        FUZZ_CHECK(decoded == DiallerSettings());
        FUZZ_CHECK(!SettingsFileErrorText(result).isEmpty());
    } else {
        FUZZ_CHECK(decoded.AdminPin.size() <= SettingsLimits::PinMaxLength);
        FUZZ_CHECK(decoded.UserPin.size() <= SettingsLimits::PinMaxLength);
        for (const InputSettings& input : decoded.Inputs) {
            FUZZ_CHECK(input.SmsMessage.size() <= SettingsLimits::SmsMessageMaxLength);
            FUZZ_CHECK(input.DiallingAttempts >= 0 && input.DiallingAttempts <= 255);
        }
        for (const ContactEntry& contact : decoded.Contacts) {
            FUZZ_CHECK(contact.PhoneNumber.size() <= SettingsLimits::PhoneNumberMaxLength);
        }
        // Saved again, a file reads back as it was read: only attempts above
        // 99 are held to 99.
        DiallerSettings again;
        FUZZ_CHECK(DecodeSettingsFile(EncodeSettingsFile(decoded), again).Ok());
        for (InputSettings& input : decoded.Inputs) {
            input.DiallingAttempts = std::min(input.DiallingAttempts, SettingsLimits::AttemptsMax);
        }
        FUZZ_CHECK(again == decoded);
        // A file may hold what the dialler cannot take; the upload must
        // name it rather than send it.
        (void)FindUploadProblem(decoded, UploadScope::All);
    }

    // The reader the Open command uses, on the same bytes as a file.
    DiallerSettings opened;
    const SettingsFileResult read = ReadSettingsFile(WriteFuzzFile(data, size), opened);
    FUZZ_CHECK(read.Status == result.Status);
    if (read.Ok()) {
        for (const InputSettings& input : opened.Inputs) {
            FUZZ_CHECK(IsAttemptsInRange(input.DiallingAttempts));
            FUZZ_CHECK(input.SmsMessage == TrimBlanks(input.SmsMessage));
        }
    }
    return 0;
}
