#include "sysinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SysInfo {

const QStringList& toolCandidates() {
    // Desktop tools that give an overview of the machine, its hardware and its system.
    static const QStringList tools = {
        QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
        QStringLiteral("cpu-x"),     QStringLiteral("lshw-gtk"),
    };
    return tools;
}

QString findTool() {
    QStringList dirs;
    const QStringList entries =
        qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        // Relative entries would make the result depend on the current directory.
        if (QDir::isAbsolutePath(entry))
            dirs << entry;
    }
    if (dirs.isEmpty())
        return {}; // findExecutable would search its own default list instead
    for (const QString& tool : toolCandidates()) {
        const QString path = QStandardPaths::findExecutable(tool, dirs);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool GetKeyValue(HKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    KeyVal.clear();
    if (KeyRoot != HKey::LocalMachine)
        return false;
    if (KeyName.compare(MsInfoKey, Qt::CaseInsensitive) == 0 &&
        SubKeyRef.compare(MsInfoValue, Qt::CaseInsensitive) == 0) {
        const QString tool = findTool();
        if (tool.isEmpty())
            return false;
        KeyVal = tool;
        return true;
    }
    // There is no folder of shared tools on Linux, so that key and every other one is unknown.
    return false;
}

} // namespace SysInfo
