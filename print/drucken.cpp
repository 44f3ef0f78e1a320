#include "drucken.h"

#include "drubild.h"
#include "kern.h"
#include "printdocument.h"
#include "resulttablemodel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace Drucken {

qint16 FieldOffset = 10;
std::array<QString, 31> HeadingTexts;
std::array<QString, 51> PageColumnTexts;

namespace {
QPointer<DruBild> s_preview;
QString s_templateDirectory;
bool s_busy = false;
const Kern::ResultTableModel* s_grid = nullptr; // the grid of the print run

const QString LineBreak = QStringLiteral("\r\n");

int selectedCount() {
    return s_grid ? std::clamp(s_grid->selectedCount(), 0, Kern::MaxTypes) : 0;
}

// The rows the grid shows: after a change of screen preset the grid is empty although the
// last search is still known, and a printout of empty rows would help nobody.
int combinationCount() {
    return s_grid ? std::clamp(s_grid->rowCount(), 0, Kern::StoreRows) : 0;
}

QTextTable* lastTable(QTextFrame* frame, QTextTable* last = nullptr) {
    const QList<QTextFrame*> children = frame->childFrames();
    for (QTextFrame* child : children) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            if (!last || table->firstPosition() > last->firstPosition())
                last = table;
        }
        last = lastTable(child, last);
    }
    return last;
}
} // namespace

DruBild* Preview(QWidget* parent) {
    if (!s_preview)
        s_preview = new DruBild(parent);
    return s_preview;
}

void ClosePreview() {
    delete s_preview.data();
}

void SetBusy(bool busy) {
    if (busy == s_busy || !qApp)
        return;
    s_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void PrepareDocument(const Kern::ResultTableModel& grid, QWidget* parent) {
    s_grid = &grid;
    FieldOffset = 10;
    PrintDocument& doc = Preview(parent)->document();
    doc.reset();
    doc.setSwitches(false, false, false);
    PageColumnTexts.fill(QString());

    for (int p = 21; p <= 30; ++p)
        HeadingTexts[std::size_t(p)].clear();
    const int n = selectedCount();
    for (int t = 1; t <= n; ++t)
        HeadingTexts[std::size_t(20 + t)] = grid.articleNumber(t);

    for (int p = 21; p <= 30; ++p) {
        doc.defineField(p + FieldOffset, QStringLiteral("{Feld %1}").arg(p));
        doc.setFieldText(p + FieldOffset, HeadingTexts[std::size_t(p)]);
    }
}

void PrintResultList(const Kern::ResultTableModel& grid, QWidget* parent) {
    SetBusy(true);
    ClosePreview();
    PrepareDocument(grid, parent);
    Preview(parent)->Dru_Bausteine();
    SetBusy(false);
    ClosePreview();
}

int PageCount() {
    return (combinationCount() + RowsPerPage - 1) / RowsPerPage;
}

bool FillPageTable(int page) {
    PrintDocument& doc = Preview()->document();
    const int m = doc.tableCount();
    const int n = selectedCount();
    const int k = combinationCount();
    const int first = (page - 1) * RowsPerPage + 1;
    const int last = std::min(first + RowsPerPage - 1, k);
    const Kern::ResultTableModel* grid = s_grid;

    for (int r = first; r <= last; ++r) {
        // The blank line after every fifth row counts table positions, so blocks of five
        // stay aligned across pages whatever the sort order.
        const QString separator = r % 5 == 0 ? LineBreak : QString();
        for (int c = 1; c <= n + 3; ++c)
            PageColumnTexts[std::size_t(c)] += LineBreak + grid->cellText(r, c - 1) + separator;
        // The last two result columns always go to the last two table columns.
        PageColumnTexts[14] += LineBreak + grid->cellText(r, n + 3) + separator;
        PageColumnTexts[15] += LineBreak + grid->cellText(r, n + 4) + separator;
    }
    return WriteTableRow(m - 1, 1, TableColumns, 1);
}

bool WriteTableRow(int table, int firstColumn, int lastColumn, int row) {
    bool ok = true;
    for (int i = firstColumn; i <= lastColumn && ok; ++i) {
        if (i < 0 || i >= int(PageColumnTexts.size()))
            ok = false;
        else
            ok = WriteTableCell(table, row, i - 1, PageColumnTexts[std::size_t(i)]);
    }
    // Emptied even after a failure, so nothing of this page leaks into the next one.
    PageColumnTexts.fill(QString());
    return ok;
}

bool WriteTableCell(int table, int row, int column, const QString& text) {
    PrintDocument& doc = Preview()->document();
    if (!doc.selectTablePart(PrintDocument::SelectTable, table) ||
        !doc.selectTablePart(PrintDocument::SelectRow, row) ||
        !doc.selectTablePart(PrintDocument::SelectColumn, column))
        return false;
    // An empty text leaves the template's cell as it is.
    return text.isEmpty() || doc.insertText(text, 0);
}

void SetTemplateDirectory(const QString& directory) {
    s_templateDirectory = directory;
}

bool IsUsableTemplate(const QString& file) {
    QTextDocument doc;
    if (!PrintDocument::readDocumentFile(file, &doc))
        return false;
    // The pages are written into the last table of each copy.
    const QTextTable* table = lastTable(doc.rootFrame());
    return table && table->columns() == TableColumns && table->rows() >= 2;
}

QString TemplateFile() {
    const QString directory = s_templateDirectory.isEmpty() ? QCoreApplication::applicationDirPath()
                                                            : s_templateDirectory;
    const QString local = QDir(directory).filePath(TemplateName);
    if (QFileInfo(local).isFile() && IsUsableTemplate(local))
        return local;
    return BuiltInTemplate;
}

} // namespace Drucken
