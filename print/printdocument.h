#pragma once

#include <QImage>
#include <QMap>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

class QPrinter;
class QTextTable;
class QWidget;

// The rich-text document the print preview shows and prints: a paginated QTextDocument with
// an insertion point, numbered fields, table selection and page breaks. Its file format is
// Qt's rich-text HTML subset (read as UTF-8, or Windows-1252 when the bytes are no UTF-8).
//
// Fields: a placeholder text registered under a field number is replaced wherever it occurs,
// now and in every document inserted later, by the field's current text; changing the text
// changes every occurrence.
//
// Layout happens at 96 dots per inch in a page of the printer's printable size, so the preview
// and every printer see the same line breaks and the same page breaks.
class PrintDocument : public QObject {
    Q_OBJECT
public:
    // Where the insertion point is: part 0 is the main text, the only part there is; offset is
    // the character position, from 0 to characterCount() (one behind the final paragraph end).
    struct Position {
        qint16 part = 0;
        qint32 offset = 0;
    };

    // Selectors of selectTablePart.
    enum TablePart { SelectTable = 5, SelectRow = 6, SelectColumn = 7 };

    enum class PrintOutcome { Printed, Cancelled, Failed };

    static constexpr double LayoutDpi = 96.0;

    explicit PrintDocument(QObject* parent = nullptr);
    ~PrintDocument() override;
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;

    // Empties the document, forgets every field and lifts the read-only state.
    void reset();
    // announceChanges: emit changed() for edits (off while a document is being built, so views
    // do not redraw for every cell); turning it on announces once. pageWidth: views fit the
    // page width, for reading, rather than whole pages. userEditing has no counterpart here: no
    // view of this document lets the user type into it.
    void setSwitches(bool announceChanges, bool pageWidth, bool userEditing);
    bool pageWidthView() const { return m_pageWidth; }

    // Registers placeholder as field number (any later definition of the same placeholder
    // wins) and turns every occurrence already in the document into that field.
    bool defineField(int number, const QString& placeholder);
    // Shows text at every occurrence of the field, present and future.
    void setFieldText(int number, const QString& text);

    // Inserts a copy of a document file at the insertion point (option 0, the only one) and
    // leaves the insertion point behind it. False when the file cannot be read.
    bool insertDocumentFile(const QString& fileName, int option = 0);
    // Reads a file of this document format into doc; false when it cannot be read (missing,
    // unreadable, or larger than any template could sensibly be).
    static bool readDocumentFile(const QString& fileName, QTextDocument* doc);

    void moveToEnd();
    Position position() const;
    bool setPosition(qint16 part, qint32 offset);
    void moveToStart();

    int tableCount() const;
    // Selector 5 picks a table, 6 a row of it, 7 a cell of that row (all counted from 0 in
    // document order); after the third step the cell's contents are selected, so inserted text
    // replaces them. False, and the insertion point stays, when the number does not exist.
    bool selectTablePart(int selector, qint32 number);

    // Inserts plain text (option 0, the only one); CR LF, CR and LF become line breaks within
    // the paragraph, so a cell keeps one line height throughout.
    bool insertText(const QString& text, int option = 0);

    // True when nothing precedes the insertion point on its page (or the document is empty),
    // so a page break there would only add an empty page.
    bool pageQuery();
    // The text behind the insertion point starts on a new page.
    bool insertPageBreak();

    // Finishing: lays the whole document out now (wholeDocument) rather than page by page as
    // views ask for them.
    void layOut(bool wholeDocument);
    // While read-only, no text, file or page break is inserted; reset() lifts it.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    // The print dialog (printer or PDF file), then printing; Failed when the printer could not
    // be opened or reported an error.
    PrintOutcome print(QWidget* parent);
    // The page set-up dialog for the printer; true when accepted.
    bool printerSetup(QWidget* parent);

    // Renders the pages (the printer's page range, else all) into printer; lays the document
    // out for that printer's page first. False when the printer cannot be opened or fails.
    bool printTo(QPrinter* printer);
    QPrinter* printer() const { return m_printer.get(); }
    int pageCount();

    // Texts as shown, fields with their current texts: a cell's lines joined by CR LF, the
    // whole document's lines by LF.
    QString tableCellText(int table, int row, int column) const;
    QString plainText() const;

    QTextDocument* textDocument() { return &m_doc; }

signals:
    void changed();

private:
    // Gives the document the page of that layout; the printer's own layout stays.
    void layOutFor(const QPageLayout& layout);
    QList<QTextTable*> tables() const;
    void convertPlaceholders(QTextDocument& doc);
    void replaceOccurrences(QTextDocument& doc, int number, const QString& placeholder);
    void applyFieldText(int number);
    void gatherEdits();
    bool startEdit();    // false while read-only
    void settle() const; // closes the gathered edits, so layout and frames are up to date
    static QString visibleText(QString text);

    struct Field {
        QString placeholder;
        QString text;
    };

    QImage m_metricsDevice; // gives the layout its fixed resolution
    QTextDocument m_doc;
    std::unique_ptr<QPrinter> m_printer;
    QTextCursor m_cursor;
    bool m_pastEnd = false;
    QMap<int, Field> m_fields;
    int m_nextOccurrence = 1;
    QPointer<QTextTable> m_selectedTable;
    int m_selectedRow = -1;
    bool m_announce = true;
    mutable QTextCursor m_editCursor;
    mutable bool m_editOpen = false;
    mutable bool m_framesPending = false;
    bool m_pageWidth = true;
    bool m_readOnly = false;
};
