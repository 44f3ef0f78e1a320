#include "drubild.h"
#include "drucken.h"
#include "printdocument.h"
#include "resultfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QString CrLf = QStringLiteral("\r\n");

// Builds the print document for the current result table without showing the preview.
PrintDocument& buildDocument() {
    Drucken::ClosePreview();
    Drucken::PrepareDocument();
    if (!Drucken::Preview()->BuildPages())
        qWarning("pages not built");
    return Drucken::Preview()->document();
}

QStringList lines(const QString& text) {
    return text.split(CrLf);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray templateWithTable(int columns, int rows, const QByteArray& heading) {
    QByteArray html = "<html><body><p>" + heading + "</p><table border=\"1\">";
    for (int r = 0; r < rows; ++r) {
        html += "<tr>";
        for (int c = 0; c < columns; ++c)
            html += c == 3 && r == 0 ? "<td>{Feld 21}</td>" : "<td>&nbsp;</td>";
        html += "</tr>";
    }
    return html + "</table></body></html>";
}
} // namespace

class TestDrucken : public QObject {
    Q_OBJECT
private slots:
    void init() { Drucken::SetTemplateDirectory(m_noOverride.path()); }
    void cleanup() { Drucken::ClosePreview(); }

    void pages_data();
    void pages();
    void columnsFollowTypeCount();
    void sortedTablePrintsInItsOrder();
    void pdfOutput();
    void overrideTemplate_data();
    void overrideTemplate();
    void printResultListShowsAndDiscardsPreview();

private:
    QTemporaryDir m_noOverride;
};

void TestDrucken::pages_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("tables");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("lastTable");
    QTest::addColumn<QStringList>("lastColumn0"); // running numbers in the last table
    QTest::newRow("nothing found: empty document") << 0 << 0 << 1 << -1 << QStringList();
    QTest::newRow("seven rows in blocks of five")
        << 7 << 1 << 1 << 0 << QStringList{"", "1", "2", "3", "4", "5", "", "6", "7"};
    QTest::newRow("fifty rows fill one page") << 50 << 1 << 1 << 0 << QStringList();
    QTest::newRow("row 51 alone on page two") << 51 << 2 << 2 << 1 << QStringList{"", "51"};
    QTest::newRow("120 rows on three pages") << 120 << 3 << 3 << 2 << QStringList();
}

void TestDrucken::pages() {
    QFETCH(int, k);
    QFETCH(int, tables);
    QFETCH(int, pages);
    QFETCH(int, lastTable);
    QFETCH(QStringList, lastColumn0);
    fillResults(8, k);
    PrintDocument& doc = buildDocument();

    QCOMPARE(doc.tableCount(), tables);
    QCOMPARE(doc.pageCount(), pages);
    QCOMPARE(Drucken::Preview()->HighEdit1->pageCount(), pages);
    if (k == 0) {
        QVERIFY(doc.plainText().trimmed().isEmpty());
        return;
    }
    if (!lastColumn0.isEmpty())
        QCOMPARE(lines(doc.tableCellText(lastTable, 1, 0)), lastColumn0);

    // Every table: article numbers above their columns, rows of its page in blocks of five.
    for (int t = 0; t < tables; ++t) {
        QCOMPARE(doc.tableCellText(t, 0, 3), QStringLiteral("24061"));
        QCOMPARE(doc.tableCellText(t, 0, 10), QStringLiteral("24068"));
        const int first = t * 50 + 1;
        const int last = std::min(first + 49, k);
        const QStringList running = lines(doc.tableCellText(t, 1, 0));
        QCOMPARE(running.value(0), QString());
        QCOMPARE(running.value(1), QString::number(first));
        QCOMPARE(running.count(QString()), 1 + last / 5 - (first - 1) / 5);
        QVERIFY(running.contains(QString::number(last)));
        QVERIFY(!running.contains(QString::number(last + 1)));
    }
}

void TestDrucken::columnsFollowTypeCount() {
    fillResults(8, 3);
    PrintDocument& doc = buildDocument();

    PrintDocument pristine;
    QVERIFY(pristine.insertDocumentFile(Drucken::BuiltInTemplate));

    QCOMPARE(doc.tableCellText(0, 1, 10), CrLf + "" + CrLf + "1" + CrLf + "2"); // type 8
    for (int c : {11, 12}) {
        QCOMPARE(doc.tableCellText(0, 1, c), pristine.tableCellText(0, 1, c));
        QCOMPARE(doc.tableCellText(0, 0, c), QString()); // {Feld 29}, {Feld 30}
    }
    QCOMPARE(doc.tableCellText(0, 1, 13), CrLf + "11" + CrLf + "12" + CrLf + "13");
    QCOMPARE(doc.tableCellText(0, 1, 14), CrLf + "7,75" + CrLf + "5,25" + CrLf + "2,75");
    QCOMPARE(doc.tableCellText(0, 0, 13), QStringLiteral("Anzahl Gleise"));
    QCOMPARE(doc.tableCellText(0, 0, 14), QStringLiteral("Gesamtpreis"));
    QVERIFY(!doc.plainText().contains(QStringLiteral("{Feld")));
}

void TestDrucken::sortedTablePrintsInItsOrder() {
    fillResults(3, 12);
    Kern::ResultTable()->sortRows(3 + 4, true); // "Gesamtpreis", cheapest first
    PrintDocument& doc = buildDocument();
    QCOMPARE(
        lines(doc.tableCellText(0, 1, 0)),
        (QStringList{"", "12", "11", "10", "9", "8", "", "7", "6", "5", "4", "3", "", "2", "1"}));
    QCOMPARE(lines(doc.tableCellText(0, 1, 14)).mid(0, 3), (QStringList{"", "2,75", "5,25"}));
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
    QVERIFY(QFileInfo(pdf).size() > 0);

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    const QStringList pageTexts = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    QCOMPARE(pageTexts.size() - 1, 3); // a form feed ends every page
    for (const QString& page : pageTexts.mid(0, 3)) {
        QVERIFY(page.contains(QStringLiteral("Gleisliste")));
        QVERIFY(page.contains(QStringLiteral("24061")));
        QVERIFY(page.contains(QStringLiteral("24068")));
    }
    QVERIFY(pageTexts[0].contains(QStringLiteral("300,25"))); // row 1
    const auto word = [](const char* text) {
        return QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(QLatin1String(text)));
    };
    QVERIFY(pageTexts[2].contains(word("2,75")));    // price of row 120
    QVERIFY(pageTexts[2].contains(word("130")));     // pieces of row 120
    QVERIFY(!pageTexts[2].contains(word("177,75"))); // row 50 belongs to page 1
    QVERIFY(pageTexts[0].contains(word("177,75")));
}

void TestDrucken::overrideTemplate_data() {
    QTest::addColumn<QByteArray>("content"); // empty: a folder of that name
    QTest::addColumn<bool>("used");
    QTest::newRow("valid override used") << templateWithTable(15, 2, "Werkstattliste") << true;
    QTest::newRow("no table") << QByteArray("<p>Werkstattliste {Feld 21}</p>") << false;
    QTest::newRow("fourteen columns") << templateWithTable(14, 2, "Werkstattliste") << false;
    QTest::newRow("heading row only") << templateWithTable(15, 1, "Werkstattliste") << false;
    QTest::newRow("binary rubbish") << QByteArray("\x00\xff\xfe\x01Werkstattliste", 18) << false;
    QTest::newRow("unreadable: a folder") << QByteArray() << false;
}

void TestDrucken::overrideTemplate() {
    QFETCH(QByteArray, content);
    QFETCH(bool, used);
    QTemporaryDir dir;
    const QString local = dir.filePath(Drucken::TemplateName);
    if (content.isEmpty())
        QVERIFY(QDir(dir.path()).mkdir(Drucken::TemplateName));
    else
        writeFile(local, content);
    Drucken::SetTemplateDirectory(dir.path());

    QCOMPARE(Drucken::TemplateFile(), used ? local : Drucken::BuiltInTemplate);
    fillResults(2, 3);
    PrintDocument& doc = buildDocument();
    QCOMPARE(doc.tableCount(), 1);
    QCOMPARE(doc.plainText().contains(QStringLiteral("Werkstattliste")), used);
    QCOMPARE(doc.tableCellText(0, 0, 3), QStringLiteral("24061"));
    QCOMPARE(doc.tableCellText(0, 1, 0), CrLf + "1" + CrLf + "2" + CrLf + "3");
}

void TestDrucken::printResultListShowsAndDiscardsPreview() {
    fillResults(4, 60);
    QPointer<DruBild> shown;
    int pagesShown = 0;
    bool busyWhileShown = true;
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<DruBild*>(QApplication::activeModalWidget());
        if (!shown)
            return;
        pagesShown = shown->HighEdit1->pageCount();
        busyWhileShown = QApplication::overrideCursor() != nullptr;
        shown->close();
    });
    Drucken::PrintResultList(nullptr);
    QCOMPARE(pagesShown, 2);
    QVERIFY(!busyWhileShown);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(shown.isNull()); // the document went with the window
}

QTEST_MAIN(TestDrucken)
#include "tst_drucken.moc"
