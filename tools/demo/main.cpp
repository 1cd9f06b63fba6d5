// The program as installers use it, connected to a simulated dialler instead
// of one on USB: for trying it out without a device on the desk.

#include "DemoDialler.h"
#include "app/CommandLine.h"
#include "app/OrnexApplication.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    OrnexApplication app(argc, argv);
    const CommandLineOptions options = ReadCommandLine(QCoreApplication::arguments());
    std::unique_ptr<DemoDialler> dialler;
    return OrnexApplication::RunMainWindow(
        [&dialler] {
            dialler = std::make_unique<DemoDialler>();
            std::printf("ORNEX demo: the dialler is simulated on %s (port %s).\n",
                        qPrintable(dialler->PortPath()), qPrintable(dialler->PortName()));
            std::fflush(stdout);
            return dialler->MakeSearch();
        },
        options.ServiceMode);
}
