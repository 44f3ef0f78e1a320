// The result table model: headings, cell texts and sorting; and the table as text for other
// programs: the rows chosen, the clipboard text and CSV bytes.
#include "datarow.h"
#include "resultexport.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;

namespace {

// A table of n types (article numbers 24001, 24002, ...) showing the given combinations.
void show(ResultTableModel& grid, int n, std::vector<FoundCombination> rows) {
    SearchResult selection;
    for (int t = 1; t <= n; ++t)
        selection.articleNumbers.push_back(QStringLiteral("24%1").arg(t, 3, 10, QLatin1Char('0')));
    grid.SetUpResultTable(selection);
    grid.FillResultTable(std::move(rows));
}

FoundCombination combination(double total, double deviation, double price = 0, qint64 count = 0) {
    FoundCombination f;
    f.total = total;
    f.deviation = deviation;
    f.totalPrice = price;
    f.counts[0] = f.pieces = count;
    return f;
}

QString column(const ResultTableModel& grid, int c) {
    QStringList out;
    for (int r = 1; r <= grid.rowCount(); ++r)
        out << grid.cellText(r, c);
    return out.join(' ');
}

} // namespace

class TestResultTable : public QObject {
    Q_OBJECT
private slots:
    // Counts of zero show empty; a deviation negative only through rounding noise shows as 0,0,
    // a real one keeps its sign. The grid, its headings and the text for other programs (the rows
    // chosen, in the order given) show the same texts; no caption above type columns without one.
    void texts() {
        ResultTableModel grid;
        QCOMPARE(grid.columnCount(), 15); // before any search: ten types without numbers
        show(grid, 0, {});
        QCOMPARE(resultTexts(grid, {}).first(), (QStringList{"", "Strecke (mm)", "", "", ""}));
        FoundCombination f = combination(999.9999999999999, -1.1368683772161603e-13);
        f.counts = {0, 2, 5};
        f.pieces = 7;
        show(grid, 3, {f, combination(999.96, -0.04, 1234.5, 4)});
        QCOMPARE(resultTexts(grid, {1, 0}),
                 (QList<QStringList>{{"", "Strecke (mm)", "", "Gleistypen (mm)", "", "", "", ""},
                                     {"lfd. Nr.", "Länge", "-/+", "24001", "24002", "24003",
                                      "Anzahl Gleise", "Gesamtpreis"},
                                     {"2", "1000,0", "-0,0", "4", "", "", "4", "1.234,50"},
                                     {"1", "1000,0", "0,0", "", "2", "5", "7", "0,00"}}));
        QCOMPARE(grid.data(grid.index(1, 7)).toString(), QStringLiteral("1.234,50"));
        QCOMPARE(grid.headerData(3, Qt::Horizontal).toString(), QStringLiteral("24001"));
    }

    // Sorts by the values as the cells show them: rows that look alike are equal keys and keep
    // the order they had. Whole rows move, and a selected cell stays on its combination.
    void sorting_data() {
        // sorts: column and "+" ascending or "-" descending, one after the other
        dataColumns<QStringList, QString>({"sorts", "order"});
        dataRow("price: 1.234,50 is 1234.5, 12,504 equals 12,50", QStringList{"5+"}, "5 3 1 4 2");
        dataRow("total as shown", QStringList{"1+"}, "3 1 2 4 5");
        dataRow("shortfall -0,0 sorts with 0,0", QStringList{"2-"}, "5 1 2 4 3");
        dataRow("equal keys keep the order of the sort before", QStringList{"5-", "1+"},
                "3 2 1 4 5");
    }
    void sorting() {
        QFETCH(QStringList, sorts);
        QFETCH(QString, order);
        const double totals[] = {1000.04, 999.96, 999.94, 1000.0, 1000.5};
        const double prices[] = {12.504, 1234.5, 3.0, 12.5, 0.0};
        std::vector<FoundCombination> rows;
        for (int r = 1; r <= 5; ++r)
            rows.push_back(combination(totals[r - 1], totals[r - 1] - 1000, prices[r - 1], r));
        ResultTableModel grid;
        show(grid, 1, rows);
        const QPersistentModelIndex selected = grid.index(1, 3); // the second combination's count
        for (const QString& sort : sorts)
            grid.sortRows(sort.chopped(1).toInt(), sort.endsWith(QLatin1Char('+')));
        QCOMPARE(column(grid, 0), order);
        QCOMPARE(column(grid, 3), column(grid, 0));
        QCOMPARE(grid.cellText(selected.row() + 1, 0), QStringLiteral("2"));
    }

    // A result of more than 16 rows, three pieces counts repeating: in either direction rows of
    // equal count keep the order of discovery.
    void equalRowsOfALargeResult() {
        std::vector<FoundCombination> rows;
        for (int r = 1; r <= 40; ++r)
            rows.push_back(combination(1000, 0, 0, r % 3));
        ResultTableModel grid;
        show(grid, 1, rows);
        for (const bool ascending : {false, true}) {
            grid.sortRows(ResultColumns{1}.pieces(), ascending);
            QString expected;
            for (int pieces : ascending ? QList<int>{0, 1, 2} : QList<int>{2, 1, 0})
                for (int r = 1; r <= 40; ++r)
                    if (r % 3 == pieces)
                        expected += QString::number(r) + ' ';
            QCOMPARE(column(grid, 0) + ' ', expected);
        }
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

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
