#include "printdocument.h"

#include "safefile.h"
#include "textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

// A field occurrence is a run of text carrying its field number and an occurrence number of
// its own, so that two occurrences side by side stay apart. An empty field text is shown as a
// zero-width space: the run must keep at least one character to be found again.
constexpr int FieldNumberProperty = QTextFormat::UserProperty + 1;
constexpr int FieldOccurrenceProperty = QTextFormat::UserProperty + 2;
constexpr QChar EmptyFieldMark(0x200B);

// No template comes anywhere near this; a larger file is not one of ours.
constexpr qint64 MaxDocumentFileBytes = 4 * 1024 * 1024;

QString withLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

QString shownFieldText(const QString& text) {
    return text.isEmpty() ? QString(EmptyFieldMark) : withLineBreaks(text);
}

// The format of the character at pos; an empty paragraph answers with its own character
// format, the one text typed into it would get.
QTextCharFormat formatAt(const QTextDocument& doc, int pos) {
    const QTextBlock block = doc.findBlock(pos);
    if (!block.isValid())
        return QTextCharFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (pos >= f.position() && pos < f.position() + f.length())
            return f.charFormat();
    }
    return block.charFormat();
}

void collectTables(QTextFrame* frame, QList<QTextTable*>& out) {
    const QList<QTextFrame*> children = frame->childFrames();
    for (QTextFrame* child : children) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            out << table;
        collectTables(child, out);
    }
}

} // namespace

PrintDocument::PrintDocument(QObject* parent)
    : QObject(parent), m_metricsDevice(1, 1, QImage::Format_RGB32),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    // 96 dpi expressed in dots per metre: 96 / 0.0254 = 3779.5, which the image reports back
    // as 96 after rounding.
    m_metricsDevice.setDotsPerMeterX(3780);
    m_metricsDevice.setDotsPerMeterY(3780);
    m_doc.documentLayout()->setPaintDevice(&m_metricsDevice);
    m_doc.setUseDesignMetrics(true);
    m_doc.setUndoRedoEnabled(false);
    m_doc.setDocumentMargin(0);
    QFont font(QStringLiteral("Sans Serif"), 10);
    font.setStyleHint(QFont::SansSerif);
    m_doc.setDefaultFont(font);

    // A German list goes on A4; the wider left margin leaves room for punching or pinning.
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 10, 12),
                         QPageLayout::Millimeter);
    if (!m_printer->setPageLayout(a4))
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    layOutFor(m_printer->pageLayout());

    m_cursor = QTextCursor(&m_doc);
    connect(&m_doc, &QTextDocument::contentsChanged, this, [this] {
        if (m_announce)
            emit changed();
    });
}

PrintDocument::~PrintDocument() {
    settle();
}

// While changes are not announced the document is being built: its edits are gathered into one
// edit block, so the layout follows them once when it is next needed rather than once per edit
// (a page's table would otherwise be laid out again for each of its fifteen cells). Tables of an
// inserted file join the document's frames only when the block closes, so asking for tables
// closes it after such an insertion.
void PrintDocument::gatherEdits() {
    if (!m_announce && !m_editOpen) {
        m_editCursor = QTextCursor(&m_doc);
        m_editCursor.beginEditBlock();
        m_editOpen = true;
    }
}

bool PrintDocument::startEdit() {
    if (m_readOnly)
        return false;
    gatherEdits();
    return true;
}

void PrintDocument::settle() const {
    m_framesPending = false;
    if (m_editOpen) {
        m_editOpen = false;
        m_editCursor.endEditBlock();
    }
}

void PrintDocument::reset() {
    settle();
    m_doc.clear();
    m_cursor = QTextCursor(&m_doc);
    m_pastEnd = false;
    m_fields.clear();
    m_selectedTable = nullptr;
    m_selectedRow = -1;
    m_readOnly = false;
}

void PrintDocument::setSwitches(bool announceChanges, bool pageWidth, bool userEditing) {
    Q_UNUSED(userEditing)
    const bool announceNow = announceChanges && !m_announce;
    if (announceChanges)
        settle();
    m_announce = announceChanges;
    m_pageWidth = pageWidth;
    if (announceNow)
        emit changed();
}

bool PrintDocument::defineField(int number, const QString& placeholder) {
    if (placeholder.isEmpty())
        return false;
    for (auto it = m_fields.begin(); it != m_fields.end();) {
        if (it.key() != number && it->placeholder == placeholder)
            it = m_fields.erase(it);
        else
            ++it;
    }
    m_fields[number].placeholder = placeholder;
    gatherEdits();
    replaceOccurrences(m_doc, number, placeholder);
    return true;
}

void PrintDocument::setFieldText(int number, const QString& text) {
    m_fields[number].text = text;
    gatherEdits();
    applyFieldText(number);
}

void PrintDocument::replaceOccurrences(QTextDocument& doc, int number, const QString& placeholder) {
    const QString shown = shownFieldText(m_fields.value(number).text);
    QTextCursor found = doc.find(placeholder, 0, QTextDocument::FindCaseSensitively);
    while (!found.isNull()) {
        QTextCharFormat format = formatAt(doc, found.selectionStart());
        if (format.hasProperty(FieldNumberProperty)) {
            // Already a field: a field text that happens to read like a placeholder stays.
            found = doc.find(placeholder, found.selectionEnd(), QTextDocument::FindCaseSensitively);
            continue;
        }
        format.setProperty(FieldNumberProperty, number);
        format.setProperty(FieldOccurrenceProperty, m_nextOccurrence++);
        found.insertText(shown, format);
        found = doc.find(placeholder, found.position(), QTextDocument::FindCaseSensitively);
    }
}

void PrintDocument::convertPlaceholders(QTextDocument& doc) {
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        replaceOccurrences(doc, it.key(), it->placeholder);
}

void PrintDocument::applyFieldText(int number) {
    struct Run {
        int start;
        int end;
        int occurrence;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            if (!format.hasProperty(FieldNumberProperty) ||
                format.intProperty(FieldNumberProperty) != number)
                continue;
            const int occurrence = format.intProperty(FieldOccurrenceProperty);
            if (!runs.isEmpty() && runs.last().occurrence == occurrence &&
                runs.last().end == f.position())
                runs.last().end = f.position() + f.length();
            else
                runs.append({f.position(), f.position() + f.length(), occurrence, format});
        }
    }
    const QString shown = shownFieldText(m_fields.value(number).text);
    // From the back, so the positions of the runs still to do stay valid.
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        QTextCursor c(&m_doc);
        c.setPosition(it->start);
        c.setPosition(it->end, QTextCursor::KeepAnchor);
        c.insertText(shown, it->format);
    }
}

bool PrintDocument::readDocumentFile(const QString& fileName, QTextDocument* doc) {
    QByteArray bytes;
    if (!SafeFile::readFile(fileName, &bytes, nullptr, MaxDocumentFileBytes))
        return false;
    doc->setHtml(Kern::DecodeText(bytes));
    return true;
}

bool PrintDocument::insertDocumentFile(const QString& fileName, int option) {
    if (option != 0 || !startEdit())
        return false;
    QTextDocument copy;
    copy.setDefaultFont(m_doc.defaultFont());
    if (!readDocumentFile(fileName, &copy))
        return false;
    convertPlaceholders(copy);

    // The paragraph the copy goes into keeps a page break it was given.
    const auto pageBreak = m_cursor.blockFormat().pageBreakPolicy();
    const int start = m_cursor.selectionStart();
    m_cursor.insertFragment(QTextDocumentFragment(&copy));
    m_framesPending = true;
    if (pageBreak != QTextFormat::PageBreak_Auto) {
        QTextCursor first(&m_doc);
        first.setPosition(start);
        QTextBlockFormat format;
        format.setPageBreakPolicy(pageBreak);
        first.mergeBlockFormat(format);
    }
    m_pastEnd = false;
    return true;
}

void PrintDocument::moveToEnd() {
    m_cursor.movePosition(QTextCursor::End);
    m_pastEnd = true;
}

PrintDocument::Position PrintDocument::position() const {
    return {0, m_pastEnd ? m_doc.characterCount() : m_cursor.position()};
}

bool PrintDocument::setPosition(qint16 part, qint32 offset) {
    if (part != 0 || offset < 0 || offset > m_doc.characterCount())
        return false;
    if (offset == m_doc.characterCount()) {
        moveToEnd();
        return true;
    }
    m_cursor.setPosition(offset);
    m_pastEnd = false;
    return true;
}

void PrintDocument::moveToStart() {
    m_cursor.movePosition(QTextCursor::Start);
    m_pastEnd = false;
}

QList<QTextTable*> PrintDocument::tables() const {
    if (m_framesPending)
        settle();
    QList<QTextTable*> list;
    collectTables(m_doc.rootFrame(), list);
    std::stable_sort(list.begin(), list.end(), [](QTextTable* a, QTextTable* b) {
        return a->firstPosition() < b->firstPosition();
    });
    return list;
}

int PrintDocument::tableCount() const {
    return int(tables().size());
}

bool PrintDocument::selectTablePart(int selector, qint32 number) {
    switch (selector) {
    case SelectTable: {
        const QList<QTextTable*> list = tables();
        if (number < 0 || number >= list.size())
            return false;
        m_selectedTable = list.at(number);
        m_selectedRow = -1;
        m_cursor = m_selectedTable->cellAt(0, 0).firstCursorPosition();
        break;
    }
    case SelectRow:
        if (!m_selectedTable || number < 0 || number >= m_selectedTable->rows())
            return false;
        m_selectedRow = number;
        m_cursor = m_selectedTable->cellAt(number, 0).firstCursorPosition();
        break;
    case SelectColumn: {
        if (!m_selectedTable || m_selectedRow < 0 || m_selectedRow >= m_selectedTable->rows() ||
            number < 0 || number >= m_selectedTable->columns())
            return false;
        const QTextTableCell cell = m_selectedTable->cellAt(m_selectedRow, number);
        if (!cell.isValid())
            return false;
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        m_cursor = c;
        break;
    }
    default:
        return false;
    }
    m_pastEnd = false;
    return true;
}

bool PrintDocument::insertText(const QString& text, int option) {
    if (option != 0 || !startEdit())
        return false;
    QTextCharFormat format = m_cursor.hasSelection() ? formatAt(m_doc, m_cursor.selectionStart())
                                                     : m_cursor.charFormat();
    format.clearProperty(FieldNumberProperty);
    format.clearProperty(FieldOccurrenceProperty);
    format.clearProperty(QTextFormat::ObjectType);
    m_cursor.insertText(withLineBreaks(text), format);
    m_pastEnd = false;
    return true;
}

bool PrintDocument::pageQuery() {
    settle();
    if (m_doc.isEmpty())
        return true;
    const double pageHeight = m_doc.pageSize().height();
    if (!(pageHeight > 0))
        return false;
    const QTextBlock block = m_cursor.block();
    double y = m_doc.documentLayout()->blockBoundingRect(block).top();
    if (const QTextLayout* layout = block.layout()) {
        const QTextLine line = layout->lineForTextPosition(m_cursor.positionInBlock());
        if (line.isValid()) {
            // Text before the insertion point on its line would come first on the page.
            if (m_cursor.positionInBlock() > line.textStart())
                return false;
            y += line.y();
        }
    }
    const double onPage = y - std::floor(y / pageHeight) * pageHeight;
    return onPage < 0.5;
}

bool PrintDocument::insertPageBreak() {
    if (!startEdit())
        return false;
    QTextBlockFormat format = m_cursor.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (!m_cursor.hasSelection() && m_cursor.block().length() <= 1) {
        // An empty paragraph moves to the new page itself rather than leaving an empty line.
        m_cursor.setBlockFormat(format);
    } else {
        m_cursor.clearSelection();
        m_cursor.insertBlock(format);
    }
    m_pastEnd = false;
    return true;
}

void PrintDocument::layOut(bool wholeDocument) {
    settle();
    if (wholeDocument)
        m_doc.pageCount(); // runs the layout to the end
}

void PrintDocument::layOutFor(const QPageLayout& layout) {
    const QSizeF points = layout.paintRect(QPageLayout::Point).size();
    const QSizeF size = points * (LayoutDpi / 72.0);
    if (size != m_doc.pageSize())
        m_doc.setPageSize(size);
}

int PrintDocument::pageCount() {
    settle();
    return m_doc.pageCount();
}

bool PrintDocument::printTo(QPrinter* printer) {
    if (!printer)
        return false;
    settle();
    layOutFor(printer->pageLayout());
    if (printer->docName().isEmpty())
        printer->setDocName(m_doc.metaInformation(QTextDocument::DocumentTitle));
    const int pages = m_doc.pageCount();
    int first = 1;
    int last = pages;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = std::clamp(printer->fromPage(), 1, pages);
        last = std::clamp(printer->toPage() > 0 ? printer->toPage() : pages, first, pages);
    }

    QPainter painter;
    if (!painter.begin(printer))
        return false;
    painter.scale(printer->logicalDpiX() / LayoutDpi, printer->logicalDpiY() / LayoutDpi);
    const QSizeF page = m_doc.pageSize();
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    bool ok = true;
    for (int p = first; p <= last && ok; ++p) {
        if (p > first)
            ok = printer->newPage();
        const QRectF area(0, (p - 1) * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -area.top());
        painter.setClipRect(area);
        context.clip = area;
        m_doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    ok = painter.end() && ok;
    return ok && printer->printerState() != QPrinter::Error;
}

PrintDocument::PrintOutcome PrintDocument::print(QWidget* parent) {
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    return printTo(m_printer.get()) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

bool PrintDocument::printerSetup(QWidget* parent) {
    QPageSetupDialog dialog(m_printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    layOutFor(m_printer->pageLayout());
    return true;
}

QString PrintDocument::visibleText(QString text) {
    text.remove(EmptyFieldMark);
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

QString PrintDocument::tableCellText(int table, int row, int column) const {
    const QList<QTextTable*> list = tables();
    if (table < 0 || table >= list.size())
        return QString();
    const QTextTableCell cell = list.at(table)->cellAt(row, column);
    if (!cell.isValid())
        return QString();
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return visibleText(c.selectedText());
}

QString PrintDocument::plainText() const {
    return m_doc.toPlainText().remove(EmptyFieldMark);
}
