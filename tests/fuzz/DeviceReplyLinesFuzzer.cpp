// The one-line answers of the dialler outside the settings exchanges: its
// "ver;" reply, which decides whether it counts as connected and which model
// the status bar names, and the output lines of "out," and "sts,out,".
#include "FuzzCheck.h"

#include "device/DiallerVersion.h"
#include "device/OutputControl.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const DiallerVersion version = ParseVersionReply(line);
    if (version.IsComplete()) {
        // Any decimal number is taken, a negative one too; only -1 stands
        // for a field that was not a number.
        FUZZ_CHECK(line.contains('.') && line.contains(", HW "));
        const QString shown = ModelAndVersionText(version);
        FUZZ_CHECK(shown.startsWith(QStringLiteral("ORNEX")));
        if (NeedsFirmwareUpgrade(version)) {
            FUZZ_CHECK(!FirmwareWarningText(version).isEmpty());
        }
        // What the parser read, written back the way the dialler writes it,
        // reads the same.
        const QByteArray canonical = "SW " + QByteArray::number(version.FirmwareMajor) + "." +
                                     QByteArray::number(version.FirmwareMinor) + ", HW " +
                                     QByteArray::number(version.HardwareVariant);
        FUZZ_CHECK(ParseVersionReply(canonical) == version);
    }

    // The output a reply speaks of stands in front of its first colon.
    const int output = ReplyOutputNumber(line);
    if (output != 0) {
        const QByteArray number = line.left(line.indexOf(':'));
        FUZZ_CHECK(number.toInt() == output || number.startsWith('+'));
    }
    return 0;
}
