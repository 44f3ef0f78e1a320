// The search as the window starts it: the request read from the track table and the tolerance
// lists, the input check and its messages, and the result label.
#include "datarow.h"
#include "findcombinations.h"
#include "kern.h"

#include <QtTest>

using namespace Kern;
using Field = SearchView::Field;

namespace {

// The track table of the start-up: rows 1 to 8 filled, rows 9 and 10 of length 0, all checked,
// prices "0,00".
class FakeView : public SearchView {
public:
    QString texts[11][5]; // [row][field]
    bool checked[11];
    int d1 = 0, d2 = 0;
    QString label;
    SearchResult result = startUpResult();
    QStringList messages;
    std::pair<Field, int> focus{Field::Article, 0};

    FakeView() {
        const QStringList lengths{"64.3",  "70.8",  "77.5",  "94.2",
                                  "171.7", "188.3", "229.3", "236.1"};
        for (int row = 1; row <= 10; ++row) {
            checked[row] = true;
            set(row, Field::Article, QString::number(24000 + row));
            set(row, Field::Length, lengths.value(row - 1, QStringLiteral("0.0")));
            set(row, Field::Minimum, QStringLiteral("0"));
            set(row, Field::Maximum, QStringLiteral("9999"));
            set(row, Field::Price, QStringLiteral("0,00"));
        }
    }
    void set(int row, Field f, const QString& t) { texts[row][int(f)] = t; }
    QString text(Field f, int row) const override { return texts[row][int(f)]; }
    bool isChecked(int row) const override { return checked[row]; }
    void setChecked(int row, bool c) override { checked[row] = c; }
    void setPriceText(int row, const QString& t) override { set(row, Field::Price, t); }
    int shortfallData() const override { return d1; }
    int excessData() const override { return d2; }
    void showMessage(const QString& text, const QString& title) override {
        messages << title + QLatin1Char('/') + text;
    }
    void focusField(Field f, int row) override { focus = {f, row}; }

    // What the start button and the end of the search do, on this thread.
    void start(double route = 1000, double limit = 500) {
        label.clear();
        const std::optional<SearchResult> search = FindCombinations(*this, route, limit);
        if (!search)
            return;
        result = *search;
        result.rows = searchCombinations(result.request);
        label = finishedLabel(result.count(), 0.25, false);
    }
    int count() const { return result.count(); }
};

} // namespace

class TestFindCombinations : public QObject {
    Q_OBJECT
private slots:
    void startUpSearch() {
        FakeView view;
        view.start();
        QVERIFY(view.checked[8] && !view.checked[9] && !view.checked[10]);
        QCOMPARE(view.result.typeCount(), 8);
        QCOMPARE(view.result.articleNumber(8), QStringLiteral("24008"));
        QCOMPARE(view.count(), 4);
        using Counts = std::array<qint64, MaxTypes>;
        QCOMPARE(view.result.rows[0].counts, (Counts{0, 2, 5, 3, 0, 1, 0, 0}));
        QCOMPARE(view.result.rows[3].counts, (Counts{0, 2, 2, 0, 3, 1, 0, 0}));
        QCOMPARE(view.label, QStringLiteral(" Ergebnis: 4 Kombinationen \r\n (Dauer: ,25 Sek.)"));
        // Each tolerance list widens its own side of the window (73 rows the other way round).
        view.d1 = 7;
        view.d2 = 3;
        view.start();
        QCOMPARE(view.count(), 59);
    }

    // Counts are whole numbers from 0 to 999,999,999, whatever a pasted text holds. The search
    // runs while fewer than the limit are found: a fractional limit rounds up, and the store holds
    // 5000 rows.
    void countsAndLimitAsRead_data() {
        dataColumns<QString, double, qint64, qint64>({"text", "limit", "count", "limitRead"});
        dataRow("largest", "999999999", 5000.0, qint64(999999999), qint64(5000));
        dataRow("beyond the largest", "99999999999", 5000.5, qint64(999999999), qint64(5000));
        dataRow("fractions", "2.9", 2.5, qint64(2), qint64(3));
        dataRow("negative", "-5", -1.0, qint64(0), qint64(0));
        dataRow("no number", "abc", std::nan(""), qint64(0), qint64(0));
    }
    void countsAndLimitAsRead() {
        QFETCH(QString, text);
        QFETCH(double, limit);
        QFETCH(qint64, count);
        QFETCH(qint64, limitRead);
        FakeView view;
        view.set(1, Field::Minimum, text);
        view.set(1, Field::Maximum, text);
        view.start(0, limit);
        QVERIFY(view.messages.isEmpty());
        QCOMPARE(view.result.request.types[0].minimum, count);
        QCOMPARE(view.result.request.types[0].maximum, count);
        QCOMPARE(view.result.request.limit, limitRead);
    }

    void pricesNormalisedAndSummed() {
        FakeView view;
        view.set(2, Field::Price, QStringLiteral("12.5"));
        view.set(3, Field::Price, QStringLiteral("2,675"));
        view.set(6, Field::Price, QString());
        view.start();
        // Written back and summed as normalised: 2 x 12,50 + 5 x 2,68 + 1 x empty.
        QCOMPARE(view.text(Field::Price, 2) + view.text(Field::Price, 6), QStringLiteral("12,50"));
        QCOMPARE(view.result.rows[0].totalPrice, 38.4);
    }

    void inputErrorsStopTheSearch_data() {
        dataColumns<int, int, QString, QString>({"row", "field", "text", "message"});
        dataRow("minimum above maximum", 3, int(Field::Minimum), "10000", MinMaxMessage);
        dataRow("negative length from a file", 4, int(Field::Length), "-94.2",
                NegativeLengthMessage);
        dataRow("price that is no number", 5, int(Field::Price), "1.234,50", BadPriceMessage);
        dataRow("price with two points, the first the decimal one", 5, int(Field::Price),
                "1.234.567", BadPriceMessage);
        dataRow("price beyond the exact sums", 6, int(Field::Price), "99999999999",
                PriceTooLargeMessage);
    }
    void inputErrorsStopTheSearch() {
        QFETCH(int, row);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        FakeView view;
        view.set(row, Field(field), text);
        view.set(8, Field::Price, QStringLiteral("7.5")); // after the bad row: untouched
        view.start();
        QCOMPARE(view.messages, QStringList{"Eingabefehler/" + message});
        QCOMPARE(int(view.focus.first), field);
        QCOMPARE(view.focus.second, row);
        QCOMPARE(view.label, QString());
        QCOMPARE(view.text(Field::Price, 8), QStringLiteral("7.5"));
    }

    void uncheckedRowsAreNotChecked() {
        FakeView view;
        view.checked[3] = view.checked[4] = false;
        view.set(3, Field::Minimum, QStringLiteral("5"));
        view.set(3, Field::Maximum, QStringLiteral("3"));
        view.set(9, Field::Minimum, QStringLiteral("5")); // length 0
        view.set(9, Field::Maximum, QStringLiteral("3"));
        view.set(3, Field::Price, QStringLiteral("3")); // normalised all the same
        view.set(4, Field::Price, QStringLiteral("abc"));
        view.start();
        QVERIFY(view.messages.isEmpty());
        QCOMPARE(view.result.typeCount(), 6);
        QCOMPARE(view.text(Field::Price, 3), QStringLiteral("3,00"));
        QCOMPARE(view.text(Field::Price, 4), QStringLiteral("abc"));
    }

    // Nothing selected: the empty combination, when the window holds 0; no caption without rows.
    void emptySelectionAndLabels() {
        FakeView view;
        for (bool& c : view.checked)
            c = false;
        view.start(0, 500);
        QCOMPARE(view.count(), 1);
        view.start(1000, 500);
        QCOMPARE(view.count(), 0);
        QCOMPARE(view.label, QStringLiteral("\r\n (Dauer: ,25 Sek.)"));
        QCOMPARE(finishedLabel(1, 12.345, true),
                 QStringLiteral(" Ergebnis: 1 Kombinationen \r\n (Abgebrochen nach 12,35 Sek.)"));
    }
};

QTEST_APPLESS_MAIN(TestFindCombinations)
#include "tst_findcombinations.moc"
