#pragma once

#include <QApplication>

#include <functional>
#include <memory>

class DeviceSearch;
struct CommandLineOptions;

// The application object. An exception must never unwind through Qt's event
// loop: whatever escapes an event handler is shown to the user here and the
// program carries on.
class OrnexApplication : public QApplication {
    Q_OBJECT
public:
    OrnexApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an exception's message in an error box titled with the
    // application's title. `message` is empty for exceptions that are not
    // the program's own.
    static void ShowException(const QString& message);

    // Builds the main window over the device search that `makeSearch` gives,
    // in service mode when asked, runs it until it closes and returns the
    // program's exit code, 0 also after an error that was shown.
    static int RunMainWindow(const std::function<std::unique_ptr<DeviceSearch>()>& makeSearch,
                             bool serviceMode = false);
};

// The whole program, for its own entry and the demo's: answers the command
// line where it ends the program, and otherwise runs the main window over
// the device search that `makeSearch` gives for the options. Returns the
// program's exit status.
int RunOrnexProgram(
    int argc, char** argv,
    const std::function<std::unique_ptr<DeviceSearch>(const CommandLineOptions&)>& makeSearch);
