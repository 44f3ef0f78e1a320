#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <memory>

class PrinterChoice;
class QTextTable;
class QWidget;
namespace Kern {
class ResultTableModel;
}

// A text document that never reaches outside itself: images and backgrounds named in its
// text are not loaded (a path could name a device or a file of any size), except those given
// inline as data: URLs.
class SelfContainedDocument : public QTextDocument {
    Q_OBJECT
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl& name) override;
};

// Printing the result table: one copy of the template "Gleisliste.HED" per 50 rows, the rows in
// the order the table shows them, the article numbers of the selected types in the heading
// fields "{Feld 21}" to "{Feld 30}".
namespace Drucken {

constexpr int RowsPerPage = 50;
// The template's file name: a user's own copy of this name in the user's data folder comes first,
// then the installed one, then the built-in one.
inline const QString TemplateName = QStringLiteral("Gleisliste.HED");

// The folders searched for the template, first place first: DataFolders::searchFolders().
QStringList templateFolders();

// The busy pointer, shown once and taken back once, at the latest when it goes.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void release();

private:
    bool m_shown = false;
};

// What one print run works with: the grid it prints and the template, read once for all its
// pages, with the article numbers of the grid's types in its headings. The busy pointer shows
// from the start of the run until its pages are built.
struct PrintRun {
    // folders: where to look for the template, first place first; the first usable one is
    // taken, the built-in one when none is.
    explicit PrintRun(const Kern::ResultTableModel& shown,
                      const QStringList& folders = templateFolders());

    BusyPointer busy;
    const Kern::ResultTableModel& grid;
    const std::unique_ptr<QTextDocument> page; // null when no template could be read
};

// The print command: builds the document of grid in a preview window and shows it modally; with
// nothing to print it says so instead. The preview starts with the printer set-up in printing and
// leaves there what the user chose.
void PrintResultList(const Kern::ResultTableModel& grid, PrinterChoice& printing,
                     QWidget* parent = nullptr);

// Pages for the rows the grid shows: 50 a page, rounded up.
int pageCount(const Kern::ResultTableModel& grid);

// The table a copy of the template is filled in: the last of doc in document order.
QTextTable* lastTable(const QTextDocument& doc);

// Writes the grid rows (page - 1) * 50 + 1 ... of page into the data row of table, one text a
// column: every row on a line of its own, an empty line first and after every fifth row. The
// type columns beyond the grid's types stay as in the template.
void FillPageTable(const Kern::ResultTableModel& grid, QTextTable& table, int page);

// The font of the printed list where the template names none.
QFont printFont();

} // namespace Drucken
