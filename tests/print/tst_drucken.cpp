// Printing the result table: pages of fifty rows, the columns, the template and its override,
// the preview window, where pages break and printing them.
#include "accessibility.h"
#include "datarow.h"
#include "filefaults.h"
#include "modalhelper.h"
#include "resultfixture.h"

#include <QtPrintSupport>
#include <QtTest>

namespace {
const QString CrLf = QStringLiteral("\r\n");

QStringList split(const QString& text) {
    return text.split(CrLf);
}

// A cell's text as printed, its lines joined by CR LF; table counts the tables of doc from 0.
QString cellText(const QTextDocument& doc, int table, int row, int column) {
    QList<QTextTable*> tables;
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* t = qobject_cast<QTextTable*>(frame))
            tables << t;
    }
    const QTextTableCell cell =
        tables.value(table) ? tables[table]->cellAt(row, column) : QTextTableCell();
    if (!cell.isValid())
        return QStringLiteral("(no cell)");
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::LineSeparator, CrLf);
}

// A form the printout can fill, "Werkstattliste" above its table of a heading and a data row,
// extra between the two.
QByteArray form(int columns, const QByteArray& extra = QByteArray(), int rows = 2) {
    const QByteArray heading = "<tr><td>-</td><td>-</td><td>-</td><td>{Feld 21}</td>" +
                               QByteArray("<td>-</td>").repeated(columns - 4) + "</tr>";
    const QByteArray data = "<tr>" + QByteArray("<td>&nbsp;</td>").repeated(columns) + "</tr>";
    return "<p>Werkstattliste</p>" + extra + "<table>" + heading + data.repeated(rows - 1) +
           "</table>";
}

// The text of every page of a PDF, as pdftotext lays it out.
QStringList pdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"});
    if (!p.waitForFinished(60000))
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    pages.removeLast(); // a form feed ends every page
    return pages;
}

// The running numbers that begin the lines of a page's text, as "first-last" when they count up
// one by one.
QString printedRows(const QString& page) {
    QList<int> numbers;
    for (const QString& line : page.split('\n')) {
        bool number = false;
        const int n = line.simplified().section(' ', 0, 0).toInt(&number);
        if (number && !numbers.isEmpty() && n != numbers.last() + 1)
            return QStringLiteral("out of order");
        if (number)
            numbers << n;
    }
    return numbers.isEmpty() ? QStringLiteral("none")
                             : QStringLiteral("%1-%2").arg(numbers.first()).arg(numbers.last());
}

// A printer that writes a PDF file on A4 with the program's margins, or, with a pageHeight in
// pixels at 96 dpi, on a page of that height as wide as A4 within those margins.
std::unique_ptr<QPrinter> pdfPrinter(const QString& file, double pageHeight = 0) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 10, 12),
                         QPageLayout::Millimeter);
    const QSizeF page(a4.paintRect(QPageLayout::Point).width(), pageHeight * 72 / 96);
    printer->setPageLayout(pageHeight > 0 ? QPageLayout(QPageSize(page, QPageSize::Point),
                                                        QPageLayout::Portrait, QMarginsF())
                                          : a4);
    return printer;
}

} // namespace

class TestDrucken : public QObject {
    Q_OBJECT
private slots:
    void pages_data() {
        // lines, lastLines: the number of lines of running numbers in the last page's table, and
        // the last of them
        dataColumns<int, int, int, QStringList>({"k", "pages", "lines", "lastLines"});
        dataRow("seven rows in blocks of five", 7, 1, 9,
                QStringList{"", "1", "2", "3", "4", "5", "", "6", "7"});
        dataRow("fifty rows fill one page", 50, 1, 61,
                QStringList{"45", "", "46", "47", "48", "49", "50", ""});
        dataRow("row 51 alone on page two", 51, 2, 2, QStringList{"", "51"});
    }
    void pages() {
        QFETCH(int, k);
        QFETCH(int, pages);
        QFETCH(int, lines);
        QFETCH(QStringList, lastLines);
        fillResults(m_grid, 8, k);
        Printout printout(m_grid, m_noOverride.path());
        const QTextDocument& doc = printout.build();
        QCOMPARE(doc.rootFrame()->childFrames().size(), pages); // a table each
        QCOMPARE(doc.pageCount(), pages);                       // A4
        const QStringList numbers = cellText(doc, pages - 1, 1, 0).split(CrLf);
        QCOMPARE(numbers.size(), lines);
        QCOMPARE(numbers.mid(lines - lastLines.size()), lastLines);
    }

    // The command: a preview of two pages for 60 rows in the print font, drawn and shown with
    // the normal pointer, filling its client area at any size, every control named for a screen
    // reader, gone with its document after "&Beenden".
    void printResultList() {
        fillResults(m_grid, 4, 60);
        QStringList seen;
        QPointer<QWidget> shown;
        TestHelp::answerModal([&](QWidget* modal) {
            shown = modal;
            auto* w = qobject_cast<DruBild*>(modal);
            if (!w) {
                modal->close();
                return;
            }
            seen << QString::number(w->HighEdit1->pageCount())
                 << (QApplication::overrideCursor() ? "busy" : "normal")
                 << QFontInfo(w->findChild<SelfContainedDocument*>()->defaultFont()).family();
            for (const QSize size : {QSize(1200, 900), QSize(320, 200)}) {
                w->resize(size);
                const int menu = w->findChild<QMenuBar*>()->height();
                if (w->HighEdit1->geometry() != QRect(QPoint(0, menu), w->rect().bottomRight()))
                    seen << "not filled";
            }
            seen << unnamedOrSharedControls(w); // a screen reader names every control
            w->findChild<QAction*>(QStringLiteral("Menu_DateiEnde"))->trigger();
        });
        PrinterChoice printing;
        Drucken::PrintResultList(m_grid, printing);
        // Liberation Sans has the widths of the font the list was designed with.
        const QString font = QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))
                                 ? QStringLiteral("Liberation Sans")
                                 : seen.value(2);
        QCOMPARE(seen, (QStringList{"2", "normal", font}));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(shown.isNull());
    }

    // A run gives back its busy pointer once, whether it ends early or after its pages, and
    // leaves a pointer set by someone else alone.
    void busyPointerGoesWithTheRun() {
        QApplication::setOverrideCursor(Qt::CrossCursor);
        {
            Drucken::PrintRun run(m_grid);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        {
            Drucken::PrintRun run(m_grid);
            run.busy.release();
            run.busy.release();
        }
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
    }

    // The type columns fill from the left, pieces and price always go to the last two columns;
    // the rows print in the order the grid shows them.
    void columns() {
        fillResults(m_grid, 8, 3);
        {
            Printout printout(m_grid, m_noOverride.path());
            const QTextDocument& doc = printout.build();
            QCOMPARE(cellText(doc, 0, 1, 1), CrLf + "1000,1" + CrLf + "1000,2" + CrLf + "1000,0");
            QCOMPARE(cellText(doc, 0, 1, 2), CrLf + "0,1" + CrLf + "0,2" + CrLf + "0,0");
            QCOMPARE(cellText(doc, 0, 1, 10), CrLf + CrLf + "1" + CrLf + "2"); // type 8
            for (int c : {11, 12}) {
                QCOMPARE(cellText(doc, 0, 1, c), QChar(QChar::Nbsp)); // as in the template
                QCOMPARE(cellText(doc, 0, 0, c), QString());          // {Feld 29}, {Feld 30}
            }
            QCOMPARE(cellText(doc, 0, 1, 13), CrLf + "11" + CrLf + "12" + CrLf + "13");
            QCOMPARE(cellText(doc, 0, 1, 14), CrLf + "7,75" + CrLf + "5,25" + CrLf + "2,75");
            QVERIFY(!doc.toPlainText().contains(QStringLiteral("{Feld")));
        }
        fillResults(m_grid, 3, 12);
        m_grid.sortRows(m_grid.columns().price(), true); // cheapest first
        Printout printout(m_grid, m_noOverride.path());
        const QTextDocument& doc = printout.build();
        QCOMPARE(split(cellText(doc, 0, 1, 0)),
                 QString("|12|11|10|9|8||7|6|5|4|3||2|1").split('|'));
        QCOMPARE(split(cellText(doc, 0, 1, 14)).mid(0, 3), QString("|2,75|5,25").split('|'));
    }

    // A user's own template is used only when it is a form the printout can fill, and
    // it is read once a run: a change while the pages are built changes none of them.
    void overrideTemplate_data() {
        // content empty: a folder of that name
        dataColumns<QByteArray, bool>({"content", "used"});
        const QByteArray table30 = "<tr>" + QByteArray("<td>-</td>").repeated(30) + "</tr>";
        dataRow("valid override used", form(15), true);
        dataRow("fourteen columns", form(14), false);
        dataRow("sixteen columns", form(16), false);
        dataRow("a heading row without a data row", form(15, {}, 1), false);
        dataRow("unreadable: a folder", QByteArray(), false);
        dataRow("a file of megabytes", form(15) + "<!--" + QByteArray(300 * 1024, 'x') + "-->",
                false);
        dataRow("hundreds of table rows", form(15, {}, 300), false);
        dataRow("far more cells than a form needs",
                form(15, "<table>" + table30.repeated(30) + "</table>"), false);
        dataRow("a table in a table",
                form(15, "<table><tr><td><table><tr><td>-</td></tr></table></td></tr></table>"),
                false);
        dataRow("pages of text", form(15, QByteArray("Text ").repeated(5000)), false);
        // Reading these would never end; the template is used, the resources are not loaded.
        dataRow("image and background from a device",
                form(15, "<p style='background-image:url(/dev/zero)'><img src='/dev/zero'></p>"),
                true);
    }
    void overrideTemplate() {
        QFETCH(QByteArray, content);
        QFETCH(bool, used);
        QTemporaryDir dir;
        const QString file = dir.filePath(Drucken::TemplateName);
        QVERIFY(content.isEmpty() ? QDir(dir.path()).mkdir(Drucken::TemplateName)
                                  : TestHelp::put(file, content));
        fillResults(m_grid, 2, 3);
        Printout printout(m_grid, dir.path());
        QVERIFY(QDir(dir.path()).rmdir(Drucken::TemplateName) || QFile::remove(file));
        QVERIFY(TestHelp::put(file, form(15, "<p>Umbau</p>")));
        const QTextDocument& doc = printout.build();
        QVERIFY(!doc.toPlainText().contains(QStringLiteral("Umbau")));
        QCOMPARE(doc.toPlainText().contains(QStringLiteral("Werkstattliste")), used);
        QCOMPARE(cellText(doc, 0, 0, 3), QStringLiteral("24061"));
        QCOMPARE(cellText(doc, 0, 1, 0), CrLf + "1" + CrLf + "2" + CrLf + "3");
    }

    // The article numbers of types 1 and 2 in the headings of their columns.
    void headings_data() {
        dataColumns<QString, QString>({"number", "heading"});
        const QString twenty = QStringLiteral("H0-24061-Bogen-R1-30");
        dataRow("twenty characters stay whole", twenty, twenty);
        dataRow("the longest a track file holds", QString(32767, '7'),
                QString(19, '7') + QChar(0x2026));
        dataRow("no half of a surrogate pair",
                QString(18, 'x') + QString::fromUtf8("\xF0\x9F\x9A\x82") + "tail",
                QString(18, 'x') + QChar(0x2026));
        dataRow("a number that reads like a placeholder stays", "{Feld 22}", "{Feld 22}");
    }
    void headings() {
        QFETCH(QString, number);
        QFETCH(QString, heading);
        Kern::SearchResult result = fillResults(m_grid, 2, 4);
        result.articleNumbers[0] = number;
        m_grid.SetUpResultTable(result);
        m_grid.FillResultTable(result.rows);
        Printout printout(m_grid, m_noOverride.path());
        const QTextDocument& doc = printout.build();
        QCOMPARE(cellText(doc, 0, 0, 3), heading);
        QCOMPARE(cellText(doc, 0, 0, 4), QStringLiteral("24062"));
        QCOMPARE(doc.pageCount(), 1);
    }

    // Printed to a file, page by page: each page its heading and its own fifty rows, also when
    // only some pages are asked for.
    void printing_data() {
        // from, to: the printer's page range, 0 for all; rows: the rows printed on each page
        dataColumns<int, int, QStringList>({"from", "to", "rows"});
        dataRow("every page", 0, 0, QStringList{"1-50", "51-100", "101-120"});
        dataRow("pages 2 to 3", 2, 3, QStringList{"51-100", "101-120"});
        dataRow("the last page alone", 3, 3, QStringList{"101-120"});
        dataRow("the first page alone", 1, 1, QStringList{"1-50"});
        dataRow("a range beyond the end", 2, 9, QStringList{"51-100", "101-120"});
    }
    void printing() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, rows);
        fillResults(m_grid, 8, 120);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        QTemporaryDir dir;
        const std::unique_ptr<QPrinter> printer = pdfPrinter(dir.filePath("liste.pdf"));
        if (from > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(from, to);
        }
        QVERIFY(printout.preview.printOn(printer.get()));
        QStringList printed;
        for (const QString& page : pdfPages(printer->outputFileName()))
            printed << printedRows(page) + (page.contains("Gleisliste") && page.contains("24068")
                                                ? ""
                                                : " without heading");
        QCOMPARE(printed, rows);
    }

    // A printer that cannot be opened is reported, not ignored; the print dialog offers every
    // page, and cancelling it prints nothing and reports nothing.
    void printFailuresAndTheDialog() {
        fillResults(m_grid, 8, 120);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        QTemporaryDir dir;
        QString message;
        TestHelp::noteMessage(&message);
        QVERIFY(!printout.preview.printOn(pdfPrinter(dir.filePath("fehlt/liste.pdf")).get()));
        QCOMPARE(message, QStringLiteral("Drucken|Der Druck konnte nicht ausgeführt werden."));

        message.clear();
        QString offered;
        TestHelp::answerModalOf<QPrintDialog>([&](QPrintDialog* d) {
            offered = QStringLiteral("%1-%2").arg(d->minPage()).arg(d->maxPage());
            d->reject();
        });
        const QPointer<QTimer> noMessage = TestHelp::noteMessage(&message);
        printout.preview.findChild<QAction*>(QStringLiteral("Menu_DateiDruck"))->trigger();
        delete noMessage.data();
        QCOMPARE(offered, QStringLiteral("1-3"));
        QCOMPARE(message, QString());
    }

    // Every copy of the template after the first starts a page, but never leaves the page before
    // it empty. Built for A4 first, then laid out anew for a page of the first copy's height
    // and some lines more or less.
    void pageBreaks_data() {
        dataColumns<int, int>({"extraLines", "pages"});
        dataRow("copy ends above the page's end", 1, 2);
        dataRow("copy fills its page exactly", 0, 2); // Qt alone leaves page 2 empty
        dataRow("copy runs onto the next page", -1, 3);
    }
    void pageBreaks() {
        QFETCH(int, extraLines);
        QFETCH(int, pages);
        // Lines of 20 px: a title, the heading row, then one for each row and blank.
        const QByteArray line = "<p style='line-height:20px; margin:0'>";
        const QByteArray row = "<tr>" + ("<td>" + line + "&nbsp;</p></td>").repeated(15) + "</tr>";
        QTemporaryDir dir;
        QVERIFY(TestHelp::put(dir.filePath(Drucken::TemplateName),
                              line + "Liste</p><table border='0' cellpadding='0' cellspacing='0'>" +
                                  row + row + "</table>"));
        fillResults(m_grid, 8, 51);
        Printout printout(m_grid, dir.path());
        const QTextDocument& doc = printout.build();
        const QTextBlock lastLine = qobject_cast<QTextTable*>(doc.rootFrame()->childFrames()[0])
                                        ->cellAt(1, 0)
                                        .lastCursorPosition()
                                        .block();
        const double copyHeight = doc.documentLayout()->blockBoundingRect(lastLine).bottom();
        const auto printer = pdfPrinter(dir.filePath("liste.pdf"), copyHeight + extraLines * 20);
        QVERIFY(printout.preview.printOn(printer.get()));
        QCOMPARE(doc.pageCount(), pages);
        QCOMPARE(pdfPages(printer->outputFileName()).size(), pages);
    }

    // "Drucker einrichten": the printer first, then its page; cancelled at the printer, no page.
    void printerSetup_data() {
        dataColumns<bool, QStringList>({"choose", "dialogs"});
        dataRow("printer, then its page", true, QStringList{"Drucker einrichten", "page"});
        dataRow("cancelled at the printer", false, QStringList{"Drucker einrichten"});
    }
    void printerSetup() {
        QFETCH(bool, choose);
        QFETCH(QStringList, dialogs);
        fillResults(m_grid, 8, 7);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        QStringList seen;
        TestHelp::answerModalOf<QDialog>([&](QDialog* d) {
            seen << d->windowTitle();
            auto* printers = d->findChild<QComboBox*>(QStringLiteral("Drucker"));
            QVERIFY(printers && printers->itemText(printers->count() - 1) == "PDF-Datei");
            printers->setCurrentIndex(printers->count() - 1);
            choose ? d->accept() : d->reject();
        });
        TestHelp::answerModalOf<QPageSetupDialog>(
            [&](QPageSetupDialog* d) {
                seen << "page";
                d->accept();
            },
            2000);
        printout.preview.findChild<QAction*>(QStringLiteral("Menu_DateiDruckSet"))->trigger();
        QCOMPARE(seen, dialogs);
    }

private:
    Kern::ResultTableModel m_grid;
    QTemporaryDir m_noOverride;
};

QTEST_MAIN(TestDrucken)
#include "tst_drucken.moc"
