#include "app/CommandLine.h"

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
