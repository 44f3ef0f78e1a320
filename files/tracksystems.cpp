#include "tracksystems.h"

#include "safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace TrackSystems {

namespace {

const QString BuiltInFolder = QStringLiteral(":/tracksystems");
const QString SubFolder = QStringLiteral("tracksystems");

bool isPlainFileName(const QString& name) {
    return name.endsWith(QLatin1String(".sfr")) && name.size() > 4 &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.startsWith(QLatin1Char('.'));
}

// The prefix the program was built for, and the same layout seen from the running program, so
// that an installation moved to another prefix still finds its files.
QStringList installedFolders() {
    QStringList folders;
    if (QCoreApplication::instance()) {
        const QDir bin(QCoreApplication::applicationDirPath());
        folders << QDir::cleanPath(bin.filePath(QStringLiteral(SFX_DATA_DIR_FROM_BIN)));
    }
    const QString configured = QDir::cleanPath(QStringLiteral(SFX_DATA_DIR));
    if (!folders.contains(configured))
        folders << configured;
    for (QString& folder : folders)
        folder += QLatin1Char('/') + SubFolder;
    return folders;
}

} // namespace

QStringList gaugeOrder() {
    return {QStringLiteral("H0"), QStringLiteral("N"), QStringLiteral("TT"), QStringLiteral("Z"),
            QStringLiteral("G")};
}

QList<System> parseIndex(const QByteArray& bytes) {
    const QStringList gauges = gaugeOrder();
    QList<System> systems;
    const QString text = QString::fromUtf8(bytes);
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != 3)
            continue;
        const System system{fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed()};
        if (gauges.contains(system.gauge) && !system.name.isEmpty() &&
            isPlainFileName(system.fileName))
            systems << system;
    }
    return systems;
}

QList<Gauge> byGauge() {
    QByteArray index;
    SafeFile::readFile(BuiltInFolder + QStringLiteral("/index.txt"), &index, nullptr);
    const QList<System> systems = parseIndex(index);
    QList<Gauge> gauges;
    for (const QString& gauge : gaugeOrder()) {
        Gauge group{gauge, {}};
        for (const System& system : systems)
            if (system.gauge == gauge)
                group.systems << system;
        if (!group.systems.isEmpty())
            gauges << group;
    }
    return gauges;
}

QStringList searchFolders() {
    QStringList folders;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!user.isEmpty())
        folders << user + QLatin1Char('/') + SubFolder;
    return folders + installedFolders();
}

QString findFile(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        // A folder or a device of that name is no track file; the next place may hold one.
        if (QFileInfo(path).isFile())
            return path;
    }
    return BuiltInFolder + QLatin1Char('/') + fileName;
}

QString pathOf(const System& system) {
    return findFile(system.fileName, searchFolders());
}

} // namespace TrackSystems
