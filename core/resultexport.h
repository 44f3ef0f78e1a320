#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The result table as text for other programs: the clipboard (tab-separated) and CSV files.
namespace Kern {

class ResultTableModel;

// Rows of cell texts exactly as the grid shows them: first the line of group captions ("Strecke
// (mm)" above the length column, "Gleistypen (mm)" above the first type column), then the column
// headings, then the given model rows (0..k-1) in the given order.
QList<QStringList> resultTexts(const ResultTableModel& model, const QList<int>& rows);

// Tab-separated, one line per row ended by LF, as spreadsheets take it from the clipboard. A cell
// holding a tab, a line break or a double quote is quoted, with its quotes doubled.
QString tabSeparatedText(const QList<QStringList>& table);

// A CSV file as German spreadsheets read it: UTF-8 with byte-order mark, ";" between cells, CR LF
// after every row; a cell holding ";", a double quote or a line break is quoted, quotes doubled.
QByteArray csvBytes(const QList<QStringList>& table);

} // namespace Kern
