#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The track tables of common track systems that come with the program: which there are, and
// where the file of one is read from. A system's file is an ordinary track file; load it with
// TrackFile::read().
namespace TrackSystems {

struct System {
    QString gauge;    // "H0", "N", "TT", "Z" or "G"
    QString name;     // as model-railway builders know it, e.g. "Märklin C-Gleis"
    QString fileName; // plain file name, e.g. "h0-maerklin-c-gleis.sfr"
    bool operator==(const System& o) const {
        return gauge == o.gauge && name == o.name && fileName == o.fileName;
    }
};

struct Gauge {
    QString name;
    QList<System> systems;
};

// The gauges in the order a menu shows them: H0, N, TT, Z, G.
QStringList gaugeOrder();

// Every shipped system, grouped by gauge in gaugeOrder(); within a gauge in the order of the
// built-in index. A gauge without systems is left out.
QList<Gauge> byGauge();

// The lines "gauge;name;file name" of an index (UTF-8, any line end). A line with another
// number of fields, an empty name, a gauge not in gaugeOrder() or a file name that is not a
// plain ".sfr" name is skipped: a file name never leads out of the folder it is looked up in.
QList<System> parseIndex(const QByteArray& bytes);

// Where the files are looked for before the built-in copies, first place first: the folder
// "tracksystems" in the user's data folder, then in the installed data folders.
QStringList searchFolders();

// The path to read a system's file from: the first folder of searchFolders() that holds a
// regular file of that name, otherwise the built-in copy (a ":/" resource path).
QString pathOf(const System& system);

// pathOf() with the folders given; the built-in copy comes after them.
QString findFile(const QString& fileName, const QStringList& folders);

} // namespace TrackSystems
