// The result table model: headings, cell formats, widths and sorting.
#include "kern.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;

class TestResultTable : public QObject {
    Q_OBJECT
private slots:
    void init();
    void widths_data();
    void widths();
    void startUpRowTexts();
    void deviationNoise();
    void sortingMovesWholeRows();
};

static void setSelection(int n) {
    SelectedCount = n;
    for (int t = 1; t <= 10; ++t)
        ArticleNumbers[std::size_t(t)] =
            t <= n ? QStringLiteral("24%1").arg(t, 3, 10, QLatin1Char('0')) : QString();
}

void TestResultTable::init() {
    ScaleX = ScaleY = 1;
    CombinationCount = 0;
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
    ScaleX = ScaleY = scale;
    setSelection(n);
    ResultTable()->SetUpResultTable();
    QList<int> got;
    for (int c = 0; c < ResultTable()->columnCount(); ++c)
        got << ResultTable()->columnWidthTwips(c);
    QCOMPARE(got, expected);
    QCOMPARE(ResultTable()->headingHeightTwips(), heading);
    QCOMPARE(ResultTable()->rowCount(), 0);
}

void TestResultTable::startUpRowTexts() {
    setSelection(8);
    ResultTable()->SetUpResultTable();
    CombinationCount = 1;
    ResultStore[1] = StoreRow{
        1000.0000000000001, 1.1368683772161603e-13, 0, 2, 5, 3, 0, 1, 0, 0, 0, 0, 11, 0, 0};
    ResultTable()->FillResultTable();
    QStringList row;
    for (int c = 0; c < 13; ++c)
        row << ResultTable()->cellText(1, c);
    QCOMPARE(row,
             (QStringList{"1", "1000,0", "0,0", "", "2", "5", "3", "", "1", "", "", "11", "0,00"}));
    QStringList headings;
    for (int c = 0; c < 13; ++c)
        headings << ResultTable()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headings.first(3), (QStringList{"lfd. Nr.", "Länge", "-/+"}));
    QCOMPARE(headings.last(2), (QStringList{"Anzahl Gleise", "Gesamtpreis"}));
    QCOMPARE(headings[3], QStringLiteral("24001"));
    QCOMPARE(ResultTable()->data(ResultTable()->index(0, 5), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignCenter));
}

void TestResultTable::deviationNoise() {
    setSelection(1);
    ResultTable()->SetUpResultTable();
    CombinationCount = 2;
    ResultStore[1] = StoreRow{999.9999999999999, -1.1368683772161603e-13};
    ResultStore[2] = StoreRow{999.96, -0.04};
    ResultTable()->FillResultTable();
    QCOMPARE(ResultTable()->cellText(1, 2), QStringLiteral("0,0"));
    QCOMPARE(ResultTable()->cellText(2, 2), QStringLiteral("-0,0"));
}

void TestResultTable::sortingMovesWholeRows() {
    setSelection(1);
    ResultTable()->SetUpResultTable();
    const double prices[] = {12.5, 1234.5, 3.0, 12.5, 0.0};
    CombinationCount = 5;
    for (int r = 1; r <= 5; ++r)
        ResultStore[std::size_t(r)] = StoreRow{
            100.0 * r, 0, double(r), 0, 0, 0, 0, 0, 0, 0, 0, 0, double(r), prices[r - 1], 0};
    ResultTable()->FillResultTable();
    auto column = [](int c) {
        QStringList out;
        for (int r = 1; r <= 5; ++r)
            out << ResultTable()->cellText(r, c);
        return out;
    };
    ResultTable()->sortRows(5, true); // Gesamtpreis, "1.234,50" must count as 1234.5
    QCOMPARE(column(0), (QStringList{"5", "3", "1", "4", "2"}));
    QCOMPARE(column(5), (QStringList{"0,00", "3,00", "12,50", "12,50", "1.234,50"}));
    QCOMPARE(column(1), (QStringList{"500,0", "300,0", "100,0", "400,0", "200,0"}));
    ResultTable()->sortRows(5, false);
    QCOMPARE(column(0), (QStringList{"2", "1", "4", "3", "5"}));
    ResultTable()->sortRows(0, true);
    QCOMPARE(column(0), (QStringList{"1", "2", "3", "4", "5"}));
    QCOMPARE(ResultTable()->cellText(0, 0), QStringLiteral("lfd. Nr."));
}

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
