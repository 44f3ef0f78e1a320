// Printing the result table: pages of fifty rows, the columns, the template and where it comes
// from, the preview window, where pages break, printing them and the printer set-up it keeps.
#include "accessibility.h"
#include "datarow.h"
#include "filefaults.h"
#include "modalhelper.h"
#include "resultfixture.h"

#include <QtPrintSupport>
#include <QtTest>

namespace {
const QString CrLf = QStringLiteral("\r\n");

// A cell's text as printed, its lines joined by CR LF; table counts the tables of doc from 0.
QString cellText(const QTextDocument& doc, int table, int row, int column) {
    const QList<QTextTable*> tables = doc.findChildren<QTextTable*>();
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

// What one of the poppler tools writes about a PDF.
QString pdfTool(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// Every page of a PDF as the running numbers that begin its lines, "first-last" or "none",
// marked where the page lacks its heading.
QStringList pdfPages(const QString& pdf) {
    QStringList pages = pdfTool(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}).split('\f');
    pages.removeLast(); // a form feed ends every page
    for (QString& page : pages) {
        QStringList numbers;
        for (const QString& line : page.split('\n'))
            if (const QString first = line.simplified().section(' ', 0, 0); first.toInt() > 0)
                numbers << first;
        const bool heading = page.contains("Gleisliste") && page.contains("24068");
        page =
            (numbers.isEmpty() ? QStringLiteral("none") : numbers.first() + '-' + numbers.last()) +
            (heading ? "" : " without heading");
    }
    return pages;
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

int cursorShape() {
    return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
}

void trigger(const DruBild& preview, const char* action) {
    preview.findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

} // namespace

class TestDrucken : public QObject {
    Q_OBJECT
private slots:
    void pages_data() {
        // lines: lines of running numbers in the last page's table; lastLines: the last of them
        dataColumns<int, int, QStringList>({"k", "lines", "lastLines"});
        dataRow("seven rows in blocks of five", 7, 9,
                QStringList{"", "1", "2", "3", "4", "5", "", "6", "7"});
        dataRow("fifty rows fill one page", 50, 61,
                QStringList{"45", "", "46", "47", "48", "49", "50", ""});
    }
    void pages() {
        QFETCH(int, k);
        QFETCH(int, lines);
        QFETCH(QStringList, lastLines);
        fillResults(m_grid, 8, k);
        Printout printout(m_grid, m_noOverride.path());
        const QTextDocument& doc = printout.build();
        QCOMPARE(doc.pageCount(), 1); // A4
        const QStringList numbers = cellText(doc, 0, 1, 0).split(CrLf);
        QCOMPARE(numbers.size(), lines);
        QCOMPARE(numbers.mid(lines - lastLines.size()), lastLines);
    }

    // The command: a preview of two pages for 60 rows, shown with the normal pointer, every
    // control named for a screen reader, gone with its document after "&Beenden". The busy
    // pointer goes once, and one set by someone else stays.
    void printResultList() {
        fillResults(m_grid, 4, 60);
        QStringList seen;
        QPointer<QWidget> shown;
        TestHelp::answerModal([&](QWidget* modal) {
            shown = modal;
            if (auto* w = qobject_cast<DruBild*>(modal)) {
                seen << QString::number(w->HighEdit1->pageCount()) << QString::number(cursorShape())
                     << unnamedOrSharedControls(w);
                trigger(*w, "Menu_DateiEnde");
            } else {
                modal->close();
            }
        });
        QApplication::setOverrideCursor(Qt::CrossCursor);
        PrinterChoice printing;
        Drucken::PrintResultList(m_grid, printing);
        {
            Drucken::PrintRun run(m_grid); // given back early, and once only
            QCOMPARE(cursorShape(), int(Qt::WaitCursor));
            run.busy.release();
        }
        QCOMPARE(seen, (QStringList{"2", QString::number(Qt::CrossCursor)}));
        QVERIFY(shown.isNull());
        QCOMPARE(cursorShape(), int(Qt::CrossCursor));
        QApplication::restoreOverrideCursor();
    }

    // The type columns fill from the left, pieces and price always go to the last two columns;
    // the rows print in the order the grid shows them. The headings show the article numbers,
    // cut after twenty characters but never within one, and a number that reads like a
    // placeholder stays.
    void columns() {
        Kern::SearchResult result = fillResults(m_grid, 8, 3);
        result.articleNumbers[0] = QStringLiteral("{Feld 24}");
        result.articleNumbers[1] = QStringLiteral("H0-24061-Bogen-R1-30");
        result.articleNumbers[2] = QString(32767, '7'); // the longest a track file holds
        result.articleNumbers[3] =
            QString(18, 'x') + QString::fromUtf8("\xF0\x9F\x9A\x82") + "tail";
        m_grid.SetUpResultTable(result);
        m_grid.FillResultTable(result.rows);
        Printout first(m_grid, m_noOverride.path());
        const QTextDocument& doc = first.build();
        QStringList headings;
        for (int column = 3; column <= 7; ++column)
            headings << cellText(doc, 0, 0, column);
        QCOMPARE(headings,
                 (QStringList{"{Feld 24}", "H0-24061-Bogen-R1-30", QString(19, '7') + QChar(0x2026),
                              QString(18, 'x') + QChar(0x2026), "24065"}));
        QCOMPARE(cellText(doc, 0, 1, 1), CrLf + "1000,1" + CrLf + "1000,2" + CrLf + "1000,0");
        QCOMPARE(cellText(doc, 0, 1, 10), CrLf + CrLf + "1" + CrLf + "2"); // type 8
        QCOMPARE(cellText(doc, 0, 1, 11), QChar(QChar::Nbsp));             // as in the template
        QCOMPARE(cellText(doc, 0, 0, 12), QString());                      // {Feld 30}
        QCOMPARE(cellText(doc, 0, 1, 13), CrLf + "11" + CrLf + "12" + CrLf + "13");
        QCOMPARE(cellText(doc, 0, 1, 14), CrLf + "7,75" + CrLf + "5,25" + CrLf + "2,75");
        fillResults(m_grid, 3, 12);
        m_grid.sortRows(m_grid.columns().price(), true); // cheapest first
        Printout sorted(m_grid, m_noOverride.path());
        const QTextDocument& cheapestFirst = sorted.build();
        QCOMPARE(cellText(cheapestFirst, 0, 1, 0).split(CrLf),
                 QString("|12|11|10|9|8||7|6|5|4|3||2|1").split('|'));
        QCOMPARE(cellText(cheapestFirst, 0, 1, 14).split(CrLf).mid(0, 3),
                 QString("|2,75|5,25").split('|'));
    }

    // The template of a print run: the user's copy where it is a form the printout can fill,
    // else the installed one, else the built-in one. It is read once a run: a change while the
    // pages are built changes none of them.
    void templates_data() {
        // user: the user's copy, "folder" for a folder of that name; installed: a marked form
        dataColumns<QByteArray, bool, QString>({"user", "installed", "printed"});
        const QString mine = QStringLiteral("Werkstattliste"), other = "Installierte Liste";
        dataRow("the user's form comes first", form(15), true, mine);
        dataRow("sixteen columns", form(16), true, other);
        dataRow("a heading row without a data row", form(15, {}, 1), true, other);
        dataRow("unreadable: a folder", QByteArray("folder"), true, other);
        const QByteArray huge = "<!--" + QByteArray(300 * 1024, 'x') + "-->";
        dataRow("a file of megabytes", form(15) + huge, true, other);
        const QByteArray nested =
            "<table><tr><td><table><tr><td>-</td></tr></table></td></tr></table>";
        dataRow("a table in a table", form(15, nested), true, other);
        // Reading these would never end; the template is used, the resources are not loaded.
        dataRow("image and background from a device",
                form(15, "<p style='background-image:url(/dev/zero)'><img src='/dev/zero'></p>"),
                false, mine);
        dataRow("neither: the built-in one", QByteArray(), false, "Gleisliste");
    }
    void templates() {
        QFETCH(QByteArray, user);
        QFETCH(bool, installed);
        QFETCH(QString, printed);
        QTemporaryDir userDir, installedDir;
        const QString file = userDir.filePath(Drucken::TemplateName);
        if (installed)
            QVERIFY(TestHelp::put(installedDir.filePath(Drucken::TemplateName),
                                  form(15, "<p>Installierte Liste</p>")));
        QVERIFY(user != "folder" ? TestHelp::put(file, user)
                                 : QDir(userDir.path()).mkdir(Drucken::TemplateName));
        fillResults(m_grid, 2, 3);
        const Drucken::PrintRun run(m_grid, {userDir.path(), installedDir.path()});
        QVERIFY(QDir(userDir.path()).rmdir(Drucken::TemplateName) || QFile::remove(file));
        QVERIFY(TestHelp::put(file, form(15, "<p>Umbau</p>")));
        PrinterChoice printing;
        DruBild preview(printing);
        QVERIFY(preview.buildPages(run));
        const QTextDocument& doc = *preview.findChild<SelfContainedDocument*>();
        const QString text = doc.toPlainText();
        QVERIFY2(text.contains(printed) && !text.contains("Umbau"), qPrintable(text.left(200)));
        QCOMPARE(text.contains("Installierte Liste"), printed == "Installierte Liste");
        QCOMPARE(text.contains("Gleisliste"), printed == "Gleisliste");
        QCOMPARE(cellText(doc, 0, 1, 0), CrLf + "1" + CrLf + "2" + CrLf + "3");
    }

    // Printed to a file, page by page: each page its heading and its own fifty rows, also when
    // only some pages are asked for. A printer that cannot be opened is reported, not ignored.
    void printing_data() {
        // from, to: the page range, 0 for all; printed: the rows on each page, or the message
        dataColumns<QString, int, int, QStringList>({"file", "from", "to", "printed"});
        dataRow("every page", "liste.pdf", 0, 0, QStringList{"1-50", "51-100", "101-120"});
        dataRow("the first page alone", "liste.pdf", 1, 1, QStringList{"1-50"});
        dataRow("a range beyond the end", "liste.pdf", 2, 9, QStringList{"51-100", "101-120"});
        dataRow("a printer that cannot be opened", "fehlt/liste.pdf", 0, 0,
                QStringList{"Drucken|Der Druck konnte nicht ausgeführt werden."});
    }
    void printing() {
        QFETCH(QString, file);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, printed);
        fillResults(m_grid, 8, 120);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        QTemporaryDir dir;
        const std::unique_ptr<QPrinter> printer = pdfPrinter(dir.filePath(file));
        if (from > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(from, to);
        }
        QString message;
        const QPointer<QTimer> watch = TestHelp::noteMessage(&message);
        QStringList seen;
        if (!printout.preview.printOn(printer.get()))
            seen << message;
        delete watch.data();
        QCOMPARE(seen + pdfPages(printer->outputFileName()), printed);
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
        const QTextBlock lastLine =
            doc.findChildren<QTextTable*>()[0]->cellAt(1, 0).lastCursorPosition().block();
        const double copyHeight = doc.documentLayout()->blockBoundingRect(lastLine).bottom();
        const auto printer = pdfPrinter(dir.filePath("liste.pdf"), copyHeight + extraLines * 20);
        QVERIFY(printout.preview.printOn(printer.get()));
        QCOMPARE(doc.pageCount(), pages);
        QCOMPARE(pdfPages(printer->outputFileName()).size(), pages);
    }

    // "Drucker einrichten": the printer (a PDF file), then its page, A5 landscape. The next
    // preview's print dialog offers every page and starts with what was accepted to the end, and
    // printing there writes it; a set-up cancelled on the way keeps nothing.
    void printerSetup_data() {
        // seen: dialogs, then the next print dialog's pages, file, page, orientation (1 landscape)
        dataColumns<int, QString>({"accepted", "seen"});
        dataRow("PDF file and page kept", 2, "Drucker einrichten|page|1-7|liste.pdf|A5|1");
        dataRow("cancelled at the page", 1, "Drucker einrichten|page|1-3||A4|0");
        dataRow("cancelled at the printer", 0, "Drucker einrichten|1-3||A4|0");
    }
    void printerSetup() {
        QFETCH(int, accepted);
        QFETCH(QString, seen);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
        fillResults(m_grid, 8, 120);
        PrinterChoice printing;
        QStringList dialogs;
        {
            Printout first(m_grid, m_noOverride.path(), &printing);
            first.build();
            TestHelp::answerModalOf<QDialog>([&](QDialog* d) {
                dialogs << d->windowTitle();
                auto* printers = d->findChild<QComboBox*>(QStringLiteral("Drucker"));
                QPushButton* ok = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                printers->setCurrentIndex(printers->count() - 1); // "PDF-Datei"
                auto* file = d->findChild<QLineEdit*>(QStringLiteral("Datei"));
                file->clear();
                file->setText(ok->isEnabled() ? QString() : pdf); // a PDF needs a file
                accepted > 0 && ok->isEnabled() ? ok->click() : d->reject();
            });
            const QPointer<QTimer> pagePoll = TestHelp::answerModalOf<QPageSetupDialog>(
                [&](QPageSetupDialog* d) {
                    dialogs << "page";
                    auto* sizes = d->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
                    auto* landscape = d->findChild<QRadioButton*>(QStringLiteral("landscape"));
                    if (accepted < 2 || !sizes || !landscape)
                        return d->reject();
                    sizes->setCurrentIndex(
                        sizes->findData(QVariant::fromValue(QPageSize(QPageSize::A5))));
                    landscape->click();
                    d->accept();
                },
                2000);
            trigger(first.preview, "Menu_DateiDruckSet");
            delete pagePoll.data();
        }
        Printout second(m_grid, m_noOverride.path(), &printing);
        second.build();
        TestHelp::answerModalOf<QPrintDialog>([&](QPrintDialog* d) {
            const QPageLayout page = d->printer()->pageLayout();
            dialogs << QStringLiteral("%1-%2").arg(d->minPage()).arg(d->maxPage())
                    << QFileInfo(d->printer()->outputFileName()).fileName() << page.pageSize().key()
                    << QString::number(page.orientation());
            // Enter prints; only where the file is the test's own, never where Qt would put it.
            accepted == 2 && dialogs.join('|') == seen ? d->accept() : d->reject();
        });
        trigger(second.preview, "Menu_DateiDruck");
        QCOMPARE(dialogs.join('|'), seen);
        if (accepted == 2)
            QVERIFY(pdfTool("pdfinfo", {pdf}).contains(QRegularExpression("size: +595 x 420 pts")));
    }

private:
    Kern::ResultTableModel m_grid;
    QTemporaryDir m_noOverride;
};

QTEST_MAIN(TestDrucken)
#include "tst_drucken.moc"
