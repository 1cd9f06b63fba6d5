#include "app/CommandLine.h"

#include <QCommandLineParser>

CommandLineOptions ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ORNEX dialler configuration"));
    parser.addHelpOption();
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Service mode: shows the Voice Messages page and the firmware Reflash "
                       "button."));
    parser.addOption(service);
    parser.process(arguments);
    CommandLineOptions options;
    options.ServiceMode = parser.isSet(service);
    return options;
}
