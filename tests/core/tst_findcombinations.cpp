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
    QString texts[11][5]; // [row][field]
    bool checked[11];
    int d1 = 0, d2 = 0;
    QStringList log;

    FakeView() {
        const QStringList lengths{"64.3",  "70.8",  "77.5",  "94.2", "171.7",
                                  "188.3", "229.3", "236.1", "0.0",  "0.0"};
        for (int row = 1; row <= 10; ++row) {
            checked[row] = true;
            const QString fields[] = {QString::number(24000 + row), lengths[row - 1], "0", "9999",
                                      "0,00"};
            std::copy(std::begin(fields), std::end(fields), texts[row]);
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
        log << title + QLatin1Char('/') + text;
    }
    void focusField(Field f, int row) override {
        log << QStringLiteral("Feld %1 in Zeile %2").arg(int(f)).arg(row);
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
        QCOMPARE(result.typeCount(), 8);
        QCOMPARE(result.articleNumber(8), QStringLiteral("24008"));
        QCOMPARE(result.count(), 4);
        QCOMPARE(result.rows[0].counts, (std::array<qint64, MaxTypes>{0, 2, 5, 3, 0, 1, 0, 0}));
        // 2 x 12,50 + 5 x 2,68 + 1 x empty
        QCOMPARE(result.rows[0].totalPrice, 38.4);
        QCOMPARE(view.text(Field::Price, 2) + view.text(Field::Price, 6), QStringLiteral("12,50"));
        QCOMPARE(finishedLabel(result.count(), 0.25, false),
                 QStringLiteral(" Ergebnis: 4 Kombinationen \r\n (Dauer: ,25 Sek.)"));
        QCOMPARE(finishedLabel(0, 12.345, true),
                 QStringLiteral("\r\n (Abgebrochen nach 12,35 Sek.)"));
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
    // its box.
    void rowsRead_data() {
        dataColumns<int, int, QString, double, QString>({"row", "field", "text", "limit", "read"});
        const QString error = QStringLiteral("Eingabefehler/%1 | Feld %2 in Zeile %3");
        dataRow("count beyond the largest", 1, int(Field::Maximum), "99999999999", 5000.5,
                "0 bis 999999999, Grenze 5000");
        dataRow("fractions", 1, int(Field::Minimum), "2.9", 2.5, "2 bis 9999, Grenze 3");
        dataRow("negative count, no number as limit", 1, int(Field::Maximum), "-5", std::nan(""),
                "0 bis 0, Grenze 0");
        dataRow("minimum above maximum", 3, int(Field::Minimum), "10000", 500.0,
                error.arg(MinMaxMessage).arg(2).arg(3));
        dataRow("negative length from a file", 4, int(Field::Length), "-94.2", 500.0,
                error.arg(NegativeLengthMessage).arg(1).arg(4));
        dataRow("price with two points, the first the decimal one", 5, int(Field::Price),
                "1.234.567", 500.0, error.arg(BadPriceMessage).arg(4).arg(5));
        dataRow("price beyond the exact sums", 6, int(Field::Price), "99999999999", 500.0,
                error.arg(PriceTooLargeMessage).arg(4).arg(6));
    }
    void rowsRead() {
        QFETCH(int, row);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(double, limit);
        QFETCH(QString, read);
        FakeView view;
        view.set(row, Field(field), text);
        const std::optional<SearchResult> result = FindCombinations(view, 1000, limit);
        QCOMPARE(result ? QStringLiteral("%1 bis %2, Grenze %3")
                              .arg(result->request.types[0].minimum)
                              .arg(result->request.types[0].maximum)
                              .arg(result->request.limit)
                        : view.log.join(QStringLiteral(" | ")),
                 read);
    }
};

QTEST_APPLESS_MAIN(TestFindCombinations)
#include "tst_findcombinations.moc"
