#pragma once

#include <QByteArray>
#include <QString>

// The settings file "XY_Scale.tmp": line 1 the screen preset (" 3 "), line 2 the current
// track-file name. It lives in the per-user configuration folder.
namespace Kern {

QString settingsFilePath();

// Reads the screen preset into *preset (1 when the file gives no whole number from 0 to 11) and
// returns the remembered track-file name (empty when there is none). Only a regular file of a
// few kilobytes is read, so a FIFO or a device in its place cannot hold up the start.
QString ReadSettings(double* preset);

// Writes the preset and the track-file name atomically; a failure keeps the old file and is not
// reported.
bool WriteSettings(double preset, const QString& trackFileName);

// The file's content: the preset read as ReadSettings takes it (1 when line 1 names none) and
// the name on line 2.
void parseSettings(const QByteArray& bytes, double* preset, QString* trackFileName);
// A name holding a line break would come back cut at it, naming another file; such a name is
// not remembered (line 2 stays empty).
QByteArray formatSettings(double preset, const QString& trackFileName);

} // namespace Kern
