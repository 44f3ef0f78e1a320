#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// The result table as text for other programs: the clipboard (tab-separated) and CSV files.
namespace Kern {

// Rows of cell texts exactly as the grid shows them: first the line of group captions ("Strecke
// (mm)" above the length column, "Gleistypen (mm)" above the first type column), then the column
// headings, then the given model rows in the given order. Texts come only from headerData and
// data(DisplayRole), so a model may keep its values in any form.
QList<QStringList> resultTexts(const QAbstractItemModel& model, const QList<int>& rows);

// Tab-separated, one line per row ended by LF, as spreadsheets take it from the clipboard. A cell
// holding a tab, a line break or a double quote is quoted, with its quotes doubled.
QString tabSeparatedText(const QList<QStringList>& table);

// A CSV file as German spreadsheets read it: UTF-8 with byte-order mark, ";" between cells, CR LF
// after every row; a cell holding ";", a double quote or a line break is quoted, quotes doubled.
QByteArray csvBytes(const QList<QStringList>& table);

} // namespace Kern
