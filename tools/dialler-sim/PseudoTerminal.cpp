#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::runtime_error SystemFailure(const char* what) {
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

} // namespace

PseudoTerminal OpenPseudoTerminal() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        throw SystemFailure("posix_openpt");
    }
    char path[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, path, sizeof path) != 0) {
        const auto failure = SystemFailure("pseudo-terminal");
        ::close(master);
        throw failure;
    }
    const int slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        const auto failure = SystemFailure("open slave");
        ::close(master);
        throw failure;
    }
    // A raw line: the terminal's own echo and line editing would otherwise
    // answer the program before the device does. The program sets its own
    // settings when it opens the port and restores these when it closes it.
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return {master, slave, QString::fromLocal8Bit(path)};
}
