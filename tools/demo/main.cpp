// The program as installers use it, connected to a simulated dialler instead
// of one on USB: for trying it out without a device on the desk.

#include "DemoDialler.h"
#include "app/CommandLine.h"
#include "app/OrnexApplication.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutDisplay(argc, argv)) {
        return *status;
    }
    OrnexApplication app(argc, argv);
    const CommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (commandLine.ExitStatus) {
        return PrintCommandLineAnswer(commandLine);
    }
    std::unique_ptr<DemoDialler> dialler;
    return OrnexApplication::RunMainWindow(
        [&dialler] {
            dialler = std::make_unique<DemoDialler>();
            std::printf("ORNEX demo: the dialler is simulated on %s (port %s).\n",
                        qPrintable(dialler->PortPath()), qPrintable(dialler->PortName()));
            std::fflush(stdout);
            return dialler->MakeSearch();
        },
        commandLine.Options.ServiceMode);
}
