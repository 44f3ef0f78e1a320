#pragma once

#include <QString>
#include <QStringList>

namespace Kern {

// What the program's arguments ask for.
struct CommandLine {
    bool run = true; // false: print, then end with exitCode, without a window
    int exitCode = 0;
    QString output;    // for standard output: help or version
    QString errors;    // for standard error: the mistake and where help is
    QString trackFile; // absolute path of the track file to open, or empty
};

// Reads the arguments as the system hands them to main (program first), before the window
// system starts, so that help, version and every mistake are answered without a display. The
// toolkit's own options (-platform, -style, ...) are passed over: QApplication takes them later.
CommandLine readCommandLine(const QStringList& arguments);
CommandLine readCommandLine(int argc, const char* const* argv);

} // namespace Kern
