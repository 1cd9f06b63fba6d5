#include "app/OrnexApplication.h"
#include "app/TMainForm.h"
#include "platform/DeviceSearch.h"

#include <exception>

int main(int argc, char** argv) {
    // The program takes nothing from its command line and always ends with 0,
    // also after an error was shown.
    OrnexApplication app(argc, argv);
    try {
        TMainForm form(CreateSystemDeviceSearch());
        form.show();
        OrnexApplication::exec();
    } catch (const std::exception& e) {
        OrnexApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        OrnexApplication::ShowException(QString());
    }
    return 0;
}
