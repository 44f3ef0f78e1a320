// Pages: when the document is laid out, where its pages break, and printing them.
#include "printdocument.h"

#include "printerchoice.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextFrame>

#include <algorithm>
#include <cmath>

namespace {

// True when nothing precedes cursor on its page in doc's layout.
bool startsPage(const QTextDocument& doc, const QTextCursor& cursor) {
    const double pageHeight = doc.pageSize().height();
    if (!(pageHeight > 0))
        return false;
    const QTextBlock block = cursor.block();
    double y = doc.documentLayout()->blockBoundingRect(block).top();
    if (const QTextLayout* layout = block.layout()) {
        const QTextLine line = layout->lineForTextPosition(cursor.positionInBlock());
        if (line.isValid()) {
            // Text before the insertion point on its line would come first on the page.
            if (cursor.positionInBlock() > line.textStart())
                return false;
            y += line.y();
        }
    }
    const double onPage = y - std::floor(y / pageHeight) * pageHeight;
    return onPage < 0.5;
}

} // namespace

// Laid out, the document would follow every edit while it is built: each template copy and each
// filled table as it changes, and the flow before them walked again after every page. With a
// page of size 0 x 0 Qt lays out nothing, so the finished document is laid out once.
void PrintDocument::setLayoutDetached(bool detached) {
    if (detached == m_layoutDetached)
        return;
    m_layoutDetached = detached;
    m_doc.setPageSize(detached ? QSizeF(0, 0) : m_pageSize);
    if (!detached)
        dropEmptyPageBreaks();
}

bool PrintDocument::pageQuery() {
    if (m_doc.isEmpty())
        return true;
    setLayoutDetached(false);
    return startsPage(m_doc, m_cursor);
}

bool PrintDocument::insertPageBreak() {
    if (m_readOnly)
        return false;
    QTextBlockFormat format = m_cursor.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    format.setProperty(PageBreakMarkProperty, true);
    if (!m_cursor.hasSelection() && m_cursor.block().length() <= 1) {
        // An empty paragraph moves to the new page itself rather than leaving an empty line.
        m_cursor.setBlockFormat(format);
    } else {
        m_cursor.clearSelection();
        m_cursor.insertBlock(format);
    }
    m_pastEnd = false;
    if (!m_layoutDetached)
        dropBreakIfPageBeforeEmpty(m_cursor.block());
    return true;
}

void PrintDocument::dropEmptyPageBreaks() {
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(PageBreakMarkProperty))
            dropBreakIfPageBeforeEmpty(block);
    }
}

// Qt starts a new page for a break even where the text is at the top of one already (after a
// table that fills its page exactly, or at the very start); the page before then stays empty.
bool PrintDocument::dropBreakIfPageBeforeEmpty(const QTextBlock& block) {
    const double pageHeight = m_doc.pageSize().height();
    if (!(pageHeight > 0))
        return false;
    const double top = m_doc.documentLayout()->blockBoundingRect(block).top();
    const double bottomBefore = contentBottomBefore(block);
    const int page = int(std::floor((top + 0.5) / pageHeight));
    const int lastUsed = bottomBefore < 0 ? -1 : int(std::floor((bottomBefore - 0.5) / pageHeight));
    if (page - lastUsed < 2)
        return false;
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    format.clearProperty(PageBreakMarkProperty);
    QTextCursor(block).setBlockFormat(format);
    return true;
}

// Where the laid-out text before block ends (a table as a whole), or -1 when nothing precedes it.
double PrintDocument::contentBottomBefore(const QTextBlock& block) const {
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return -1;
    QAbstractTextDocumentLayout* layout = m_doc.documentLayout();
    QTextFrame* frame = m_doc.frameAt(previous.position());
    if (frame == m_doc.rootFrame())
        return layout->blockBoundingRect(previous).bottom();
    while (frame->parentFrame() != m_doc.rootFrame())
        frame = frame->parentFrame();
    return layout->frameBoundingRect(frame).bottom();
}

void PrintDocument::layOut(bool wholeDocument) {
    setLayoutDetached(false);
    if (wholeDocument)
        m_doc.pageCount(); // runs the layout to the end
}

void PrintDocument::layOutFor(const QPageLayout& layout) {
    const QSizeF points = layout.paintRect(QPageLayout::Point).size();
    m_pageSize = points * (LayoutDpi / 72.0);
    if (!m_layoutDetached && m_pageSize != m_doc.pageSize())
        m_doc.setPageSize(m_pageSize);
}

int PrintDocument::pageCount() {
    setLayoutDetached(false);
    return m_doc.pageCount();
}

bool PrintDocument::printTo(QPrinter* printer) {
    if (!printer)
        return false;
    setLayoutDetached(false);
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
    const PrinterChoice before(*m_printer);
    if (!choosePrinter(*m_printer, parent))
        return false;
    QPageSetupDialog dialog(m_printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        before.restore(*m_printer);
        return false;
    }
    layOutFor(m_printer->pageLayout());
    return true;
}
