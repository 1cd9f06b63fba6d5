// The program as installers use it, connected to a simulated dialler instead
// of one on USB: for trying it out without a device on the desk.

#include "DemoDialler.h"
#include "app/OrnexApplication.h"

#include <cstdio>
#include <memory>

namespace {

// The window's search, holding the simulated dialler it finds: the dialler
// goes with the window, while the application object still exists.
class DemoProgramSearch : public DeviceSearch {
public:
    DemoProgramSearch() : mSearch(mDialler.MakeSearch()) {}

    DeviceSearchResult FindDevice(const UsbIdentity& identity) override {
        return mSearch->FindDevice(identity);
    }
    QStringList SerialPortNames() override { return mSearch->SerialPortNames(); }
    QString PortPath(const QString& portName) const override { return mSearch->PortPath(portName); }
    const DemoDialler& Dialler() const { return mDialler; }

private:
    DemoDialler mDialler;
    std::unique_ptr<DeviceSearch> mSearch;
};

} // namespace

int main(int argc, char** argv) {
    return RunOrnexProgram(argc, argv, [](const CommandLineOptions&) {
        auto search = std::make_unique<DemoProgramSearch>();
        std::printf("ORNEX demo: the dialler is simulated on %s (port %s).\n",
                    qPrintable(search->Dialler().PortPath()),
                    qPrintable(search->Dialler().PortName()));
        std::fflush(stdout);
        return search;
    });
}
