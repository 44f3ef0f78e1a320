#include "settings.h"

#include "kern.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace Kern {

QString SettingsFilePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(dir).filePath(QStringLiteral("XY_Scale.tmp"));
}

QString ReadSettings(double* preset) {
    *preset = 1;
    QFile file(SettingsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Two short lines; anything beyond a few kilobytes is not a settings file of ours.
    const QByteArray data = file.read(64 * 1024);
    QList<QByteArray> lines;
    QByteArray current;
    for (int i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);

    if (!lines.isEmpty()) {
        bool ok = false;
        const double read = QString::fromLatin1(lines[0]).trimmed().toDouble(&ok);
        // Only a whole number from 0 to 11 names a preset; anything else keeps preset 1.
        if (ok && IsPreset(read))
            *preset = read;
    }
    return lines.size() >= 2 ? DecodeText(lines[1]) : QString();
}

bool WriteSettings(double preset, const QString& trackFileName) {
    const QString path = SettingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray out = " " + QByteArray::number(qint64(preset)) + " \r\n";
    out += trackFileName.toUtf8() + "\r\n";
    if (file.write(out) != out.size())
        return false;
    return file.commit();
}

} // namespace Kern
