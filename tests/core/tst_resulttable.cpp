// The result table model: headings, cell formats, widths and sorting.
#include "datarow.h"
#include "kern.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;

namespace {

// A result of n types (article numbers 24001, 24002, ...) with the given combinations.
SearchResult result(int n, std::vector<FoundCombination> rows = {}) {
    SearchResult r;
    for (int t = 1; t <= n; ++t)
        r.articleNumbers.push_back(QStringLiteral("24%1").arg(t, 3, 10, QLatin1Char('0')));
    r.rows = std::move(rows);
    return r;
}

FoundCombination combination(double total, double deviation, double price = 0, qint64 count = 0) {
    FoundCombination f;
    f.total = total;
    f.deviation = deviation;
    f.totalPrice = price;
    f.counts[0] = f.pieces = count;
    return f;
}

QStringList column(const ResultTableModel& grid, int c) {
    QStringList out;
    for (int r = 1; r <= grid.rowCount(); ++r)
        out << grid.cellText(r, c);
    return out;
}

} // namespace

class TestResultTable : public QObject {
    Q_OBJECT
private slots:
    void widths_data() {
        dataColumns<int, double, double, QList<int>, int>({"n", "x", "y", "widths", "heading"});
        dataRow("eight types", 8, 1.0, 1.0,
                QList<int>{600, 700, 658, 658, 658, 658, 658, 658, 658, 658, 658, 1000, 1000}, 300);
        dataRow("no type", 0, 1.0, 1.0, QList<int>{600, 700, 5925, 1000, 1000}, 300);
        dataRow("nine types at 2.4 x 1.8", 9, 2.4, 1.8,
                QList<int>{1440, 1680, 1422, 1422, 1422, 1422, 1422, 1422, 1422, 1422, 1422, 1422,
                           2400, 2400},
                540);
        dataRow("half a twip to the even neighbour", 1, 1.0, 1.0,
                QList<int>{600, 700, 2962, 2962, 1000, 1000}, 300);
    }
    void widths() {
        QFETCH(int, n);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QList<int>, widths);
        QFETCH(int, heading);
        ResultTableModel grid;
        grid.SetUpResultTable(result(n), ScreenScale{11, x, y});
        QList<int> got;
        for (int c = 0; c < grid.columnCount(); ++c)
            got << grid.columnWidthTwips(c);
        QCOMPARE(got, widths);
        QCOMPARE(grid.headingHeightTwips(), heading);
    }

    void startUpRow() {
        FoundCombination f = combination(1000.0000000000001, 1.1368683772161603e-13);
        const qint64 counts[8] = {0, 2, 5, 3, 0, 1, 0, 0};
        std::copy(std::begin(counts), std::end(counts), f.counts.begin());
        f.pieces = 11;
        ResultTableModel grid;
        grid.SetUpResultTable(result(8), ScreenScale());
        grid.FillResultTable(result(8, {f}));
        QStringList headings, row;
        for (int c = 0; c < 13; ++c) {
            headings << grid.cellText(0, c);
            row << grid.data(grid.index(0, c)).toString();
        }
        QCOMPARE(headings,
                 (QStringList{"lfd. Nr.", "Länge", "-/+", "24001", "24002", "24003", "24004",
                              "24005", "24006", "24007", "24008", "Anzahl Gleise", "Gesamtpreis"}));
        QCOMPARE(row, (QStringList{"1", "1000,0", "0,0", "", "2", "5", "3", "", "1", "", "", "11",
                                   "0,00"}));
        QCOMPARE(grid.articleNumber(8), QStringLiteral("24008"));
    }

    // A deviation negative only through rounding noise shows as 0,0; a real one keeps its sign.
    void deviationNoise() {
        ResultTableModel grid;
        grid.SetUpResultTable(result(1), ScreenScale());
        grid.FillResultTable(result(1, {combination(999.9999999999999, -1.1368683772161603e-13),
                                        combination(999.96, -0.04)}));
        QCOMPARE(column(grid, 2), (QStringList{"0,0", "-0,0"}));
    }

    void sortingMovesWholeRows() {
        std::vector<FoundCombination> rows;
        const double prices[] = {12.5, 1234.5, 3.0, 12.5, 0.0};
        for (int r = 1; r <= 5; ++r)
            rows.push_back(combination(100.0 * r, 0, prices[r - 1], r));
        ResultTableModel grid;
        grid.SetUpResultTable(result(1), ScreenScale());
        grid.FillResultTable(result(1, rows));
        const QPersistentModelIndex selected = grid.index(3, 3); // the fourth combination's count
        grid.sortRows(5, true); // Gesamtpreis: 1.234,50 is 1234.5; equal keys keep their order
        QCOMPARE(column(grid, 0), (QStringList{"5", "3", "1", "4", "2"}));
        QCOMPARE(column(grid, 1), (QStringList{"500,0", "300,0", "100,0", "400,0", "200,0"}));
        QCOMPARE(column(grid, 3), column(grid, 0));
        grid.sortRows(5, false);
        QCOMPARE(column(grid, 0), (QStringList{"2", "1", "4", "3", "5"}));
        QCOMPARE(grid.cellText(selected.row() + 1, 0), QStringLiteral("4"));
        QCOMPARE(selected.column(), 3);
        grid.sortRows(0, true);
        QCOMPARE(column(grid, 5), (QStringList{"12,50", "1.234,50", "3,00", "12,50", "0,00"}));
        QCOMPARE(selected.row(), 3);
    }

    // Totals and prices that differ only below the shown decimals are equal keys and keep their
    // order, as their texts read; a shortfall of -0,0 sorts with 0,0.
    void sortingComparesShownValues() {
        ResultTableModel grid;
        grid.SetUpResultTable(result(1), ScreenScale());
        grid.FillResultTable(
            result(1, {combination(1000.04, 0.04, 2.004), combination(999.96, -0.04, 2.0),
                       combination(999.94, -0.06, 1.996), combination(1000.0, 0.0, 2.006)}));
        grid.sortRows(1, true);
        QCOMPARE(column(grid, 0), (QStringList{"3", "1", "2", "4"}));
        grid.sortRows(2, false);
        QCOMPARE(column(grid, 0), (QStringList{"1", "2", "4", "3"}));
        grid.sortRows(5, false);
        QCOMPARE(column(grid, 0), (QStringList{"4", "1", "2", "3"}));
    }
};

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
