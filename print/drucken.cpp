#include "drucken.h"

#include "datafolders.h"
#include "drubild.h"
#include "resulttablemodel.h"
#include "safefile.h"
#include "textcodec.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <functional>

QVariant SelfContainedDocument::loadResource(int type, const QUrl& name) {
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
        return QTextDocument::loadResource(type, name);
    return QVariant();
}

namespace Drucken {

namespace {
const QString LineBreak = QStringLiteral("\r\n");
// The built-in template, compiled in.
const QString BuiltInTemplate = QStringLiteral(":/print/Gleisliste.HED");

// The template's table: running number, length, deviation, ten types, pieces, price. Its second
// row takes the rows of a page.
constexpr int TableColumns = 15;
constexpr int DataRow = 1;

// The table columns after the three of number, length and deviation: one for each of ten types,
// then pieces and price, always the last two whatever the number of types.
constexpr int FirstTypeColumn = 3;
constexpr int PiecesColumn = TableColumns - 2;
constexpr int PriceColumn = TableColumns - 1;
constexpr int FirstHeadingField = 21;
constexpr int LastHeadingField = FirstHeadingField + PiecesColumn - FirstTypeColumn - 1;

// Far above anything a one-page form needs (the built-in template has 4 KB, 35 paragraphs and
// one table of 2 x 15 cells), far below what would make a printout of many pages crawl.
constexpr qint64 MaxTemplateBytes = 256 * 1024;
constexpr int MaxTemplateCharacters = 20000;
constexpr int MaxTemplateBlocks = 1000;
constexpr int MaxTemplateTables = 8;
constexpr int MaxTableRows = 40;
constexpr int MaxTableColumns = 30;
constexpr int MaxTemplateCells = 600;

// An article number longer than this is cut in the headings: a loaded track file may carry
// thousands of characters, and a heading column holds a few.
constexpr int MaxArticleNumberLength = 20;

QString headingText(const QString& articleNumber) {
    if (articleNumber.size() <= MaxArticleNumberLength)
        return articleNumber;
    return Kern::leftWhole(articleNumber, MaxArticleNumberLength - 1) + QChar(0x2026); // ...
}

QString withLineBreaks(QString text) {
    text.replace(LineBreak, QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// The grid column printed in a table column, or -1 where the column stays as in the template.
int gridColumn(int tableColumn, const Kern::ResultColumns& columns) {
    switch (tableColumn) {
    case 0:
        return Kern::ResultColumns::Number;
    case 1:
        return Kern::ResultColumns::Length;
    case 2:
        return Kern::ResultColumns::Deviation;
    case PiecesColumn:
        return columns.pieces();
    case PriceColumn:
        return columns.price();
    default: {
        const int type = tableColumn - FirstTypeColumn + 1;
        return type <= columns.types ? columns.type(type) : -1;
    }
    }
}

// The format of the character at the cursor, or of its paragraph where that is empty: what a
// text replacing the character should look like.
QTextCharFormat formatAt(const QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (cursor.position() >= f.position() && cursor.position() < f.position() + f.length())
            return f.charFormat();
    }
    return block.charFormat();
}

QList<QTextTable*> tablesOf(const QTextFrame* frame) {
    QList<QTextTable*> tables;
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            tables << table;
        tables << tablesOf(child);
    }
    return tables;
}

bool insideTable(const QTextTable* table) {
    for (const QTextFrame* f = table->parentFrame(); f; f = f->parentFrame()) {
        if (qobject_cast<const QTextTable*>(f))
            return true;
    }
    return false;
}

// True when doc has the shape the printout fills: its last table has 15 columns and a data
// row, and nothing in it is far beyond what a one-page form needs.
bool isUsableTemplate(const QTextDocument& doc) {
    if (doc.characterCount() > MaxTemplateCharacters || doc.blockCount() > MaxTemplateBlocks)
        return false;
    const QList<QTextTable*> tables = tablesOf(doc.rootFrame());
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
    const QTextTable* last = lastTable(doc);
    return cells <= MaxTemplateCells && last->columns() == TableColumns && last->rows() > DataRow;
}

// The template file read and checked (as UTF-8, or Windows-1252 when the bytes are no UTF-8);
// null when it cannot be read or is not usable.
std::unique_ptr<QTextDocument> readTemplate(const QString& file) {
    QByteArray bytes;
    if (!SafeFile::readFile(file, &bytes, nullptr, MaxTemplateBytes))
        return nullptr;
    auto doc = std::make_unique<SelfContainedDocument>();
    doc->setDefaultFont(printFont());
    doc->setHtml(Kern::decodeText(bytes));
    if (!isUsableTemplate(*doc))
        return nullptr;
    return doc;
}

// The template of a print run: the first usable file in folders, else the built-in one. A broken
// copy of the user's does not hide the installed one.
std::unique_ptr<QTextDocument> loadTemplate(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (auto found = readTemplate(QDir(folder).filePath(TemplateName)))
            return found;
    }
    return readTemplate(BuiltInTemplate);
}

// Every placeholder "{Feld 21}" ... "{Feld 30}" shows the article number of its type, or nothing.
// All are found before any is replaced, so that an article number that reads like a
// placeholder stays as it is.
void fillHeadings(QTextDocument& page, const Kern::ResultTableModel& grid) {
    const int types = grid.columns().types;
    QList<std::pair<QTextCursor, QString>> found;
    for (int field = FirstHeadingField; field <= LastHeadingField; ++field) {
        const int type = field - FirstHeadingField + 1;
        const QString text = type <= types ? headingText(grid.articleNumber(type)) : QString();
        const QString placeholder = QStringLiteral("{Feld %1}").arg(field);
        for (QTextCursor c = page.find(placeholder, 0, QTextDocument::FindCaseSensitively);
             !c.isNull(); c = page.find(placeholder, c, QTextDocument::FindCaseSensitively))
            found.append({c, text});
    }
    for (auto& [cursor, text] : found) {
        QTextCursor start(cursor);
        start.setPosition(cursor.selectionStart());
        cursor.insertText(withLineBreaks(text), formatAt(start));
    }
}

// Replaces the contents of a cell by text, in the cell's own format; CR LF, CR and LF become line
// breaks within its paragraph, so that every line of the cell has the same height.
void WriteTableCell(QTextTable& table, int row, int column, const QString& text) {
    const QTextTableCell cell = table.cellAt(row, column);
    if (!cell.isValid())
        return;
    QTextCursor cursor = cell.firstCursorPosition();
    QTextCharFormat format = formatAt(cursor);
    format.clearProperty(QTextFormat::ObjectType); // the text of an image, not another image
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    cursor.insertText(withLineBreaks(text), format);
}

} // namespace

BusyPointer::BusyPointer() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_shown = true;
}

BusyPointer::~BusyPointer() {
    release();
}

void BusyPointer::release() {
    if (m_shown)
        QApplication::restoreOverrideCursor();
    m_shown = false;
}

QStringList templateFolders() {
    return DataFolders::searchFolders();
}

PrintRun::PrintRun(const Kern::ResultTableModel& shown, const QStringList& folders)
    : grid(shown), page(loadTemplate(folders)) {
    if (page)
        fillHeadings(*page, grid);
}

QFont printFont() {
    // Liberation Sans has the widths of the font the list was designed with. Latin text goes
    // unshaped, without kerning and ligatures like the printed lists of old, which halves the
    // time of laying out the pages; scripts that need shaping still get it.
    const QString liberation = QStringLiteral("Liberation Sans");
    QFont font(QFontDatabase::hasFamily(liberation) ? liberation : QStringLiteral("Sans Serif"),
               10);
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void PrintResultList(const Kern::ResultTableModel& grid, PrinterChoice& printing, QWidget* parent) {
    if (pageCount(grid) == 0) {
        QMessageBox::information(parent, QStringLiteral("Drucken"),
                                 QStringLiteral("Es sind keine Ergebnisse zum Drucken vorhanden."));
        return;
    }
    PrintRun run(grid);
    // Guarded: a parent that goes while the preview is open takes the preview with it.
    const QPointer<DruBild> preview = new DruBild(printing, parent);
    preview->Dru_Bausteine(run);
    delete preview.data();
}

QTextTable* lastTable(const QTextDocument& doc) {
    // The frames of a document are tables and the frames that hold them; a frame's children
    // lie after its own start, so the last table in document order is found from the back.
    const std::function<QTextTable*(const QTextFrame*)> lastIn = [&](const QTextFrame* frame) {
        const QList<QTextFrame*> children = frame->childFrames();
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            if (QTextTable* inner = lastIn(*it))
                return inner;
            if (auto* table = qobject_cast<QTextTable*>(*it))
                return table;
        }
        return static_cast<QTextTable*>(nullptr);
    };
    return lastIn(doc.rootFrame());
}

int pageCount(const Kern::ResultTableModel& grid) {
    return (std::max(grid.rowCount(), 0) + RowsPerPage - 1) / RowsPerPage;
}

void FillPageTable(const Kern::ResultTableModel& grid, QTextTable& table, int page) {
    const Kern::ResultColumns columns = grid.columns();
    const int first = (page - 1) * RowsPerPage + 1;
    const int last = std::min(first + RowsPerPage - 1, grid.rowCount());
    for (int tableColumn = 0; tableColumn < TableColumns; ++tableColumn) {
        const int column = gridColumn(tableColumn, columns);
        if (column < 0)
            continue;
        QString text;
        for (int r = first; r <= last; ++r) {
            text += LineBreak + grid.cellText(r, column);
            // The blank line after every fifth row counts grid rows, so blocks of five stay
            // aligned across pages whatever the sort order.
            if (r % 5 == 0)
                text += LineBreak;
        }
        WriteTableCell(table, DataRow, tableColumn, text);
    }
}

} // namespace Drucken
