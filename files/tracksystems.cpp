#include "tracksystems.h"

#include "datafolders.h"
#include "safefile.h"

namespace TrackSystems {

namespace {

const QString BuiltInFolder = QStringLiteral(":/tracksystems");
const QString SubFolder = QStringLiteral("tracksystems");

bool isPlainFileName(const QString& name) {
    return name.endsWith(QLatin1String(".sfr")) && name.size() > 4 &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.startsWith(QLatin1Char('.'));
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
    QStringList folders = DataFolders::searchFolders();
    for (QString& folder : folders)
        folder += QLatin1Char('/') + SubFolder;
    return folders;
}

QString findFile(const QString& fileName, const QStringList& folders) {
    const QString found = DataFolders::findFile(fileName, folders);
    return found.isEmpty() ? BuiltInFolder + QLatin1Char('/') + fileName : found;
}

QString pathOf(const System& system) {
    return findFile(system.fileName, searchFolders());
}

} // namespace TrackSystems
