#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class DeviceSearch;

// What the program's command line asks for.
struct CommandLineOptions {
    // Service staff see the Voice Messages page and the Reflash button,
    // which stay hidden from installers.
    bool ServiceMode = false;
    // The dialler's port as the system names it ("COM5", "ttyACM0"), given
    // with --port; empty to find the dialler by its USB identity.
    QString PortName;
};

// What reading the command line decided: start the program with the options,
// or answer on the console and end.
struct CommandLine {
    CommandLineOptions Options;
    // Set when the program ends instead of starting: 0 after --help and
    // --version, 2 after an option it does not know or a misused one.
    std::optional<int> ExitStatus;
    QString Output; // for the standard output
    QString Error;  // for the standard error
};

// Reads the command line (the program's name first, as QCoreApplication
// gives it).
CommandLine ReadCommandLine(const QStringList& arguments);

// Prints the answer of a command line that ends the program and returns its
// exit status.
int PrintCommandLineAnswer(const CommandLine& commandLine);

// The device search the options ask for: the one port of --port, or else
// the search over the machine's devices.
std::unique_ptr<DeviceSearch> CreateDeviceSearch(const CommandLineOptions& options);

// Answers --help and --version before any application object exists, so that
// they work without a display, and returns the exit status then. Any other
// command line waits for the application object, which takes the toolkit's
// own options (-platform, -style) out before ReadCommandLine sees it.
std::optional<int> AnswerWithoutDisplay(int argc, char** argv);
