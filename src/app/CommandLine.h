#pragma once

#include <QStringList>

// What the program's command line asks for.
struct CommandLineOptions {
    // Service staff see the Voice Messages page and the Reflash button,
    // which stay hidden from installers.
    bool ServiceMode = false;
};

// Reads the command line (the program's name first, as QCoreApplication
// gives it). `--help` prints the options and ends the program; an unknown
// option prints the error and ends it.
CommandLineOptions ReadCommandLine(const QStringList& arguments);
