#pragma once

#include <QString>
#include <QStringList>

class Seite1;

namespace Kern {

// The start-up routine: fills the track table and route settings with their start values,
// restores the remembered preset and track file, shows the main window and lays it out.
// A track file named by the caller (the command line) is loaded instead of the remembered one,
// as the load command would load it; when it cannot be read, the load error is shown and the
// table is the one this start-up would have had without it.
// Returns the main window (a new one each call; the previous one is closed and deleted).
Seite1* Main(const QString& trackFile = QString());

// The main window of the run, or nullptr before Main.
Seite1* mainWindow();

// What the program's arguments ask for.
struct CommandLine {
    bool run = true; // false: print, then end with exitCode, without a window
    int exitCode = 0;
    QString output;    // for standard output: help or version
    QString errors;    // for standard error: mistakes, arguments left unused
    QString trackFile; // absolute path of the track file to open, or empty
};

// Reads the arguments as QCoreApplication::arguments() gives them (program first, the toolkit's
// own options already taken out).
CommandLine readCommandLine(const QStringList& arguments);

// Whether the raw arguments ask for help or the version, which need no display: the caller can
// then answer them without starting the window system.
bool asksOnlyForText(int argc, const char* const* argv);

} // namespace Kern
