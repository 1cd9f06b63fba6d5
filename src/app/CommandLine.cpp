#include "app/CommandLine.h"

#include "platform/DeviceSearch.h"
#include "platform/ProgramVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

CommandLine ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ORNEX dialler configuration"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Service mode: shows the Voice Messages page and the firmware Reflash "
                       "button."));
    parser.addOption(service);
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Uses this serial port (COM5, ttyACM0) instead of looking for the dialler "
                       "by its USB identity."),
        QStringLiteral("name"));
    parser.addOption(port);

    CommandLine result;
    const QString program =
        arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).completeBaseName();
    const auto refuse = [&](const QString& error) {
        result.ExitStatus = 2;
        result.Error =
            QStringLiteral("%1: %2\nTry '%1 --help' for the options.\n").arg(program, error);
    };
    if (!parser.parse(arguments)) {
        refuse(parser.errorText());
        return result;
    }
    result.Options.ServiceMode = parser.isSet(service);
    result.Options.PortName = parser.value(port).trimmed();
    if (parser.isSet(port) && result.Options.PortName.isEmpty()) {
        refuse(QStringLiteral("The port's name is empty."));
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // --help-all would add the toolkit's own options, which are read before
        // this program sees its command line; its own are the same list.
        result.ExitStatus = 0;
        result.Output = parser.helpText();
    } else if (parser.isSet(version)) {
        result.ExitStatus = 0;
        result.Output =
            QStringLiteral("%1 %2\n").arg(program, QLatin1String(ProgramVersion::ProjectVersion));
    } else if (!parser.positionalArguments().isEmpty()) {
        refuse(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    return result;
}

std::unique_ptr<DeviceSearch> CreateDeviceSearch(const CommandLineOptions& options) {
    if (!options.PortName.isEmpty()) {
        return std::make_unique<FixedPortSearch>(options.PortName);
    }
    return CreateSystemDeviceSearch();
}

int PrintCommandLineAnswer(const CommandLine& commandLine) {
    std::fputs(qPrintable(commandLine.Output), stdout);
    std::fputs(qPrintable(commandLine.Error), stderr);
    std::fflush(stdout);
    return commandLine.ExitStatus.value_or(0);
}

std::optional<int> AnswerWithoutDisplay(int argc, char** argv) {
    const QCoreApplication console(argc, argv);
    const CommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (commandLine.ExitStatus != 0) {
        return std::nullopt;
    }
    return PrintCommandLineAnswer(commandLine);
}
