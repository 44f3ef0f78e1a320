#include "drubild.h"
#include "drucken.h"
#include "modalhelper.h"
#include "printdocument.h"
#include "resultfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
const QString CrLf = QStringLiteral("\r\n");

// Builds the print document for the current result table without showing the preview.
PrintDocument& buildDocument() {
    Drucken::ClosePreview();
    Drucken::PrepareDocument(testGrid());
    if (!Drucken::Preview()->BuildPages())
        qWarning("pages not built");
    return Drucken::Preview()->document();
}

QStringList lines(const QString& text) {
    return text.split(CrLf);
}

QByteArray templateWithTable(int columns) {
    QByteArray html = "<p>Werkstattliste</p><table><tr><td>-</td><td>-</td><td>-</td>"
                      "<td>{Feld 21}</td>" +
                      QByteArray(columns - 4, 'x').replace("x", "<td>-</td>") + "</tr><tr>";
    return html + QByteArray(columns, 'x').replace("x", "<td>&nbsp;</td>") + "</tr></table>";
}
} // namespace

class TestDrucken : public QObject {
    Q_OBJECT
private slots:
    void init() { Drucken::SetTemplateDirectory(m_noOverride.path()); }
    void cleanup() { Drucken::ClosePreview(); }

    void pages_data();
    void pages();
    void emptiedGridPrintsNoPages();
    void columnsFollowTypeCount();
    void sortedTablePrintsInItsOrder();
    void pdfOutput();
    void overrideTemplate_data();
    void overrideTemplate();
    void printResultListShowsAndDiscardsPreview();
    void previewWindow();
    void printingFromThePreview();

private:
    QTemporaryDir m_noOverride;
};

void TestDrucken::pages_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("lastColumn0"); // running numbers in the last table
    QTest::newRow("nothing found: empty document") << 0 << 1 << QStringList();
    QTest::newRow("seven rows in blocks of five")
        << 7 << 1 << QStringList{"", "1", "2", "3", "4", "5", "", "6", "7"};
    QTest::newRow("fifty rows fill one page") << 50 << 1 << QStringList();
    QTest::newRow("row 51 alone on page two") << 51 << 2 << QStringList{"", "51"};
    QTest::newRow("120 rows on three pages") << 120 << 3 << QStringList();
}

void TestDrucken::pages() {
    QFETCH(int, k);
    QFETCH(int, pages);
    QFETCH(QStringList, lastColumn0);
    fillResults(8, k);
    PrintDocument& doc = buildDocument();
    const int tables = k == 0 ? 0 : pages;

    QCOMPARE(doc.tableCount(), tables);
    QCOMPARE(doc.pageCount(), pages); // A4
    QCOMPARE(Drucken::Preview()->HighEdit1->pageCount(), pages);
    QCOMPARE(doc.plainText().trimmed().isEmpty(), k == 0);
    if (!lastColumn0.isEmpty())
        QCOMPARE(lines(doc.tableCellText(tables - 1, 1, 0)), lastColumn0);

    // Every table: article numbers above their columns, rows of its page in blocks of five.
    for (int t = 0; t < tables; ++t) {
        QCOMPARE(doc.tableCellText(t, 0, 3), QStringLiteral("24061"));
        QCOMPARE(doc.tableCellText(t, 0, 10), QStringLiteral("24068"));
        const int first = t * 50 + 1;
        const int last = std::min(first + 49, k);
        QStringList running = lines(doc.tableCellText(t, 1, 0));
        QCOMPARE(running.count(QString()), 1 + last / 5 - (first - 1) / 5);
        running.removeAll(QString());
        QCOMPARE(running.size(), last - first + 1);
        QCOMPARE(running.first(), QString::number(first));
        QCOMPARE(running.last(), QString::number(last));
    }
}

void TestDrucken::emptiedGridPrintsNoPages() {
    // A new screen preset empties the grid while the store keeps the last search.
    fillResults(8, 60);
    testGrid().FillResultTable(Kern::SearchResult());
    PrintDocument& doc = buildDocument();
    QCOMPARE(doc.tableCount(), 0);
}

void TestDrucken::columnsFollowTypeCount() {
    fillResults(8, 3);
    PrintDocument& doc = buildDocument();
    PrintDocument pristine;
    QVERIFY(pristine.insertDocumentFile(Drucken::BuiltInTemplate));

    QCOMPARE(doc.tableCellText(0, 1, 10), CrLf + CrLf + "1" + CrLf + "2"); // type 8
    for (int c : {11, 12}) {
        QCOMPARE(doc.tableCellText(0, 1, c), pristine.tableCellText(0, 1, c));
        QCOMPARE(doc.tableCellText(0, 0, c), QString()); // {Feld 29}, {Feld 30}
    }
    QCOMPARE(doc.tableCellText(0, 1, 13), CrLf + "11" + CrLf + "12" + CrLf + "13");
    QCOMPARE(doc.tableCellText(0, 1, 14), CrLf + "7,75" + CrLf + "5,25" + CrLf + "2,75");
    QVERIFY(!doc.plainText().contains(QStringLiteral("{Feld")));
}

void TestDrucken::sortedTablePrintsInItsOrder() {
    fillResults(3, 12);
    testGrid().sortRows(3 + 4, true); // "Gesamtpreis", cheapest first
    PrintDocument& doc = buildDocument();
    QCOMPARE(lines(doc.tableCellText(0, 1, 0)),
             QString("|12|11|10|9|8||7|6|5|4|3||2|1").split('|'));
    QCOMPARE(lines(doc.tableCellText(0, 1, 14)).mid(0, 3), QString("|2,75|5,25").split('|'));
}

void TestDrucken::pdfOutput() {
    fillResults(8, 120);
    PrintDocument& doc = buildDocument();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageLayout(doc.printer()->pageLayout());
    QVERIFY(doc.printTo(&printer));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    const QStringList pageTexts = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    QCOMPARE(pageTexts.size() - 1, 3); // a form feed ends every page
    for (const QString& page : pageTexts.mid(0, 3))
        QVERIFY(page.contains("Gleisliste") && page.contains("24061") && page.contains("24068"));
    const auto word = [](const char* text) {
        return QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(QLatin1String(text)));
    };
    // Row 120 (price 2,75, 130 pieces) on the last page, row 50 (177,75) on the first.
    QVERIFY(pageTexts[2].contains(word("2,75")) && pageTexts[2].contains(word("130")));
    QVERIFY(pageTexts[0].contains(word("177,75")) && !pageTexts[2].contains(word("177,75")));
}

void TestDrucken::overrideTemplate_data() {
    QTest::addColumn<QByteArray>("content"); // empty: a folder of that name
    QTest::addColumn<bool>("used");
    QTest::newRow("valid override used") << templateWithTable(15) << true;
    QTest::newRow("fourteen columns") << templateWithTable(14) << false;
    QTest::newRow("unreadable: a folder") << QByteArray() << false;
}

void TestDrucken::overrideTemplate() {
    QFETCH(QByteArray, content);
    QFETCH(bool, used);
    QTemporaryDir dir;
    const QString local = dir.filePath(Drucken::TemplateName);
    QFile file(local);
    QVERIFY(content.isEmpty() ? QDir(dir.path()).mkdir(Drucken::TemplateName)
                              : file.open(QIODevice::WriteOnly) && file.write(content) > 0);
    file.close();
    Drucken::SetTemplateDirectory(dir.path());

    QCOMPARE(Drucken::TemplateFile(), used ? local : Drucken::BuiltInTemplate);
    fillResults(2, 3);
    PrintDocument& doc = buildDocument();
    QCOMPARE(doc.plainText().contains(QStringLiteral("Werkstattliste")), used);
    QCOMPARE(doc.tableCellText(0, 0, 3), QStringLiteral("24061"));
    QCOMPARE(doc.tableCellText(0, 1, 0), CrLf + "1" + CrLf + "2" + CrLf + "3");
}

void TestDrucken::printResultListShowsAndDiscardsPreview() {
    fillResults(4, 60);
    QPointer<DruBild> shown;
    int pagesShown = 0;
    bool busyWhileShown = true;
    TestHelp::answerModalOf<DruBild>([&](DruBild* w) {
        shown = w;
        pagesShown = w->HighEdit1->pageCount();
        busyWhileShown = QApplication::overrideCursor() != nullptr;
        w->findChild<QAction*>(QStringLiteral("Menu_DateiEnde"))->trigger();
    });
    Drucken::PrintResultList(testGrid(), nullptr);
    QCOMPARE(pagesShown, 2);
    QVERIFY(!busyWhileShown);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(shown.isNull()); // the document went with the window
}

void TestDrucken::previewWindow() {
    fillResults(8, 7);
    buildDocument();
    DruBild* w = Drucken::Preview();
    QCOMPARE(w->windowTitle(), QStringLiteral("Quorbel - Druckvorschau"));
    QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 192, 192));
    const double dpi = w->screen()->logicalDotsPerInchX();
    QCOMPARE(w->HighEdit1->size(), QSize(qRound(9435 * dpi / 1440), qRound(5970 * dpi / 1440)));

    auto* menu = w->findChild<QMenu*>(QStringLiteral("Menu_Datei"));
    QVERIFY(menu && menu->title() == QStringLiteral("&Datei"));
    QStringList entries;
    for (const QAction* a : menu->actions())
        entries << a->objectName() + '=' + a->text() + a->shortcut().toString();
    QCOMPARE(entries, QStringList({"Menu_DateiDruck=&Drucken...",
                                   "Menu_DateiDruckSet=Drucker &einrichten...",
                                   "Menu_DateiSep2=", "Menu_DateiEnde=&Beenden"}));

    // The preview fills the client area below the menu bar, whatever the window's size.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    for (const QSize size : {QSize(1200, 900), QSize(320, 200)}) {
        w->resize(size);
        QTRY_COMPARE(w->size(), size);
        QCOMPARE(w->HighEdit1->geometry(),
                 QRect(QPoint(0, w->findChild<QMenuBar*>()->height()), w->rect().bottomRight()));
    }
}

void TestDrucken::printingFromThePreview() {
    fillResults(8, 7);
    buildDocument();
    DruBild* w = Drucken::Preview();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("vorschau.pdf"));
    w->document().printer()->setOutputFormat(QPrinter::PdfFormat);
    w->document().printer()->setOutputFileName(pdf);
    TestHelp::answerModalOf<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
    w->findChild<QAction*>(QStringLiteral("Menu_DateiDruck"))->trigger();
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");

    // A printer that cannot be opened is reported, not ignored.
    QPrinter broken(QPrinter::HighResolution);
    broken.setOutputFormat(QPrinter::PdfFormat);
    broken.setOutputFileName(dir.filePath(QStringLiteral("fehlt/liste.pdf")));
    QString message;
    TestHelp::answerModalOf<QMessageBox>([&](QMessageBox* box) {
        message = box->windowTitle() + ": " + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(!w->PrintOn(&broken));
    QCOMPARE(message, QStringLiteral("Drucken: Der Druck konnte nicht ausgeführt werden."));
}

QTEST_MAIN(TestDrucken)
#include "tst_drucken.moc"
