// The search as the window runs it: gathering and checking the track table, the result, the
// label and what the track table looks like afterwards.
#include "findcombinations.h"
#include "kern.h"
#include "resulttablemodel.h"

#include <QtTest>

#include <map>

using namespace Kern;
using Field = SearchView::Field;

class FakeView : public SearchView {
public:
    struct Row {
        bool checked = true;
        QString article, length = QStringLiteral("0.0"), minimum = QStringLiteral("0"),
                         maximum = QStringLiteral("9999"), price = QStringLiteral("0,00");
    };
    std::array<Row, 11> rows;
    int d1 = 0, d2 = 0;
    QString label;
    SearchResult result = StartUpResult();
    ResultTableModel grid;
    QStringList messages;
    QString lastTitle;
    std::pair<Field, int> focus{Field::Article, 0};

    FakeView() {
        const char* articles[] = {"24064", "24071", "24077", "24094",
                                  "24172", "24188", "24229", "24236"};
        const char* lengths[] = {"64.3",  "70.8",  "77.5",  "94.2",
                                 "171.7", "188.3", "229.3", "236.1"};
        for (int i = 0; i < 8; ++i) {
            rows[std::size_t(i + 1)].article = QLatin1String(articles[i]);
            rows[std::size_t(i + 1)].length = QLatin1String(lengths[i]);
        }
    }
    QString& field(Field f, int row) {
        Row& r = rows[std::size_t(row)];
        switch (f) {
        case Field::Article:
            return r.article;
        case Field::Length:
            return r.length;
        case Field::Minimum:
            return r.minimum;
        case Field::Maximum:
            return r.maximum;
        case Field::Price:
            return r.price;
        }
        return r.article;
    }
    bool isChecked(int row) const override { return rows[std::size_t(row)].checked; }
    void setChecked(int row, bool c) override { rows[std::size_t(row)].checked = c; }
    QString text(Field f, int row) const override {
        return const_cast<FakeView*>(this)->field(f, row);
    }
    void setPriceText(int row, const QString& t) override { rows[std::size_t(row)].price = t; }
    int shortfallData() const override { return d1; }
    int excessData() const override { return d2; }
    void showMessage(const QString& text, const QString& title) override {
        messages << text;
        lastTitle = title;
    }
    void focusField(Field f, int row) override { focus = {f, row}; }
    void setUpResultTable(const SearchResult& selection) override {
        result = selection;
        grid.SetUpResultTable(result, ScreenScale());
    }

    // What the start button and the end of the search do, on this thread.
    void start(double route = 1000, double limit = 500) {
        label.clear();
        if (!FindCombinations(*this, route, limit))
            return;
        result.rows = SearchCombinations(result.request);
        grid.FillResultTable(result);
        label = FinishedLabel(result.count(), 0.25, false);
    }
    int count() const { return result.count(); }
};

class TestFindCombinations : public QObject {
    Q_OBJECT
private slots:
    void startUpSearch();
    void pricesNormalisedAndSummed();
    void inputErrorsKeepPreviousResults_data();
    void inputErrorsKeepPreviousResults();
    void uncheckedRowsAreNotChecked();
    void limitAndEmptySelection();
    void finishedLabel();
};

void TestFindCombinations::startUpSearch() {
    FakeView view;
    view.start();
    QCOMPARE(view.count(), 4);
    QCOMPARE(view.result.typeCount(), 8);
    QCOMPARE(view.result.articleNumber(1), QStringLiteral("24064"));
    QCOMPARE(view.result.articleNumber(8), QStringLiteral("24236"));
    QVERIFY(!view.rows[9].checked);
    QVERIFY(!view.rows[10].checked);
    QVERIFY(view.rows[1].checked);
    // The four combinations in the order they are found, with 11, 10, 9 and 8 pieces.
    const qint64 found[4][8] = {{0, 2, 5, 3, 0, 1, 0, 0},
                                {0, 2, 4, 2, 1, 1, 0, 0},
                                {0, 2, 3, 1, 2, 1, 0, 0},
                                {0, 2, 2, 0, 3, 1, 0, 0}};
    for (int k = 1; k <= 4; ++k) {
        const FoundCombination& r = view.result.rows[std::size_t(k - 1)];
        for (int t = 0; t < 8; ++t)
            QCOMPARE(r.counts[std::size_t(t)], found[k - 1][t]);
        QCOMPARE(r.pieces, qint64(12 - k));
        QVERIFY(qAbs(r.total - 1000.0) <= 0.05);
        QCOMPARE(r.deviation, r.total - 1000.0);
    }
    QCOMPARE(view.grid.rowCount(), 4);
    QCOMPARE(view.grid.columnCount(), 13);
}

void TestFindCombinations::pricesNormalisedAndSummed() {
    FakeView view;
    view.rows[2].price = QStringLiteral("12.5");
    view.rows[3].price = QStringLiteral("2,675");
    view.rows[6].price = QString();
    view.rows[10].price = QStringLiteral("3"); // unselected rows are normalised too
    view.start();
    QCOMPARE(view.rows[2].price, QStringLiteral("12,50"));
    QCOMPARE(view.rows[3].price, QStringLiteral("2,68"));
    QCOMPARE(view.rows[6].price, QString());
    QCOMPARE(view.rows[10].price, QStringLiteral("3,00"));
    // 2 x 12,50 + 5 x 2,68 + empty price counts 0
    QCOMPARE(view.result.rows[0].totalPrice, 38.4);
    QCOMPARE(view.grid.cellText(1, 12), QStringLiteral("38,40"));
}

void TestFindCombinations::inputErrorsKeepPreviousResults_data() {
    QTest::addColumn<int>("badRow");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focusField");
    QTest::newRow("minimum above maximum")
        << 3 << "77.5"
        << "10000"
        << "0,00" << QString::fromUtf8(MinMaxMessage) << int(Field::Minimum);
    QTest::newRow("negative length from a file")
        << 4 << "-94.2"
        << "0"
        << "0,00" << QString::fromUtf8(NegativeLengthMessage) << int(Field::Length);
    QTest::newRow("price that is no number")
        << 5 << "171.7"
        << "0"
        << "1.234,50" << QString::fromUtf8(BadPriceMessage) << int(Field::Price);
    QTest::newRow("price beyond the exact sums")
        << 6 << "188.3"
        << "0"
        << "99999999999" << QString::fromUtf8(PriceTooLargeMessage) << int(Field::Price);
}

void TestFindCombinations::inputErrorsKeepPreviousResults() {
    QFETCH(int, badRow);
    QFETCH(QString, length);
    QFETCH(QString, minimum);
    QFETCH(QString, price);
    QFETCH(QString, message);
    QFETCH(int, focusField);

    FakeView view;
    view.start();
    QCOMPARE(view.count(), 4);
    const QString firstRowTotal = view.grid.cellText(1, 1);

    view.rows[std::size_t(badRow)].length = length;
    view.rows[std::size_t(badRow)].minimum = minimum;
    view.rows[std::size_t(badRow)].price = price;
    view.rows[8].price = QStringLiteral("7.5"); // after the bad row: untouched
    view.rows[1].article = QStringLiteral("changed");
    view.start();

    QCOMPARE(view.messages, QStringList{message});
    QCOMPARE(view.lastTitle, QStringLiteral("Eingabefehler"));
    QCOMPARE(int(view.focus.first), focusField);
    QCOMPARE(view.focus.second, badRow);
    QCOMPARE(view.label, QString());
    QCOMPARE(view.rows[8].price, QStringLiteral("7.5"));
    // The previous search stays: its result and the table with its headings.
    QCOMPARE(view.count(), 4);
    QCOMPARE(view.result.articleNumber(1), QStringLiteral("24064"));
    QCOMPARE(view.grid.rowCount(), 4);
    QCOMPARE(view.grid.cellText(0, 3), QStringLiteral("24064"));
    QCOMPARE(view.grid.cellText(1, 1), firstRowTotal);
}

void TestFindCombinations::uncheckedRowsAreNotChecked() {
    FakeView view;
    view.rows[3].checked = false;
    view.rows[3].minimum = QStringLiteral("5");
    view.rows[3].maximum = QStringLiteral("3");
    view.rows[9].length = QStringLiteral("0.0");
    view.rows[9].minimum = QStringLiteral("5");
    view.rows[9].maximum = QStringLiteral("3");
    view.rows[4].price = QStringLiteral("abc"); // only selected rows need a valid price
    view.rows[4].checked = false;
    view.start();
    QVERIFY(view.messages.isEmpty());
    QCOMPARE(view.result.typeCount(), 6);
    QCOMPARE(view.rows[4].price, QStringLiteral("abc"));
}

void TestFindCombinations::limitAndEmptySelection() {
    FakeView view;
    view.d1 = view.d2 = 10;
    view.start(1000, 5);
    QCOMPARE(view.count(), 5);
    const std::array<qint64, 8> fifth = {7, 4, 1, 2, 0, 0, 0, 0};
    for (int t = 0; t < 8; ++t)
        QCOMPARE(view.result.rows[4].counts[std::size_t(t)], fifth[std::size_t(t)]);
    QCOMPARE(view.grid.cellText(5, 1), QStringLiteral("999,2"));
    QCOMPARE(view.grid.cellText(5, 2), QStringLiteral("-0,8"));

    view.start(1000, 500);
    QCOMPARE(view.count(), 120);

    // Limit 0: only the starting vector is examined; a limit text that reads 2.5 allows 3.
    for (int i = 1; i <= 8; ++i)
        view.rows[std::size_t(i)].minimum = view.rows[std::size_t(i)].maximum = QStringLiteral("0");
    view.rows[1].maximum = QStringLiteral("9999");
    view.start(0, 0);
    QCOMPARE(view.count(), 1);
    view.rows[1].length = QStringLiteral("0.1");
    view.start(1, 2.5);
    QCOMPARE(view.count(), 3);

    // Nothing selected: five columns, the empty combination only when the window holds 0.
    for (auto& r : view.rows)
        r.checked = false;
    view.start(0, 500);
    QCOMPARE(view.result.typeCount(), 0);
    QCOMPARE(view.count(), 1);
    QCOMPARE(view.grid.columnCount(), 5);
    view.start(1000, 500);
    QCOMPARE(view.count(), 0);
}

void TestFindCombinations::finishedLabel() {
    // The caption is empty when nothing was found; durations under a second show as ,25.
    QCOMPARE(FinishedLabel(4, 0.25, false),
             QStringLiteral(" Ergebnis: 4 Kombinationen \r\n (Dauer: ,25 Sek.)"));
    QCOMPARE(FinishedLabel(0, 12.345, false), QStringLiteral("\r\n (Dauer: 12,35 Sek.)"));
    QCOMPARE(FinishedLabel(1, 0.5, true),
             QStringLiteral(" Ergebnis: 1 Kombinationen \r\n (Abgebrochen nach ,50 Sek.)"));
}

QTEST_APPLESS_MAIN(TestFindCombinations)
#include "tst_findcombinations.moc"
