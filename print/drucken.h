#pragma once

#include <QString>

#include <array>

class DruBild;
class QWidget;
namespace Kern {
class ResultTableModel;
}

// Printing the result table: one copy of the template "Gleisliste.HED" per 50 rows, the rows in
// the order the table shows them, the article numbers of the selected types in the heading
// fields "{Feld 21}" to "{Feld 30}".
namespace Drucken {

constexpr int RowsPerPage = 50;
constexpr int TableColumns = 15;
inline const QString TemplateName = QStringLiteral("Gleisliste.HED");
// The built-in template; a readable file of the same name next to the program that has the
// 15-column table takes its place.
inline const QString BuiltInTemplate = QStringLiteral(":/print/Gleisliste.HED");

// A heading placeholder numbered p is field number p + FieldOffset of the document.
extern qint16 FieldOffset;
// Slots 21 to 30: the texts of "{Feld 21}" to "{Feld 30}".
extern std::array<QString, 31> HeadingTexts;
// Slots 1 to 15: the column texts of the page being built.
extern std::array<QString, 51> PageColumnTexts;

// The print command: builds the document in a new preview window and shows it modally.
void PrintResultList(const Kern::ResultTableModel& grid, QWidget* parent = nullptr);

// The preview window of the current print run, created hidden on first use.
DruBild* Preview(QWidget* parent = nullptr);
// Discards the preview window and its document.
void ClosePreview();

// Everything PrintResultList does before the pages are built: empties the preview's document
// and sets the heading fields from the selected types of the search the grid shows.
void PrepareDocument(const Kern::ResultTableModel& grid, QWidget* parent = nullptr);

// Pages for the current combination count: k / 50 rounded up.
int PageCount();

// Writes the column texts of result rows (page - 1) * 50 + 1 ... into the data row of the
// document's last table. False when that table cannot be written.
bool FillPageTable(int page);
bool WriteTableRow(int table, int firstColumn, int lastColumn, int row);
bool WriteTableCell(int table, int row, int column, const QString& text);

// The busy pointer, shown once however often it is asked for.
void SetBusy(bool busy);

// The template to use: the file next to the program when it is usable, else the built-in one.
QString TemplateFile();
// True when file is a readable template whose last table has 15 columns and a data row.
bool IsUsableTemplate(const QString& file);
// Where TemplateFile() looks for the override; empty means the program's own folder.
void SetTemplateDirectory(const QString& directory);

} // namespace Drucken
