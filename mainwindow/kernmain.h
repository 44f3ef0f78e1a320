#pragma once

class Seite1;

namespace Kern {

// The start-up routine: fills the track table and route settings with their start values,
// restores the remembered preset and track file, shows the main window and lays it out.
// Returns the main window (a new one each call; the previous one is closed and deleted).
Seite1* Main();

// The main window of the run, or nullptr before Main.
Seite1* MainWindow();

} // namespace Kern
