#include "app/CommandLine.h"
#include "app/OrnexApplication.h"
#include "platform/DeviceSearch.h"

int main(int argc, char** argv) {
    return RunOrnexProgram(argc, argv, CreateDeviceSearch);
}
