#include "app/CommandLine.h"
#include "app/OrnexApplication.h"
#include "platform/DeviceSearch.h"

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutDisplay(argc, argv)) {
        return *status;
    }
    OrnexApplication app(argc, argv);
    const CommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (commandLine.ExitStatus) {
        return PrintCommandLineAnswer(commandLine);
    }
    const CommandLineOptions& options = commandLine.Options;
    return OrnexApplication::RunMainWindow([&options] { return CreateDeviceSearch(options); },
                                           options.ServiceMode);
}
