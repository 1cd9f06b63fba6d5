// The dialler's answer to "dnld all;": finding and collecting the block, then
// splitting it and applying every kind of record line. Whatever the dialler
// sends, the settings that reach the window stay within their limits, can be
// saved to a file and read back unchanged, and the contact list stays compact.
#include "FuzzCheck.h"

#include "settings/DownloadExchange.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsBlockCollector.h"
#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>

namespace {

void CheckWithinLimits(const DiallerSettings& settings) {
    FUZZ_CHECK(IsValidPin(settings.AdminPin));
    FUZZ_CHECK(IsValidPin(settings.UserPin));
    for (const InputSettings& input : settings.Inputs) {
        FUZZ_CHECK(IsAttemptsInRange(input.DiallingAttempts));
        FUZZ_CHECK(input.SmsMessage.size() <= SettingsLimits::SmsMessageMaxLength);
        FUZZ_CHECK(!input.SmsMessage.contains(QLatin1Char('"')));
        FUZZ_CHECK(HasOnlyStorableCharacters(input.SmsMessage));
        FUZZ_CHECK(input.SmsMessage == TrimBlanks(input.SmsMessage));
    }
    bool freeSeen = false;
    for (const ContactEntry& contact : settings.Contacts) {
        FUZZ_CHECK(IsValidPhoneNumber(contact.PhoneNumber));
        FUZZ_CHECK(!(freeSeen && !contact.IsFree())); // compacted
        freeSeen = freeSeen || contact.IsFree();
    }
}

void CheckFileRoundTrip(const DiallerSettings& settings) {
    QStringList cut;
    const QByteArray file = EncodeSettingsFile(settings, &cut);
    FUZZ_CHECK(cut.isEmpty());
    FUZZ_CHECK(file.size() == SettingsFileFormat::FileSize);
    DiallerSettings read;
    FUZZ_CHECK(DecodeSettingsFile(file, read).Ok());
    // Only the dialler reports a missing voice message; files do not keep it.
    DiallerSettings expected = settings;
    for (InputSettings& input : expected.Inputs) {
        input.VoiceMessageMissing = false;
    }
    FUZZ_CHECK(read == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const ScannedBlock scanned = ScanSettingsBlock(received);
    if (scanned.Progress == BlockProgress::Complete) {
        const QByteArray& block = scanned.Block;
        FUZZ_CHECK(block.size() >= SettingsBlockLimits::MinBlockBytes);
        FUZZ_CHECK(block.size() <= SettingsBlockLimits::MaxBlockBytes);
        FUZZ_CHECK(block.startsWith("VER:") && block.endsWith('\r'));
        FUZZ_CHECK(block.mid(block.size() - 9, 4) == "LEN:");
        FUZZ_CHECK(block.mid(block.size() - 5, 4).toInt() == block.size());
        FUZZ_CHECK(received.contains(block));
    }

    // The record lines are applied whatever the block around them held, so
    // the appliers see every line the fuzzer makes, complete block or not.
    const SettingsReply reply =
        SplitSettingsBlock(scanned.Progress == BlockProgress::Complete ? scanned.Block : received);
    const DiallerSettings defaults;
    const AppliedSettings all = ApplyAllLines(reply, defaults);
    CheckWithinLimits(all.Settings);
    CheckFileRoundTrip(all.Settings);
    CheckWithinLimits(ApplyInputLines(reply, defaults).Settings);
    CheckWithinLimits(ApplyContactLines(reply, defaults).Settings);
    CheckWithinLimits(ApplyPinLine(reply, defaults).Settings);
    // A page's Get applies part of the same reply: its result must agree.
    FUZZ_CHECK(ApplyPinLine(reply, defaults).Settings.AdminPin == all.Settings.AdminPin);
    (void)DownloadProblemsText(all.Problems);
    return 0;
}
