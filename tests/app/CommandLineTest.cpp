#include "app/CommandLine.h"
#include "platform/ProgramVersion.h"

#include <gtest/gtest.h>

#include <optional>

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

} // namespace
