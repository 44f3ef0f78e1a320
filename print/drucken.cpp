#include "drucken.h"

#include "drubild.h"
#include "printdocument.h"
#include "resulttablemodel.h"
#include "search.h"
#include "textcodec.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace Drucken {

namespace {
const QString LineBreak = QStringLiteral("\r\n");

// Far above anything a one-page form needs (the built-in template has 4 KB, 35 paragraphs and
// one table of 2 x 15 cells), far below what would make a printout of many pages crawl.
constexpr qint64 MaxTemplateBytes = 256 * 1024;
constexpr int MaxTemplateCharacters = 20000;
constexpr int MaxTemplateBlocks = 1000;
constexpr int MaxTemplateTables = 8;
constexpr int MaxTableRows = 40;
constexpr int MaxTableColumns = 30;
constexpr int MaxTemplateCells = 600;

int selectedCount(const Kern::ResultTableModel& grid) {
    return std::clamp(grid.columns().types, 0, Kern::MaxTypes);
}

QString headingText(const QString& articleNumber) {
    if (articleNumber.size() <= MaxArticleNumberLength)
        return articleNumber;
    return Kern::leftWhole(articleNumber, MaxArticleNumberLength - 1) + QChar(0x2026); // ...
}

bool insideTable(const QTextTable* table) {
    for (const QTextFrame* f = table->parentFrame(); f; f = f->parentFrame()) {
        if (qobject_cast<const QTextTable*>(f))
            return true;
    }
    return false;
}
} // namespace

PrintRun::PrintRun(const Kern::ResultTableModel& grid, QString templateDirectory)
    : grid(grid), templateDirectory(std::move(templateDirectory)) {}

PrintRun::~PrintRun() {
    setBusy(*this, false);
}

void setBusy(PrintRun& run, bool busy) {
    if (busy == run.busy || !qApp)
        return;
    run.busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void prepareDocument(PrintRun& run, PrintDocument& doc) {
    run.FieldOffset = 10;
    run.pageTemplate = loadTemplate(run.templateDirectory);
    doc.reset();
    doc.setSwitches(false, false, false);
    run.PageColumnTexts.fill(QString());

    for (int p = 21; p <= 30; ++p)
        run.HeadingTexts[std::size_t(p)].clear();
    const int n = selectedCount(run.grid);
    for (int t = 1; t <= n; ++t)
        run.HeadingTexts[std::size_t(20 + t)] = headingText(run.grid.articleNumber(t));

    for (int p = 21; p <= 30; ++p) {
        doc.defineField(p + run.FieldOffset, QStringLiteral("{Feld %1}").arg(p));
        doc.setFieldText(p + run.FieldOffset, run.HeadingTexts[std::size_t(p)]);
    }
}

void PrintResultList(const Kern::ResultTableModel& grid, QWidget* parent) {
    if (pageCount(grid) == 0) {
        QMessageBox::information(parent, QStringLiteral("Drucken"),
                                 QStringLiteral("Es sind keine Ergebnisse zum Drucken vorhanden."));
        return;
    }
    PrintRun run(grid);
    setBusy(run, true);
    // Guarded: a parent that goes while the preview is open takes the preview with it.
    const QPointer<DruBild> preview = new DruBild(parent);
    prepareDocument(run, preview->document());
    preview->Dru_Bausteine(run);
    delete preview.data();
}

int pageCount(const Kern::ResultTableModel& grid) {
    return (std::max(grid.rowCount(), 0) + RowsPerPage - 1) / RowsPerPage;
}

bool FillPageTable(PrintRun& run, PrintDocument& doc, int page) {
    const Kern::ResultTableModel& grid = run.grid;
    const int m = doc.tableCount();
    const int n = selectedCount(grid);
    const int first = (page - 1) * RowsPerPage + 1;
    const int last = std::min(first + RowsPerPage - 1, grid.rowCount());

    for (int r = first; r <= last; ++r) {
        // The blank line after every fifth row counts table positions, so blocks of five
        // stay aligned across pages whatever the sort order.
        const QString separator = r % 5 == 0 ? LineBreak : QString();
        for (int c = 1; c <= n + 3; ++c)
            run.PageColumnTexts[std::size_t(c)] += LineBreak + grid.cellText(r, c - 1) + separator;
        // The last two result columns always go to the last two table columns.
        run.PageColumnTexts[14] += LineBreak + grid.cellText(r, n + 3) + separator;
        run.PageColumnTexts[15] += LineBreak + grid.cellText(r, n + 4) + separator;
    }
    return WriteTableRow(run, doc, m - 1, 1, TableColumns, 1);
}

bool WriteTableRow(PrintRun& run, PrintDocument& doc, int table, int firstColumn, int lastColumn,
                   int row) {
    bool ok = true;
    for (int i = firstColumn; i <= lastColumn && ok; ++i) {
        if (i < 0 || i >= int(run.PageColumnTexts.size()))
            ok = false;
        else
            ok = WriteTableCell(doc, table, row, i - 1, run.PageColumnTexts[std::size_t(i)]);
    }
    // Emptied even after a failure, so nothing of this page leaks into the next one.
    run.PageColumnTexts.fill(QString());
    return ok;
}

bool WriteTableCell(PrintDocument& doc, int table, int row, int column, const QString& text) {
    if (!doc.selectTablePart(PrintDocument::SelectTable, table) ||
        !doc.selectTablePart(PrintDocument::SelectRow, row) ||
        !doc.selectTablePart(PrintDocument::SelectColumn, column))
        return false;
    // An empty text leaves the template's cell as it is.
    return text.isEmpty() || doc.insertText(text, 0);
}

bool isUsableTemplate(const QTextDocument& doc) {
    if (doc.characterCount() > MaxTemplateCharacters || doc.blockCount() > MaxTemplateBlocks)
        return false;
    const QList<QTextTable*> tables = PrintDocument::tablesOf(doc);
    if (tables.isEmpty() || tables.size() > MaxTemplateTables)
        return false;
    int cells = 0;
    for (const QTextTable* table : tables) {
        if (table->rows() > MaxTableRows || table->columns() > MaxTableColumns ||
            insideTable(table))
            return false;
        cells += table->rows() * table->columns();
    }
    // The pages are written into the last table of each copy.
    return cells <= MaxTemplateCells && tables.last()->columns() == TableColumns &&
           tables.last()->rows() >= 2;
}

std::unique_ptr<QTextDocument> readTemplate(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > MaxTemplateBytes)
        return nullptr;
    auto doc = std::make_unique<SelfContainedDocument>();
    doc->setDefaultFont(PrintDocument::printFont());
    if (!PrintDocument::readDocumentFile(file, doc.get()) || !isUsableTemplate(*doc))
        return nullptr;
    return doc;
}

std::unique_ptr<QTextDocument> loadTemplate(const QString& directory) {
    const QString folder = directory.isEmpty() ? QCoreApplication::applicationDirPath() : directory;
    if (auto local = readTemplate(QDir(folder).filePath(TemplateName)))
        return local;
    return readTemplate(BuiltInTemplate);
}

} // namespace Drucken
