#include "app/CommandLine.h"
#include "platform/DeviceSearch.h"
#include "platform/ProgramVersion.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct CommandLineCase {
    QStringList arguments;
    std::optional<int> exitStatus;
    bool serviceMode;
    QStringList inOutput; // texts the standard output must carry
    QStringList inError;  // texts the standard error must carry
};

TEST(CommandLine, OptionsAnswersAndRefusals) {
    const QString version = QStringLiteral("ornex-config %1\n").arg(ProgramVersion::ProjectVersion);
    const std::vector<CommandLineCase> cases = {
        {{"ornex-config"}, std::nullopt, false, {}, {}},
        {{"ornex-config", "--service"}, std::nullopt, true, {}, {}},
        {{"/usr/bin/ornex-config", "--version"}, 0, false, {version}, {}},
        {{"ornex-config", "-v"}, 0, false, {version}, {}},
        {{"ornex-config", "--help"}, 0, false, {"--service", "--version", "--help"}, {}},
        {{"ornex-config", "--service", "-h"}, 0, true, {"Service mode"}, {}},
        {{"ornex-config", "--help-all"}, 0, false, {"--service"}, {}},
        {{"/opt/ornex/ornex-config", "--servce"},
         2,
         false,
         {},
         {"ornex-config: Unknown option 'servce'", "'ornex-config --help'"}},
        {{"ornex-config", "--service=yes"}, 2, false, {}, {"Unexpected value"}},
        {{"ornex-config", "site.ornex"}, 2, false, {}, {"Unexpected argument 'site.ornex'"}},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine result = ReadCommandLine(c.arguments);
        EXPECT_EQ(result.ExitStatus, c.exitStatus);
        EXPECT_EQ(result.Options.ServiceMode, c.serviceMode);
        for (const QString& text : c.inOutput) {
            EXPECT_TRUE(result.Output.contains(text)) << result.Output.toStdString();
        }
        for (const QString& text : c.inError) {
            EXPECT_TRUE(result.Error.contains(text)) << result.Error.toStdString();
        }
        // An answer goes to one stream only: help to the output, refusals to
        // the error stream, and a program that starts prints nothing.
        EXPECT_EQ(result.Output.isEmpty(), c.exitStatus != 0);
        EXPECT_EQ(result.Error.isEmpty(), c.exitStatus != 2);
    }
}

// --port names the dialler's port and takes the search's place: the window
// then opens that port for the dialler whatever the machine reports, and the
// name must be given.
TEST(CommandLine, PortOptionChoosesTheSearch) {
    struct PortCase {
        QStringList arguments;
        std::optional<int> exitStatus;
        QString portName;
        QString inError;
    };
    const std::vector<PortCase> cases = {
        {{"ornex-config"}, std::nullopt, "", ""},
        {{"ornex-config", "--port", "COM5"}, std::nullopt, "COM5", ""},
        {{"ornex-config", "--port=ttyACM1", "--service"}, std::nullopt, "ttyACM1", ""},
        {{"ornex-config", "--port"}, 2, "", "Missing value after '--port'"},
        {{"ornex-config", "--port", " "}, 2, "", "The port's name is empty"},
    };
    for (const PortCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine result = ReadCommandLine(c.arguments);
        EXPECT_EQ(result.ExitStatus, c.exitStatus);
        EXPECT_EQ(result.Options.PortName, c.portName);
        EXPECT_TRUE(result.Error.contains(c.inError)) << result.Error.toStdString();
    }
    EXPECT_TRUE(ReadCommandLine({"ornex-config", "--help"}).Output.contains("--port <name>"));

    const UsbIdentity dialler{0x2341, 0x804d, QStringLiteral("TEMBA ORNEX")};
    const UsbIdentity bootloader{0x2341, 0x004d, QStringLiteral("ORNEX Bootloader")};
    CommandLineOptions options;
    options.PortName = QStringLiteral("COM5");
    const std::unique_ptr<DeviceSearch> fixed = CreateDeviceSearch(options);
    for (const UsbIdentity& identity : {dialler, bootloader}) {
        EXPECT_EQ(fixed->FindDevice(identity), (DeviceSearchResult{QStringLiteral("COM5"), false}));
    }
    EXPECT_EQ(fixed->SerialPortNames(), QStringList{QStringLiteral("COM5")});
    EXPECT_EQ(fixed->PortPath(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
#ifdef Q_OS_WIN
    EXPECT_EQ(fixed->PortPath(QStringLiteral("COM5")), QStringLiteral("COM5"));
#else
    EXPECT_EQ(fixed->PortPath(QStringLiteral("ttyACM0")), QStringLiteral("/dev/ttyACM0"));
#endif
    // Without --port the machine's own search runs, which finds no dialler
    // where none is attached instead of reporting a port.
    EXPECT_EQ(dynamic_cast<FixedPortSearch*>(CreateDeviceSearch({}).get()), nullptr);
}

} // namespace
