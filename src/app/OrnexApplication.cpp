#include "app/OrnexApplication.h"

#include "app/CommandLine.h"
#include "app/TMainForm.h"
#include "platform/DeviceSearch.h"
#include "platform/ProductInfo.h"
#include "platform/SoundDevices.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>

OrnexApplication::OrnexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Only the name: a display name would be appended to every window title.
    setApplicationName(QStringLiteral("ORNEX dialler"));
    // The desktop entry's name lets the desktop group the window with its menu
    // entry; the icon comes from the installed theme, or else the built-in copy.
    const QString id = QString::fromLatin1(ProductInfo::ApplicationId);
    setDesktopFileName(id);
    setWindowIcon(QIcon::fromTheme(id, QIcon(QStringLiteral(":/icons/%1.svg").arg(id))));
}

bool OrnexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowException(QString());
    }
    return false;
}

void OrnexApplication::ShowException(const QString& message) {
    QMessageBox::critical(activeWindow(), applicationName(), message);
}

int OrnexApplication::RunMainWindow(
    const std::function<std::unique_ptr<DeviceSearch>()>& makeSearch, bool serviceMode) {
    try {
        {
            TMainForm form(makeSearch());
            form.SetServiceMode(serviceMode);
            form.show();
            exec();
        }
        // The window has stopped its sound; the application object goes
        // only once the sound system is done with it.
        SettleSoundBeforeExit();
    } catch (const std::exception& e) {
        ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowException(QString());
    }
    return 0;
}

int RunOrnexProgram(
    int argc, char** argv,
    const std::function<std::unique_ptr<DeviceSearch>(const CommandLineOptions&)>& makeSearch) {
    if (const std::optional<int> status = AnswerWithoutDisplay(argc, argv)) {
        return *status;
    }
    OrnexApplication app(argc, argv);
    const CommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (commandLine.ExitStatus) {
        return PrintCommandLineAnswer(commandLine);
    }
    return OrnexApplication::RunMainWindow([&] { return makeSearch(commandLine.Options); },
                                           commandLine.Options.ServiceMode);
}
