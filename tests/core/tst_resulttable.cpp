// The result table model: headings, cell formats, widths and sorting.
#include "kern.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;

class TestResultTable : public QObject {
    Q_OBJECT
private slots:
    void widths_data();
    void widths();
    void startUpRowTexts();
    void deviationNoise();
    void sortingMovesWholeRows();
    void sortingComparesShownValues();
};

static SearchResult selection(int n) {
    SearchResult result;
    for (int t = 1; t <= n; ++t)
        result.articleNumbers.push_back(QStringLiteral("24%1").arg(t, 3, 10, QLatin1Char('0')));
    return result;
}

static FoundCombination combination(double total, double deviation, qint64 pieces = 0,
                                    double price = 0) {
    FoundCombination f;
    f.total = total;
    f.deviation = deviation;
    f.pieces = pieces;
    f.totalPrice = price;
    return f;
}

static QStringList column(const ResultTableModel& grid, int c) {
    QStringList out;
    for (int r = 1; r <= grid.rowCount(); ++r)
        out << grid.cellText(r, c);
    return out;
}

void TestResultTable::widths_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<int>("heading");
    QTest::newRow("eight types") << 8 << 1.0 << QList<int>{600, 700, 658, 658, 658,  658, 658,
                                                           658, 658, 658, 658, 1000, 1000}
                                 << 300;
    QTest::newRow("no type") << 0 << 1.0 << QList<int>{600, 700, 5925, 1000, 1000} << 300;
    // 600 x 1.28 = 768; 700 x 1.28 = 896; 5925 / 10 x 1.28 = 758.4
    QTest::newRow("nine types at 1.28")
        << 9 << 1.28
        << QList<int>{768, 896, 758, 758, 758, 758, 758, 758, 758, 758, 758, 758, 1280, 1280}
        << 384;
    // 5925 / 2 = 2962.5 rounds to the even 2962
    QTest::newRow("half twip to even")
        << 1 << 1.0 << QList<int>{600, 700, 2962, 2962, 1000, 1000} << 300;
}

void TestResultTable::widths() {
    QFETCH(int, n);
    QFETCH(double, scale);
    QFETCH(QList<int>, expected);
    QFETCH(int, heading);
    ResultTableModel grid;
    ScreenScale screen;
    screen.x = screen.y = scale;
    grid.SetUpResultTable(selection(n), screen);
    QList<int> got;
    for (int c = 0; c < grid.columnCount(); ++c)
        got << grid.columnWidthTwips(c);
    QCOMPARE(got, expected);
    QCOMPARE(grid.headingHeightTwips(), heading);
    QCOMPARE(grid.rowCount(), 0);
}

void TestResultTable::startUpRowTexts() {
    SearchResult result = selection(8);
    FoundCombination f = combination(1000.0000000000001, 1.1368683772161603e-13, 11);
    const qint64 counts[8] = {0, 2, 5, 3, 0, 1, 0, 0};
    std::copy(std::begin(counts), std::end(counts), f.counts.begin());
    result.rows.push_back(f);
    ResultTableModel grid;
    grid.SetUpResultTable(result, ScreenScale());
    grid.FillResultTable(result);
    QStringList row;
    for (int c = 0; c < 13; ++c)
        row << grid.cellText(1, c);
    QCOMPARE(row,
             (QStringList{"1", "1000,0", "0,0", "", "2", "5", "3", "", "1", "", "", "11", "0,00"}));
    QStringList headings;
    for (int c = 0; c < 13; ++c)
        headings << grid.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headings.first(3), (QStringList{"lfd. Nr.", "Länge", "-/+"}));
    QCOMPARE(headings.last(2), (QStringList{"Anzahl Gleise", "Gesamtpreis"}));
    QCOMPARE(headings[3], QStringLiteral("24001"));
    QCOMPARE(grid.selectedCount(), 8);
    QCOMPARE(grid.articleNumber(8), QStringLiteral("24008"));
    QCOMPARE(grid.data(grid.index(0, 5), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QCOMPARE(grid.data(grid.index(0, 12)).toString(), QStringLiteral("0,00"));
}

void TestResultTable::deviationNoise() {
    SearchResult result = selection(1);
    result.rows = {combination(999.9999999999999, -1.1368683772161603e-13),
                   combination(999.96, -0.04)};
    ResultTableModel grid;
    grid.SetUpResultTable(result, ScreenScale());
    grid.FillResultTable(result);
    QCOMPARE(column(grid, 2), (QStringList{"0,0", "-0,0"}));
}

void TestResultTable::sortingMovesWholeRows() {
    SearchResult result = selection(1);
    const double prices[] = {12.5, 1234.5, 3.0, 12.5, 0.0};
    for (int r = 1; r <= 5; ++r) {
        result.rows.push_back(combination(100.0 * r, 0, r, prices[r - 1]));
        result.rows.back().counts[0] = r;
    }
    ResultTableModel grid;
    grid.SetUpResultTable(result, ScreenScale());
    grid.FillResultTable(result);
    grid.sortRows(5, true); // Gesamtpreis, 1.234,50 counts as 1234.5
    QCOMPARE(column(grid, 0), (QStringList{"5", "3", "1", "4", "2"}));
    QCOMPARE(column(grid, 5), (QStringList{"0,00", "3,00", "12,50", "12,50", "1.234,50"}));
    QCOMPARE(column(grid, 1), (QStringList{"500,0", "300,0", "100,0", "400,0", "200,0"}));
    QCOMPARE(column(grid, 3), (QStringList{"5", "3", "1", "4", "2"}));
    grid.sortRows(5, false);
    QCOMPARE(column(grid, 0), (QStringList{"2", "1", "4", "3", "5"}));
    grid.sortRows(0, true);
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "3", "4", "5"}));
    QCOMPARE(grid.cellText(0, 0), QStringLiteral("lfd. Nr."));
}

void TestResultTable::sortingComparesShownValues() {
    // Totals and prices that differ only below the shown decimals are equal keys and keep
    // their order, as their texts read; a shortfall of -0,0 sorts with 0,0.
    SearchResult result = selection(1);
    result.rows = {combination(1000.04, 0.04, 0, 2.004), combination(999.96, -0.04, 0, 2.0),
                   combination(999.94, -0.06, 0, 1.996), combination(1000.0, 0.0, 0, 2.006)};
    ResultTableModel grid;
    grid.SetUpResultTable(result, ScreenScale());
    grid.FillResultTable(result);
    grid.sortRows(1, true);
    QCOMPARE(column(grid, 0), (QStringList{"3", "1", "2", "4"}));
    grid.sortRows(2, false);
    QCOMPARE(column(grid, 0), (QStringList{"1", "2", "4", "3"}));
    grid.sortRows(5, false);
    QCOMPARE(column(grid, 0), (QStringList{"4", "1", "2", "3"}));
}

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
