// A simulated ORNEX dialler on a pseudo-terminal. Prints the port to open,
// answers like the dialler until interrupted, and logs every command it
// receives on the standard error.
//
//     ornex-dialler-sim [--firmware 3.14] [--variant 1] [--prompt] [--baud 256000] [--site]

#include "DemoSite.h"
#include "DiallerPtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated ORNEX dialler"));
    parser.addHelpOption();
    const QCommandLineOption firmware(QStringLiteral("firmware"),
                                      QStringLiteral("Firmware version major.minor."),
                                      QStringLiteral("version"), QStringLiteral("3.25"));
    const QCommandLineOption variant(QStringLiteral("variant"),
                                     QStringLiteral("Hardware variant (1 -3G, 2 -4G)."),
                                     QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption prompt(QStringLiteral("prompt"),
                                    QStringLiteral("Put \">\" ahead of every echo."));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Carry bytes no faster than this baud rate."),
                                  QStringLiteral("rate"), QStringLiteral("0"));
    const QCommandLineOption site(
        QStringLiteral("site"),
        QStringLiteral(
            "Start with the demonstration's settings (a dozen contacts, named inputs)."));
    parser.addOptions({firmware, variant, prompt, baud, site});
    parser.process(app);

    // Signals are taken by sigwait below; the simulator's thread must not
    // receive them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    DiallerPtyServer dialler;
    const QStringList version = parser.value(firmware).split(QLatin1Char('.'));
    dialler.SetFirmwareVersion(version.value(0).toInt(), version.value(1).toInt(),
                               parser.value(variant).toInt());
    if (parser.isSet(site)) {
        dialler.SetSettings(DemoSite());
    }
    DiallerLineBehaviour behaviour;
    behaviour.PromptBeforeEcho = parser.isSet(prompt);
    behaviour.PacingBaud = parser.value(baud).toInt();
    dialler.SetBehaviour(behaviour);
    dialler.SetCommandObserver(
        [](const QByteArray& command) { std::fprintf(stderr, "< %s\n", command.constData()); });

    std::printf("%s\n", qPrintable(dialler.PortName()));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
}
