// The search as the window runs it: gathering and checking the track table, the tolerances, the
// result, the label and what the track table looks like afterwards.
#include "datarow.h"
#include "findcombinations.h"
#include "kern.h"
#include "resulttablemodel.h"

#include <QtTest>

using namespace Kern;
using Field = SearchView::Field;

namespace {

// The track table of the start-up: rows 1 to 8 filled, all checked, prices "0,00".
class FakeView : public SearchView {
public:
    QString texts[11][5]; // [row][field]
    bool checked[11];
    int d1 = 0, d2 = 0;
    QString label;
    SearchResult result = StartUpResult();
    ResultTableModel grid;
    QStringList messages;
    std::pair<Field, int> focus{Field::Article, 0};

    FakeView() {
        const QStringList lengths{"64.3",  "70.8",  "77.5",  "94.2",
                                  "171.7", "188.3", "229.3", "236.1"};
        const QStringList articles{"24064", "24071", "24077", "24094",
                                   "24172", "24188", "24229", "24236"};
        for (int row = 1; row <= 10; ++row) {
            checked[row] = true;
            set(row, Field::Article, articles.value(row - 1));
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
    // The counts of a found combination, "0 2 5 3 0 1 0 0".
    QString counts(int k) const {
        QStringList out;
        for (int t = 0; t < result.typeCount(); ++t)
            out << QString::number(result.rows[std::size_t(k)].counts[std::size_t(t)]);
        return out.join(QLatin1Char(' '));
    }
};

} // namespace

class TestFindCombinations : public QObject {
    Q_OBJECT
private slots:
    void startUpSearch() {
        FakeView view;
        view.start();
        QCOMPARE(view.count(), 4);
        QCOMPARE(view.result.articleNumber(8), QStringLiteral("24236"));
        QVERIFY(view.checked[8] && !view.checked[9] && !view.checked[10]);
        const QStringList found{"0 2 5 3 0 1 0 0", "0 2 4 2 1 1 0 0", "0 2 3 1 2 1 0 0",
                                "0 2 2 0 3 1 0 0"};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(view.counts(k), found[k]);
            QCOMPARE(view.result.rows[std::size_t(k)].pieces, qint64(11 - k));
        }
        QCOMPARE(view.grid.columnCount(), 13);
        QCOMPARE(view.label, QStringLiteral(" Ergebnis: 4 Kombinationen \r\n (Dauer: ,25 Sek.)"));
    }

    // Each list widens its own side of the window only (counts from a brute-force count).
    void tolerances_data() {
        dataColumns<int, int, int>({"d1", "d2", "count"});
        dataRow("both 0,0", 0, 0, 4);
        dataRow("-1,0 and +1,0", 10, 10, 120);
        dataRow("-0,3 and +0,7", 3, 7, 73);
        dataRow("-0,7 and +0,3", 7, 3, 59);
    }
    void tolerances() {
        QFETCH(int, d1);
        QFETCH(int, d2);
        QFETCH(int, count);
        FakeView view;
        view.d1 = d1;
        view.d2 = d2;
        view.start();
        QCOMPARE(view.count(), count);
    }

    // Counts are whole numbers from 0 to 999,999,999, whatever a pasted text holds.
    void counts_data() {
        dataColumns<QString, qint64>({"text", "count"});
        dataRow("largest count", "999999999", qint64(999999999));
        dataRow("beyond the largest", "99999999999", qint64(999999999));
        dataRow("fraction cut", "2.9", qint64(2));
        dataRow("negative", "-5", qint64(0));
    }
    void counts() {
        QFETCH(QString, text);
        QFETCH(qint64, count);
        FakeView view;
        view.set(1, Field::Minimum, text);
        view.set(1, Field::Maximum, text);
        view.start(0, 1);
        QVERIFY(view.messages.isEmpty());
        QCOMPARE(view.result.request.types[0].minimum, count);
        QCOMPARE(view.result.request.types[0].maximum, count);
    }

    void pricesNormalisedAndSummed() {
        FakeView view;
        view.set(2, Field::Price, QStringLiteral("12.5"));
        view.set(3, Field::Price, QStringLiteral("2,675"));
        view.set(6, Field::Price, QString());
        view.set(10, Field::Price, QStringLiteral("3")); // unselected rows are normalised too
        view.start();
        QCOMPARE(view.text(Field::Price, 2), QStringLiteral("12,50"));
        QCOMPARE(view.text(Field::Price, 3), QStringLiteral("2,68"));
        QCOMPARE(view.text(Field::Price, 6), QString());
        QCOMPARE(view.text(Field::Price, 10), QStringLiteral("3,00"));
        // 2 x 12,50 + 5 x 2,68 + 1 x empty
        QCOMPARE(view.result.rows[0].totalPrice, 38.4);
        QCOMPARE(view.grid.cellText(1, 12), QStringLiteral("38,40"));
    }

    void inputErrorsKeepPreviousResults_data() {
        dataColumns<int, int, QString, QString, int>({"row", "field", "text", "message", "focus"});
        dataRow("minimum above maximum", 3, int(Field::Minimum), "10000", MinMaxMessage,
                int(Field::Minimum));
        dataRow("negative length from a file", 4, int(Field::Length), "-94.2",
                NegativeLengthMessage, int(Field::Length));
        dataRow("price that is no number", 5, int(Field::Price), "1.234,50", BadPriceMessage,
                int(Field::Price));
        dataRow("price beyond the exact sums", 6, int(Field::Price), "99999999999",
                PriceTooLargeMessage, int(Field::Price));
    }
    void inputErrorsKeepPreviousResults() {
        QFETCH(int, row);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, focus);
        FakeView view;
        view.start();
        view.set(row, Field(field), text);
        view.set(8, Field::Price, QStringLiteral("7.5")); // after the bad row: untouched
        view.set(1, Field::Article, QStringLiteral("neu"));
        view.start();
        QCOMPARE(view.messages, QStringList{"Eingabefehler/" + message});
        QCOMPARE(int(view.focus.first), focus);
        QCOMPARE(view.focus.second, row);
        QCOMPARE(view.label, QString());
        QCOMPARE(view.text(Field::Price, 8), QStringLiteral("7.5"));
        // The previous search stays, with its table and headings.
        QCOMPARE(view.count(), 4);
        QCOMPARE(view.grid.rowCount(), 4);
        QCOMPARE(view.grid.cellText(0, 3), QStringLiteral("24064"));
    }

    void uncheckedRowsAreNotChecked() {
        FakeView view;
        view.checked[3] = view.checked[4] = false;
        view.set(3, Field::Minimum, QStringLiteral("5"));
        view.set(3, Field::Maximum, QStringLiteral("3"));
        view.set(9, Field::Minimum, QStringLiteral("5")); // length 0
        view.set(9, Field::Maximum, QStringLiteral("3"));
        view.set(4, Field::Price, QStringLiteral("abc"));
        view.start();
        QVERIFY(view.messages.isEmpty());
        QCOMPARE(view.result.typeCount(), 6);
        QCOMPARE(view.text(Field::Price, 4), QStringLiteral("abc"));
    }

    void limitAndEmptySelection() {
        FakeView view;
        view.d1 = view.d2 = 10;
        view.start(1000, 5);
        QCOMPARE(view.count(), 5);
        QCOMPARE(view.counts(4), QStringLiteral("7 4 1 2 0 0 0 0"));
        QCOMPARE(view.grid.cellText(5, 1), QStringLiteral("999,2"));
        QCOMPARE(view.grid.cellText(5, 2), QStringLiteral("-0,8"));

        // Limit 0 examines the starting vector only; a limit that reads 2.5 allows 3.
        for (int row = 2; row <= 8; ++row)
            view.set(row, Field::Maximum, QStringLiteral("0"));
        view.start(0, 0);
        QCOMPARE(view.count(), 1);
        view.set(1, Field::Length, QStringLiteral("0.1"));
        view.start(1, 2.5);
        QCOMPARE(view.count(), 3);

        // Nothing selected: five columns, the empty combination only when the window holds 0.
        for (bool& c : view.checked)
            c = false;
        view.start(0, 500);
        QCOMPARE(view.count(), 1);
        QCOMPARE(view.grid.columnCount(), 5);
        view.start(1000, 500);
        QCOMPARE(view.count(), 0);
        QCOMPARE(view.label, QStringLiteral("\r\n (Dauer: ,25 Sek.)"));
        QCOMPARE(FinishedLabel(1, 12.345, true),
                 QStringLiteral(" Ergebnis: 1 Kombinationen \r\n (Abgebrochen nach 12,35 Sek.)"));
    }
};

QTEST_APPLESS_MAIN(TestFindCombinations)
#include "tst_findcombinations.moc"
