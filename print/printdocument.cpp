#include "printdocument.h"

#include "safefile.h"
#include "textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontDatabase>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

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

// A cursor that selects everything in the cell.
QTextCursor cellContents(const QTextTableCell& cell) {
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c;
}

} // namespace

QVariant SelfContainedDocument::loadResource(int type, const QUrl& name) {
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
        return QTextDocument::loadResource(type, name);
    return QVariant();
}

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
    m_doc.setDefaultFont(printFont());

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

PrintDocument::~PrintDocument() = default;

QFont PrintDocument::printFont() {
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

QList<QTextTable*> PrintDocument::tablesOf(const QTextDocument& doc) {
    QList<QTextTable*> list;
    collectTables(doc.rootFrame(), list);
    std::stable_sort(list.begin(), list.end(), [](QTextTable* a, QTextTable* b) {
        return a->firstPosition() < b->firstPosition();
    });
    return list;
}

void PrintDocument::reset() {
    m_doc.clear();
    m_cursor = QTextCursor(&m_doc);
    m_pastEnd = false;
    m_fields.clear();
    m_selectedTable = nullptr;
    m_selectedRow = -1;
    m_tablesKnown = false;
    m_readOnly = false;
}

void PrintDocument::setSwitches(bool announceChanges, bool pageWidth, bool userEditing) {
    Q_UNUSED(userEditing)
    const bool announceNow = announceChanges && !m_announce;
    m_announce = announceChanges;
    m_pageWidth = pageWidth;
    setLayoutDetached(!announceChanges);
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
    replaceOccurrences(m_doc, number, placeholder);
    return true;
}

void PrintDocument::setFieldText(int number, const QString& text) {
    m_fields[number].text = text;
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
    doc->setHtml(Kern::decodeText(bytes));
    return true;
}

bool PrintDocument::insertDocumentFile(const QString& fileName, int option) {
    if (option != 0 || m_readOnly)
        return false;
    SelfContainedDocument copy;
    copy.setDefaultFont(m_doc.defaultFont());
    return readDocumentFile(fileName, &copy) && insertCopy(copy);
}

bool PrintDocument::insertDocument(const QTextDocument& source) {
    if (m_readOnly)
        return false;
    const std::unique_ptr<QTextDocument> copy(source.clone());
    return insertCopy(*copy);
}

bool PrintDocument::insertCopy(QTextDocument& copy) {
    // Every copy gets occurrence numbers of its own.
    convertPlaceholders(copy);

    // The paragraph the copy goes into keeps a page break it was given.
    const QTextBlockFormat target = m_cursor.blockFormat();
    const int start = m_cursor.selectionStart();
    m_cursor.insertFragment(QTextDocumentFragment(&copy));
    m_tablesKnown = false;
    if (target.pageBreakPolicy() != QTextFormat::PageBreak_Auto) {
        QTextCursor first(&m_doc);
        first.setPosition(start);
        QTextBlockFormat format;
        format.setPageBreakPolicy(target.pageBreakPolicy());
        if (target.hasProperty(PageBreakMarkProperty))
            format.setProperty(PageBreakMarkProperty, true);
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

// Tables are added only by inserted documents; one removed with the text around it leaves a
// null pointer behind.
const QList<QPointer<QTextTable>>& PrintDocument::tables() const {
    if (!m_tablesKnown || m_tables.contains(nullptr)) {
        m_tables.clear();
        for (QTextTable* table : tablesOf(m_doc))
            m_tables << table;
        m_tablesKnown = true;
    }
    return m_tables;
}
int PrintDocument::tableCount() const {
    return int(tables().size());
}

bool PrintDocument::selectTablePart(int selector, qint32 number) {
    switch (selector) {
    case SelectTable: {
        const QList<QPointer<QTextTable>>& list = tables();
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
        m_cursor = cellContents(cell);
        break;
    }
    default:
        return false;
    }
    m_pastEnd = false;
    return true;
}

bool PrintDocument::insertText(const QString& text, int option) {
    if (option != 0 || m_readOnly)
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

QString PrintDocument::visibleText(QString text) {
    text.remove(EmptyFieldMark);
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

QString PrintDocument::tableCellText(int table, int row, int column) const {
    const QList<QPointer<QTextTable>>& list = tables();
    if (table < 0 || table >= list.size())
        return QString();
    const QTextTableCell cell = list.at(table)->cellAt(row, column);
    if (!cell.isValid())
        return QString();
    return visibleText(cellContents(cell).selectedText());
}

QString PrintDocument::plainText() const {
    return m_doc.toPlainText().remove(EmptyFieldMark);
}
