#pragma once

#include <QString>
#include <QStringList>

// Where the files the program ships (print template, track systems) are looked for before their
// built-in copies: a user's own copy first, then the installed one.
namespace DataFolders {

// The user's data folder, then the installed data folders, first place first.
QStringList searchFolders();

// The first of folders that holds a regular file named fileName, as a path; empty when none does.
QString findFile(const QString& fileName, const QStringList& folders);

} // namespace DataFolders
