// The preview's pages: building them from the template, where they break, and printing them.
#include "drubild.h"

#include <QAbstractTextDocumentLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

constexpr double LayoutDpi = 96.0;
// Marks the paragraphs that start a copy of the template on a new page.
constexpr int PageBreakMark = QTextFormat::UserProperty + 1;

void setPageBreak(const QTextBlock& block, QTextFormat::PageBreakFlags policy) {
    QTextBlockFormat format = block.blockFormat();
    if (format.pageBreakPolicy() == policy)
        return;
    format.setPageBreakPolicy(policy);
    QTextCursor(block).setBlockFormat(format);
}

// Inserts a copy of the template at the end of the document, on a new page when newPage.
void insertCopy(QTextCursor& cursor, const QTextDocumentFragment& copy, bool newPage) {
    cursor.movePosition(QTextCursor::End);
    if (newPage) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setProperty(PageBreakMark, true);
        // An empty paragraph moves to the new page itself rather than leaving an empty line; the
        // copy's first paragraph goes into it and keeps the break.
        if (cursor.block().length() <= 1)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
    }
    cursor.insertFragment(copy);
}

} // namespace

bool DruBild::buildPages(const Drucken::PrintRun& run) {
    if (!run.page)
        return false;
    // Laid out, the document would follow every copy and every cell as it is written. With a
    // page of size 0 x 0 Qt lays out nothing, so the finished document is laid out once.
    m_doc.setPageSize(QSizeF(0, 0));
    const QTextDocumentFragment copy(run.page.get());
    QTextCursor cursor(&m_doc);
    const int pages = Drucken::pageCount(run.grid);
    for (int page = 1; page <= pages; ++page) {
        insertCopy(cursor, copy, page > 1);
        Drucken::FillPageTable(run.grid, *Drucken::lastTable(m_doc), page);
    }
    m_doc.setPageSize(m_pageSize);
    placePageBreaks();
    m_doc.pageCount(); // lays the whole document out now, not page by page as the preview asks
    return true;
}

void DruBild::layOutFor(const QPageLayout& layout) {
    const QSizeF size = layout.paintRect(QPageLayout::Point).size() * (LayoutDpi / 72.0);
    if (size == m_pageSize)
        return;
    m_pageSize = size;
    m_doc.setPageSize(size);
    placePageBreaks();
}

// Qt starts a new page for a break even where the text is at the top of one already (after a
// copy that fills its page exactly): the page before stays empty. Which breaks do that depends
// on the size of the page, so they are found anew for every page size.
void DruBild::placePageBreaks() {
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().hasProperty(PageBreakMark))
            continue;
        setPageBreak(block, QTextFormat::PageBreak_AlwaysBefore);
        if (leavesPageEmpty(block))
            setPageBreak(block, QTextFormat::PageBreak_Auto);
    }
}

bool DruBild::leavesPageEmpty(const QTextBlock& block) const {
    const double pageHeight = m_doc.pageSize().height();
    const QTextBlock previous = block.previous();
    if (!(pageHeight > 0))
        return false;
    QAbstractTextDocumentLayout* layout = m_doc.documentLayout();
    const double top = layout->blockBoundingRect(block).top();
    // Where the text before the block ends: a table as a whole, or -1 when there is none.
    double bottomBefore = -1;
    if (previous.isValid()) {
        QTextFrame* frame = m_doc.frameAt(previous.position());
        if (frame == m_doc.rootFrame()) {
            bottomBefore = layout->blockBoundingRect(previous).bottom();
        } else {
            while (frame->parentFrame() != m_doc.rootFrame())
                frame = frame->parentFrame();
            bottomBefore = layout->frameBoundingRect(frame).bottom();
        }
    }
    const int page = int(std::floor((top + 0.5) / pageHeight));
    const int lastUsed = bottomBefore < 0 ? -1 : int(std::floor((bottomBefore - 0.5) / pageHeight));
    return page - lastUsed >= 2;
}

bool DruBild::printOn(QPrinter* printer) {
    const bool ok = drawPages(printer);
    if (!ok)
        QMessageBox::warning(this, QStringLiteral("Drucken"),
                             QStringLiteral("Der Druck konnte nicht ausgeführt werden."),
                             QMessageBox::Ok);
    return ok;
}

bool DruBild::drawPages(QPrinter* printer) {
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
