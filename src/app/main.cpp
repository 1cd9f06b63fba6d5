#include "app/OrnexApplication.h"
#include "platform/DeviceSearch.h"

int main(int argc, char** argv) {
    // The program takes nothing from its command line.
    OrnexApplication app(argc, argv);
    return OrnexApplication::RunMainWindow(CreateSystemDeviceSearch);
}
