#pragma once

#include <QString>

#include <array>
#include <memory>

class PrintDocument;
class QTextDocument;
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
// An article number longer than this is cut in the headings: a loaded track file may carry
// thousands of characters, and a heading column holds a few.
constexpr int MaxArticleNumberLength = 20;
inline const QString TemplateName = QStringLiteral("Gleisliste.HED");
// The built-in template; a usable file of the same name next to the program takes its place.
inline const QString BuiltInTemplate = QStringLiteral(":/print/Gleisliste.HED");

// What one print run works with: the grid it prints, the template read once for all its pages,
// the heading texts and the column texts of the page being built.
struct PrintRun {
    // templateDirectory: where to look for an override of the template; empty means the
    // program's own folder.
    explicit PrintRun(const Kern::ResultTableModel& grid, QString templateDirectory = QString());
    ~PrintRun();
    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    const Kern::ResultTableModel& grid;
    const QString templateDirectory;
    std::unique_ptr<QTextDocument> pageTemplate; // set by prepareDocument
    // A heading placeholder numbered p is field number p + FieldOffset of the document.
    qint16 FieldOffset = 10;
    // Slots 21 to 30: the texts of "{Feld 21}" to "{Feld 30}".
    std::array<QString, 31> HeadingTexts;
    // Slots 1 to 15: the column texts of the page being built.
    std::array<QString, 51> PageColumnTexts;
    bool busy = false;
};

// The print command: builds the document of grid in a preview window and shows it modally; with
// nothing to print it says so instead.
void PrintResultList(const Kern::ResultTableModel& grid, QWidget* parent = nullptr);

// Everything PrintResultList does before the pages are built: reads the template, empties doc
// and sets its heading fields from the selected types of the grid.
void prepareDocument(PrintRun& run, PrintDocument& doc);

// Pages for the rows the grid shows: 50 a page, rounded up.
int pageCount(const Kern::ResultTableModel& grid);

// Writes the column texts of grid rows (page - 1) * 50 + 1 ... into the data row of the
// document's last table. False when that table cannot be written.
bool FillPageTable(PrintRun& run, PrintDocument& doc, int page);
bool WriteTableRow(PrintRun& run, PrintDocument& doc, int table, int firstColumn, int lastColumn,
                   int row);
bool WriteTableCell(PrintDocument& doc, int table, int row, int column, const QString& text);

// The busy pointer, shown once however often it is asked for, and taken back with the run.
void setBusy(PrintRun& run, bool busy);

// The template of a print run: the file in directory when it is usable, else the built-in one.
std::unique_ptr<QTextDocument> loadTemplate(const QString& directory);
// The template file read and checked; null when it cannot be read or is not usable.
std::unique_ptr<QTextDocument> readTemplate(const QString& file);
// True when doc has the shape the printout fills: its last table has 15 columns and a data
// row, and nothing in it is far beyond what a one-page form needs.
bool isUsableTemplate(const QTextDocument& doc);

} // namespace Drucken
