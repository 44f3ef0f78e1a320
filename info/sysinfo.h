#pragma once

#include <QString>
#include <QStringList>

// The About window finds the system-information tool the way it always has: by asking the
// registry. Linux has no registry, so this small read-only stand-in answers the two keys that
// question uses, from what is installed on this machine.
namespace SysInfo {

enum class HKey { LocalMachine };

// The key and value naming the tool's full path, and the key and value naming the folder of
// the shared tools (the tool's file name is appended to it).
inline const QString MsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString MsInfoValue = QStringLiteral("PATH");
inline const QString SharedToolsKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString SharedToolsValue = QStringLiteral("MSINFO");
inline const QString SharedToolFile = QStringLiteral("MSINFO32.EXE");

// Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal and says whether it
// could be read; KeyVal is emptied when it could not. Names compare without regard to case,
// as the registry's do.
bool GetKeyValue(HKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

// The system-information and hardware-overview programs looked for, in order of preference.
const QStringList& toolCandidates();

// The full path of the first candidate found on the PATH, or an empty text. An empty PATH
// finds nothing: it does not fall back to the current directory or to a built-in default.
QString findTool();

} // namespace SysInfo
