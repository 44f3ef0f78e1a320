#pragma once

#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

class QPrinter;
class QTextBlock;
class QTextTable;
class QWidget;

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

    // The font of the printed list where the document names none.
    static QFont printFont();
    // Every table of doc in document order, a nested table after the one it sits in.
    static QList<QTextTable*> tablesOf(const QTextDocument& doc);

    // Empties the document, forgets every field and lifts the read-only state.
    void reset();
    // announceChanges off: the document is being built. Edits are neither announced (views do
    // not redraw for every cell) nor laid out; the layout follows once, when the switch is
    // turned on again or something needs it (page count, printing). pageWidth: views fit the
    // page width, for reading, rather than whole pages. userEditing has no counterpart here: no
    // view of this document lets the user type into it.
    void setSwitches(bool announceChanges, bool pageWidth, bool userEditing);
    bool pageWidthView() const { return m_pageWidth; }

    // Registers placeholder as field number (any later definition of the same placeholder
    // wins) and turns every occurrence already in the document into that field.
    bool defineField(int number, const QString& placeholder);
    // Shows text at every occurrence of the field, present and future.
    void setFieldText(int number, const QString& text);

    // Inserts a copy of source at the insertion point and leaves the insertion point behind it.
    bool insertDocument(const QTextDocument& source);
    // The same for a document file (option 0, the only one). False when the file cannot be read.
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
    // so a page break there would only add an empty page. Asks for the layout, which ends the
    // detachment of setSwitches as printing does.
    bool pageQuery();
    // The text behind the insertion point starts on a new page. A break where the text starts
    // a page anyway never adds an empty page; while the document is being built, which such a
    // break is shows when it is laid out, and the break goes then.
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
    // The choice of printer, then the page set-up of that printer; true when both were
    // accepted. Cancelling either keeps the set-up as it was.
    bool printerSetup(QWidget* parent);

    // Renders the pages (the printer's page range, else all) into printer; lays the document
    // out for that printer's page first. False when the printer cannot be opened or fails.
    bool printTo(QPrinter* printer);
    QPrinter* printer() const { return m_printer.get(); }
    // Gives the document the page of that layout; the printer's own layout stays.
    void layOutFor(const QPageLayout& layout);
    int pageCount();

    // Texts as shown, fields with their current texts: a cell's lines joined by CR LF, the
    // whole document's lines by LF.
    QString tableCellText(int table, int row, int column) const;
    QString plainText() const;

    QTextDocument* textDocument() { return &m_doc; }

signals:
    void changed();

private:
    // Marks the paragraphs that insertPageBreak moved to a new page.
    static constexpr int PageBreakMarkProperty = QTextFormat::UserProperty + 3;

    void setLayoutDetached(bool detached);
    void dropEmptyPageBreaks();
    bool dropBreakIfPageBeforeEmpty(const QTextBlock& block);
    double contentBottomBefore(const QTextBlock& block) const;
    const QList<QPointer<QTextTable>>& tables() const;
    bool insertCopy(QTextDocument& copy); // callers refuse a read-only document first
    void convertPlaceholders(QTextDocument& doc);
    void replaceOccurrences(QTextDocument& doc, int number, const QString& placeholder);
    void applyFieldText(int number);
    static QString visibleText(QString text);

    struct Field {
        QString placeholder;
        QString text;
    };

    QImage m_metricsDevice; // gives the layout its fixed resolution
    SelfContainedDocument m_doc;
    QSizeF m_pageSize; // the document's page, also while its layout is detached
    bool m_layoutDetached = false;
    std::unique_ptr<QPrinter> m_printer;
    QTextCursor m_cursor;
    bool m_pastEnd = false;
    QMap<int, Field> m_fields;
    int m_nextOccurrence = 1;
    QPointer<QTextTable> m_selectedTable;
    int m_selectedRow = -1;
    mutable QList<QPointer<QTextTable>> m_tables; // known while m_tablesKnown
    mutable bool m_tablesKnown = false;
    bool m_announce = true;
    bool m_pageWidth = true;
    bool m_readOnly = false;
};
