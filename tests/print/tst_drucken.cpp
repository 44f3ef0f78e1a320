// Printing the result table: pages of fifty rows, the columns, the template and its override,
// the preview window and printing from it.
#include "datarow.h"
#include "filefaults.h"
#include "modalhelper.h"
#include "printdocument.h"
#include "resultfixture.h"

#include <QtPrintSupport>
#include <QtTest>

namespace {
const QString CrLf = QStringLiteral("\r\n");

QStringList lines(const QString& text) {
    return text.split(CrLf);
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

} // namespace

class TestDrucken : public QObject {
    Q_OBJECT
private slots:
    void pages_data() {
        // lastColumn0: the running numbers in the last table
        dataColumns<int, int, QStringList>({"k", "pages", "lastColumn0"});
        dataRow("seven rows in blocks of five", 7, 1,
                QStringList{"", "1", "2", "3", "4", "5", "", "6", "7"});
        dataRow("fifty rows fill one page", 50, 1, QStringList());
        dataRow("row 51 alone on page two", 51, 2, QStringList{"", "51"});
    }
    void pages() {
        QFETCH(int, k);
        QFETCH(int, pages);
        QFETCH(QStringList, lastColumn0);
        fillResults(m_grid, 8, k);
        Printout printout(m_grid, m_noOverride.path());
        PrintDocument& doc = printout.build();
        QCOMPARE(doc.tableCount(), pages);
        QCOMPARE(doc.pageCount(), pages); // A4
        if (!lastColumn0.isEmpty())
            QCOMPARE(lines(doc.tableCellText(pages - 1, 1, 0)), lastColumn0);
    }

    // The command: a preview of two pages for 60 rows, shown with the normal pointer, gone with
    // its document when closed.
    void printResultList() {
        Kern::ResultTableModel grid;
        fillResults(grid, 4, 60);
        QString answered;
        QPointer<QWidget> shown;
        TestHelp::answerModal([&](QWidget* modal) {
            shown = modal;
            if (auto* preview = qobject_cast<DruBild*>(modal))
                answered = QStringLiteral("DruBild %1").arg(preview->HighEdit1->pageCount()) +
                           (QApplication::overrideCursor() ? " busy" : "");
            modal->close();
        });
        Drucken::PrintResultList(grid);
        QCOMPARE(answered, QStringLiteral("DruBild 2"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(shown.isNull());
    }

    // A run that ends early still gives the pointer back, however often it was asked for.
    void busyPointerGoesWithTheRun() {
        {
            Drucken::PrintRun run(m_grid);
            Drucken::setBusy(run, true);
            Drucken::setBusy(run, true);
        }
        QVERIFY(!QApplication::overrideCursor());
    }

    // The type columns fill from the left, pieces and price always go to the last two columns;
    // the rows print in the order the grid shows them.
    void columns() {
        fillResults(m_grid, 8, 3);
        PrintDocument pristine;
        QVERIFY(pristine.insertDocumentFile(Drucken::BuiltInTemplate));
        {
            Printout printout(m_grid, m_noOverride.path());
            PrintDocument& doc = printout.build();
            QCOMPARE(doc.tableCellText(0, 1, 10), CrLf + CrLf + "1" + CrLf + "2"); // type 8
            for (int c : {11, 12}) {
                QCOMPARE(doc.tableCellText(0, 1, c), pristine.tableCellText(0, 1, c));
                QCOMPARE(doc.tableCellText(0, 0, c), QString()); // {Feld 29}, {Feld 30}
            }
            QCOMPARE(doc.tableCellText(0, 1, 13), CrLf + "11" + CrLf + "12" + CrLf + "13");
            QCOMPARE(doc.tableCellText(0, 1, 14), CrLf + "7,75" + CrLf + "5,25" + CrLf + "2,75");
            QVERIFY(!doc.plainText().contains(QStringLiteral("{Feld")));
        }
        fillResults(m_grid, 3, 12);
        m_grid.sortRows(3 + 4, true); // "Gesamtpreis", cheapest first
        Printout printout(m_grid, m_noOverride.path());
        PrintDocument& doc = printout.build();
        QCOMPARE(lines(doc.tableCellText(0, 1, 0)),
                 QString("|12|11|10|9|8||7|6|5|4|3||2|1").split('|'));
        QCOMPARE(lines(doc.tableCellText(0, 1, 14)).mid(0, 3), QString("|2,75|5,25").split('|'));
    }

    // An override next to the program is used only when it is a form the printout can fill.
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
        QVERIFY(content.isEmpty() ? QDir(dir.path()).mkdir(Drucken::TemplateName)
                                  : TestHelp::put(dir.filePath(Drucken::TemplateName), content));
        fillResults(m_grid, 2, 3);
        Printout printout(m_grid, dir.path());
        PrintDocument& doc = printout.build();
        QCOMPARE(doc.plainText().contains(QStringLiteral("Werkstattliste")), used);
        QCOMPARE(doc.tableCellText(0, 0, 3), QStringLiteral("24061"));
        QCOMPARE(doc.tableCellText(0, 1, 0), CrLf + "1" + CrLf + "2" + CrLf + "3");
    }

    // Changing the template while a run builds its pages changes none of them.
    void templateReadOncePerRun() {
        QTemporaryDir dir;
        const QString local = dir.filePath(Drucken::TemplateName);
        QVERIFY(TestHelp::put(local, form(15)));
        fillResults(m_grid, 2, 120);
        Printout printout(m_grid, dir.path());
        QVERIFY(TestHelp::put(local, form(15, "<p>Umbau</p>")));
        const QString text = printout.build().plainText();
        QCOMPARE(text.count(QStringLiteral("Werkstattliste")), 3);
        QVERIFY(!text.contains(QStringLiteral("Umbau")));
    }

    void longArticleNumbersAreCut_data() {
        dataColumns<QString, QString>({"number", "heading"});
        const QString twenty = QStringLiteral("H0-24061-Bogen-R1-30");
        dataRow("twenty characters stay whole", twenty, twenty);
        dataRow("the longest a track file holds", QString(32767, '7'),
                QString(19, '7') + QChar(0x2026));
        dataRow("no half of a surrogate pair",
                QString(18, 'x') + QString::fromUtf8("\xF0\x9F\x9A\x82") + "tail",
                QString(18, 'x') + QChar(0x2026));
    }
    void longArticleNumbersAreCut() {
        QFETCH(QString, number);
        QFETCH(QString, heading);
        Kern::SearchResult result = fillResults(m_grid, 2, 4);
        result.articleNumbers[0] = number;
        m_grid.SetUpResultTable(result);
        m_grid.FillResultTable(result.rows);
        Printout printout(m_grid, m_noOverride.path());
        PrintDocument& doc = printout.build();
        QCOMPARE(doc.tableCellText(0, 0, 3), heading);
        QCOMPARE(doc.pageCount(), 1);
    }

    // The print font, the preview filling the client area at any window size, "&Beenden".
    void previewWindow() {
        fillResults(m_grid, 8, 7);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        DruBild* w = &printout.preview;
        if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) // the widths of Arial
            QCOMPARE(QFontInfo(w->document().textDocument()->defaultFont()).family(),
                     QStringLiteral("Liberation Sans"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        for (const QSize size : {QSize(1200, 900), QSize(320, 200)}) {
            w->resize(size);
            QCOMPARE(w->HighEdit1->geometry(), QRect(QPoint(0, w->findChild<QMenuBar*>()->height()),
                                                     w->rect().bottomRight()));
        }
        w->findChild<QAction*>(QStringLiteral("Menu_DateiEnde"))->trigger();
        QVERIFY(!w->isVisible());
    }

    // Printed from the preview, page by page: each page its heading and its own fifty rows. A
    // printer that cannot be opened is reported, not ignored.
    void printingFromThePreview() {
        fillResults(m_grid, 8, 120);
        Printout printout(m_grid, m_noOverride.path());
        printout.build();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
        printout.preview.document().printer()->setOutputFormat(QPrinter::PdfFormat);
        printout.preview.document().printer()->setOutputFileName(pdf);
        TestHelp::answerModalOf<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
        printout.preview.findChild<QAction*>(QStringLiteral("Menu_DateiDruck"))->trigger();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"});
        QVERIFY(p.waitForFinished(60000));
        const QStringList pageTexts = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
        QCOMPARE(pageTexts.size() - 1, 3); // a form feed ends every page
        for (int page = 0; page < 3; ++page) {
            QList<int> printed, expected;
            for (const QString& line : pageTexts[page].split('\n')) {
                bool number = false;
                const int n = line.simplified().section(' ', 0, 0).toInt(&number);
                if (number)
                    printed << n;
            }
            for (int r = page * 50 + 1; r <= std::min(page * 50 + 50, 120); ++r)
                expected << r;
            QCOMPARE(printed, expected);
            QVERIFY(pageTexts[page].contains("Gleisliste") && pageTexts[page].contains("24068"));
        }
        QPrinter broken(QPrinter::HighResolution);
        broken.setOutputFormat(QPrinter::PdfFormat);
        broken.setOutputFileName(dir.filePath(QStringLiteral("fehlt/liste.pdf")));
        QString message;
        TestHelp::noteMessage(&message);
        QVERIFY(!printout.preview.printOn(&broken));
        QCOMPARE(message, QStringLiteral("Drucken|Der Druck konnte nicht ausgeführt werden."));
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
