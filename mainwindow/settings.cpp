#include "settings.h"

#include "kern.h"
#include "safefile.h"
#include "textcodec.h"

#include <QDir>
#include <QStandardPaths>

namespace Kern {

namespace {
// Two short lines; anything beyond this is not a settings file of ours.
constexpr qint64 MaxSettingsBytes = 64 * 1024;
} // namespace

QString settingsFilePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(dir).filePath(QStringLiteral("XY_Scale.tmp"));
}

void parseSettings(const QByteArray& data, double* preset, QString* trackFileName) {
    *preset = 1;
    trackFileName->clear();
    const std::vector<QByteArray> lines = splitLines(data, 2, data.size());
    if (!lines.empty()) {
        bool ok = false;
        const double value = QString::fromLatin1(lines[0]).trimmed().toDouble(&ok);
        // Only a whole number from 0 to 11 names a preset; anything else keeps preset 1.
        if (ok && isPreset(value))
            *preset = value;
    }
    if (lines.size() >= 2)
        *trackFileName = decodeText(lines[1]);
}

QByteArray formatSettings(double preset, const QString& trackFileName) {
    QByteArray out = " " + QByteArray::number(qint64(preset)) + " \r\n";
    const bool oneLine =
        !trackFileName.contains(QLatin1Char('\n')) && !trackFileName.contains(QLatin1Char('\r'));
    out += (oneLine ? trackFileName.toUtf8() : QByteArray()) + "\r\n";
    return out;
}

QString ReadSettings(double* preset) {
    *preset = 1;
    QByteArray data;
    if (!SafeFile::readFile(settingsFilePath(), &data, nullptr, MaxSettingsBytes))
        return QString();
    QString name;
    parseSettings(data, preset, &name);
    return name;
}

bool WriteSettings(double preset, const QString& trackFileName) {
    const QString path = settingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::writeFile(path, formatSettings(preset, trackFileName), nullptr);
}

} // namespace Kern
