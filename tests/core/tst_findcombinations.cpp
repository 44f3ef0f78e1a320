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
// prices "0,00". Messages and focus moves are logged.
class FakeView : public SearchView {
public:
    QMap<std::pair<int, Field>, QString> texts; // where not as at the start-up
    bool checked[11] = {true, true, true, true, true, true, true, true, true, true, true};
    int d1 = 0, d2 = 0;
    QStringList log;

    void set(int row, Field f, const QString& t) { texts[{row, f}] = t; }
    QString text(Field f, int row) const override {
        const QStringList lengths{"64.3",  "70.8",  "77.5",  "94.2",
                                  "171.7", "188.3", "229.3", "236.1"};
        const QString startUp[] = {QString::number(24000 + row), lengths.value(row - 1, "0.0"), "0",
                                   "9999", "0,00"};
        return texts.value({row, f}, startUp[int(f)]);
    }
    bool isChecked(int row) const override { return checked[row]; }
    void setChecked(int row, bool c) override { checked[row] = c; }
    void setPriceText(int row, const QString& t) override { set(row, Field::Price, t); }
    int shortfallData() const override { return d1; }
    int excessData() const override { return d2; }
    void showMessage(const QString& t, const QString& title) override { log << title + '/' + t; }
    void focusField(Field f, int r) override {
        log << QString::asprintf("Feld %d in Zeile %d", int(f), r);
    }

    // What the start button and the end of the search do, on this thread.
    SearchResult search() {
        SearchResult result = FindCombinations(*this, 1000, 500).value();
        result.rows = searchCombinations(result.request);
        return result;
    }
};

} // namespace

class TestFindCombinations : public QObject {
    Q_OBJECT
private slots:
    // Prices are written back normalised and summed as such; rows of length 0 lose their check mark
    // and, like unchecked rows, are not checked for errors. Each tolerance list widens its own side
    // of the window (73 rows the other way round).
    void search() {
        FakeView view;
        view.set(2, Field::Price, QStringLiteral("12.5"));
        view.set(3, Field::Price, QStringLiteral("2,675"));
        view.set(6, Field::Price, QString());
        view.set(9, Field::Minimum, QStringLiteral("10000"));
        const SearchResult result = view.search();
        QVERIFY(view.checked[8] && !view.checked[9] && !view.checked[10]);
        QCOMPARE(result.articleNumbers.back(), QStringLiteral("24008"));
        QCOMPARE(result.count(), 4);
        QCOMPARE(result.rows[0].counts, (std::array<qint64, MaxTypes>{0, 2, 5, 3, 0, 1, 0, 0}));
        // 2 x 12,50 + 5 x 2,68 + 1 x empty
        QCOMPARE(result.rows[0].totalPrice, 38.4);
        QCOMPARE(view.text(Field::Price, 2) + view.text(Field::Price, 6), QStringLiteral("12,50"));
        QCOMPARE(finishedLabel(result.count(), 0.25, false),
                 QStringLiteral(" Ergebnis: 4 Kombinationen \r\n (Dauer: ,25 Sek.)"));
        view.d1 = 7;
        view.d2 = 3;
        QCOMPARE(view.search().count(), 59);
        view.checked[3] = view.checked[4] = false;
        view.set(3, Field::Minimum, QStringLiteral("10000"));
        view.set(3, Field::Price, QStringLiteral("3"));
        view.set(4, Field::Price, QStringLiteral("abc"));
        QCOMPARE(view.search().typeCount(), 6);
        QCOMPARE(view.log, QStringList());
        QCOMPARE(view.text(Field::Price, 3) + view.text(Field::Price, 4),
                 QStringLiteral("3,00abc"));
    }

    // Counts are whole numbers from 0 to 999,999,999, whatever a pasted text holds. The search
    // runs while fewer than the limit are found: a fractional limit rounds up, and the store holds
    // 5000 rows. The first faulty checked row stops the search with its message and the focus in
    // its box (the row of the text read).
    void rowsRead_data() {
        dataColumns<int, Field, QString, double, QString>(
            {"row", "field", "text", "limit", "read"});
        dataRow("count beyond the largest", 1, Field::Maximum, "99999999999", 5000.5,
                "0 bis 999999999, Grenze 5000");
        dataRow("fractions", 1, Field::Minimum, "2.9", 2.5, "2 bis 9999, Grenze 3");
        dataRow("negative count, no limit", 1, Field::Maximum, "-5", std::nan(""),
                "0 bis 0, Grenze 0");
        dataRow("minimum above maximum", 3, Field::Minimum, "10000", 1.0, MinMaxMessage);
        dataRow("negative length from a file", 4, Field::Length, "-94.2", 1.0,
                NegativeLengthMessage);
        dataRow("two points: the first is the decimal one", 5, Field::Price, "1.234.567", 1.0,
                BadPriceMessage);
        dataRow("price beyond the exact sums", 6, Field::Price, "99999999999", 1.0,
                PriceTooLargeMessage);
    }
    void rowsRead() {
        QFETCH(int, row);
        QFETCH(Field, field);
        QFETCH(QString, text);
        QFETCH(double, limit);
        QFETCH(QString, read);
        FakeView view;
        view.set(row, field, text);
        const std::optional<SearchResult> result = FindCombinations(view, 1000, limit);
        const SearchRequest request = result ? result->request : SearchRequest();
        if (result)
            QCOMPARE(QString::asprintf("%lld bis %lld, Grenze %lld", request.types[0].minimum,
                                       request.types[0].maximum, request.limit),
                     read);
        else
            QCOMPARE(view.log.join(QStringLiteral(" | ")),
                     QString::asprintf("Eingabefehler/%s | Feld %d in Zeile %d",
                                       read.toUtf8().constData(), int(field), row));
    }
};

QTEST_APPLESS_MAIN(TestFindCombinations)
#include "tst_findcombinations.moc"
