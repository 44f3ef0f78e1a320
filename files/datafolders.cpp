#include "datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataFolders {

namespace {

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
    return folders;
}

} // namespace

QStringList searchFolders() {
    QStringList folders;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!user.isEmpty())
        folders << user;
    return folders + installedFolders();
}

QString findFile(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        // A folder or a device of that name is no such file; the next place may hold one.
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace DataFolders
