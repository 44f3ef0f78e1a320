#pragma once

#include <QString>

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

} // namespace Kern
