// The dialler's answers to "mod,inp," and "name,": a line the upload accepts
// must repeat exactly what was sent, and the line a dialler that stored the
// values sends back is always accepted.
#include "FuzzCheck.h"

#include "settings/UploadCommands.h"

#include <QByteArray>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const int input = provider.ConsumeIntegralInRange(1, SettingsLimits::InputCount);
    InputSettings sent;
    sent.NormallyOpen = provider.ConsumeBool();
    sent.Latching = provider.ConsumeBool();
    sent.DiallingAttempts =
        provider.ConsumeIntegralInRange(SettingsLimits::AttemptsMin, SettingsLimits::AttemptsMax);
    const std::string messageBytes =
        provider.ConsumeRandomLengthString(SettingsLimits::SmsMessageMaxLength);
    const QString message =
        QString::fromLatin1(messageBytes.data(), qsizetype(messageBytes.size()));
    const std::string lineBytes = provider.ConsumeRemainingBytesAsString();
    const QByteArray line(lineBytes.data(), qsizetype(lineBytes.size()));

    // An answer for no input of the dialler carries nothing else.
    const auto forAnInput = [](int input) {
        return input >= 1 && input <= SettingsLimits::InputCount;
    };
    const InputEcho inputEcho = ParseInputEcho(line);
    if (!forAnInput(inputEcho.Input)) {
        FUZZ_CHECK((inputEcho == InputEcho{inputEcho.Input, false, false, 0}));
    }
    if (InputEchoMatches(line, input, sent)) {
        FUZZ_CHECK(inputEcho.Input == input);
        FUZZ_CHECK(inputEcho.NormallyOpen == sent.NormallyOpen);
        FUZZ_CHECK(inputEcho.Latching == sent.Latching);
        FUZZ_CHECK(inputEcho.Attempts == sent.DiallingAttempts);
    }
    const QByteArray storedInput = QByteArray::number(input) + ": " +
                                   (sent.NormallyOpen ? "NO" : "NC") + ", " +
                                   (sent.Latching ? "LATCH" : "SLAVE") + ", " +
                                   QByteArray::number(sent.DiallingAttempts) + ", VOICE MESSAGE\r";
    FUZZ_CHECK(InputEchoMatches(storedInput, input, sent));

    const NameEcho nameEcho = ParseNameEcho(line);
    if (!forAnInput(nameEcho.Input)) {
        FUZZ_CHECK(nameEcho.Message.isEmpty());
    }
    if (NameEchoMatches(line, input, message)) {
        FUZZ_CHECK(nameEcho.Input == input);
        FUZZ_CHECK(nameEcho.Message == message.toLatin1());
    }
    // The dialler drops the blanks in front of the message it repeats; the
    // upload never sends a message that starts with one, nor one with a
    // carriage return, which would end the line.
    if ((message.isEmpty() || !IsBlank(message.front())) && !message.contains(QLatin1Char('\r'))) {
        const QByteArray storedName = QByteArray::number(input) + ": " + message.toLatin1() + "\r";
        FUZZ_CHECK(NameEchoMatches(storedName, input, message));
    }
    return 0;
}
