#include "app/CommandLine.h"
#include "app/OrnexApplication.h"
#include "platform/DeviceSearch.h"

int main(int argc, char** argv) {
    OrnexApplication app(argc, argv);
    const CommandLineOptions options = ReadCommandLine(QCoreApplication::arguments());
    return OrnexApplication::RunMainWindow(CreateSystemDeviceSearch, options.ServiceMode);
}
