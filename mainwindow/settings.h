#pragma once

#include <QString>

// The settings file "XY_Scale.tmp": line 1 the screen preset (" 3 "), line 2 the current
// track-file name. It lives in the per-user configuration folder.
namespace Kern {

QString SettingsFilePath();

// Reads the screen preset into *preset (1 when the file gives no whole number from 0 to 11) and
// returns the remembered track-file name (empty when there is none).
QString ReadSettings(double* preset);

// Writes the preset and the track-file name atomically; a failure keeps the old file and is not
// reported.
bool WriteSettings(double preset, const QString& trackFileName);

} // namespace Kern
