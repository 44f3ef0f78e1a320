// The result table as text for other programs: the rows chosen, the clipboard text and CSV bytes.
#include "datarow.h"
#include "resultexport.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;

namespace {
// A table of two types, or none, with two combinations.
void show(ResultTableModel& grid, int n) {
    SearchResult selection;
    for (int t = 1; t <= n; ++t)
        selection.articleNumbers.push_back(t == 1 ? QStringLiteral("Gleis Ä") : "Gleis ö");
    FoundCombination first, second;
    first.total = 1000;
    first.counts = {2, 5};
    first.pieces = 7;
    second.total = 999.9;
    second.deviation = -0.1;
    second.counts = {0, 11};
    second.pieces = 11;
    second.totalPrice = 1234.5;
    grid.SetUpResultTable(selection);
    grid.FillResultTable({first, second});
}

const QStringList Headings{"lfd. Nr.", "Länge",         "-/+",        "Gleis Ä",
                           "Gleis ö",  "Anzahl Gleise", "Gesamtpreis"};
const QStringList Groups{"", "Strecke (mm)", "", "Gleistypen (mm)", "", "", ""};
const QStringList First{"1", "1000,0", "0,0", "2", "5", "7", "0,00"};
const QStringList Second{"2", "999,9", "-0,1", "", "11", "11", "1.234,50"};
} // namespace

class TestResultExport : public QObject {
    Q_OBJECT
private slots:
    void texts_data() {
        dataColumns<int, QList<int>, QList<QStringList>>({"types", "rows", "expected"});
        dataRow("chosen rows in the order given, texts as shown", 2, QList<int>{1, 0},
                QList<QStringList>{Groups, Headings, Second, First});
        const QStringList noType{"lfd. Nr.", "Länge", "-/+", "Anzahl Gleise", "Gesamtpreis"};
        dataRow("no type: no caption above type columns", 0, QList<int>{},
                QList<QStringList>{{"", "Strecke (mm)", "", "", ""}, noType});
    }
    void texts() {
        QFETCH(int, types);
        QFETCH(QList<int>, rows);
        QFETCH(QList<QStringList>, expected);
        ResultTableModel grid;
        show(grid, types);
        QCOMPARE(resultTexts(grid, rows), expected);
    }

    // Each format quotes what would break its own cells or lines, doubling the quotes.
    void quoting_data() {
        dataColumns<QString, QString, QString>({"cell", "tsv", "csv"});
        dataRow("plain", "Weiche Ä", "Weiche Ä", "Weiche Ä");
        dataRow("semicolon", "A;B", "A;B", "\"A;B\"");
        dataRow("double quote", "5\" lang", "\"5\"\" lang\"", "\"5\"\" lang\"");
        dataRow("tab", "A\tB", "\"A\tB\"", "A\tB");
        dataRow("line feed", "A\nB", "\"A\nB\"", "\"A\nB\"");
    }
    void quoting() {
        QFETCH(QString, cell);
        QFETCH(QString, tsv);
        QFETCH(QString, csv);
        const QList<QStringList> table{{"x", cell, "y"}, {"1"}};
        QCOMPARE(tabSeparatedText(table), "x\t" + tsv + "\ty\n1\n");
        QCOMPARE(csvBytes(table), "\xEF\xBB\xBFx;" + csv.toUtf8() + ";y\r\n1\r\n");
    }
};

QTEST_APPLESS_MAIN(TestResultExport)
#include "tst_resultexport.moc"
