// Number formats, the reading of numbers and the normalising and reading of prices.
#include "currency.h"
#include "datarow.h"
#include "germanformat.h"
#include "inputrules.h"

#include <QtTest>

#include <limits>

using namespace Kern;

namespace {
const double NaN = std::nan("");
const QString Nines(400, QLatin1Char('9'));
const QString Zeros(400, QLatin1Char('0'));
// What the price reader refuses, apart from any amount.
constexpr qint64 NoNumber = std::numeric_limits<qint64>::min(), TooLarge = NoNumber + 1;
} // namespace

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void pattern_data() {
        dataColumns<double, QString, QString>({"value", "pattern", "expected"});
        dataRow("no digit to show, no sign either", -0.4, "####", "");
        dataRow("binary noise of 999.2", 999.2000000000001, "###0.0", "999,2");
        dataRow("grouping only where asked", 1234567.0, "##0.00", "1234567,00");
        dataRow("round up carries", 9.995, "##0.00", "10,00");
        dataRow("point alone", 12.0, "#############0.", "12,");
        dataRow("huge value", 1e20, "####", "100000000000000000000");
    }
    void pattern() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(formatPattern(value, pattern), expected);
    }

    // The same texts read as German numbers (NaN: none) and by the leading-number rule of the
    // boxes.
    void numbersRead_data() {
        dataColumns<QString, double, double>({"text", "german", "leading"});
        dataRow("thousands", "1.234,50", 1234.5, 1.234);
        dataRow("blanks and sign", "  -3,25 ", -3.25, -3.0);
        dataRow("point decimal", "64.3", NaN, 64.3);
        dataRow("a tab is no blank for the boxes", "\t5", 5.0, 0.0);
        dataRow("second point", "1.2.3", NaN, 1.2);
        dataRow("first group of four digits", "1234.567", NaN, 1234.567);
        dataRow("later group of four digits", "1.2345", NaN, 1.2345);
        dataRow("digit of another script", "12\u0663", NaN, 12.0);
        dataRow("sign alone", "+", NaN, 0.0);
        dataRow("too small for a double", "0," + Zeros + "7", 0.0, 0.0);
        dataRow("long run of zeros after the point", "0." + Zeros + "1", NaN, 0.0);
        dataRow("too large for a double", Nines, NaN, std::numeric_limits<double>::max());
    }
    void numbersRead() {
        QFETCH(QString, text);
        QFETCH(double, german);
        QFETCH(double, leading);
        double value = NaN;
        QCOMPARE(readGermanNumber(text, &value), !std::isnan(german));
        QCOMPARE(value, german);
        QCOMPARE(leadingNumber(text), leading);
    }

    // A price as typed: written back normalised (the first point is the decimal one), then read
    // exactly within the largest amount whose sums stay exact.
    void prices_data() {
        dataColumns<QString, QString, qint64>({"text", "normalised", "amount"});
        dataRow("point becomes comma", "12.5", "12,50", qint64(125000));
        dataRow("half away on the decimal value", "-2,675", "-2,68", qint64(-26800));
        dataRow("empty is zero", "", "", qint64(0));
        dataRow("thousands point broken by the first dot", "1.234,50", "1,234,50", NoNumber);
        dataRow("two points: the first is the decimal one", "1.234.567", "1,234.567", NoNumber);
        dataRow("largest amount", "10000000000", "10000000000,00", Currency::MaxAbs);
        dataRow("a cent above", "10000000000,01", "10000000000,01", TooLarge);
        dataRow("beyond a double", Nines, Nines, TooLarge);
    }
    void prices() {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        QFETCH(qint64, amount);
        QCOMPARE(normalisePriceText(text), normalised);
        Currency c{NoNumber};
        bool tooLarge = false;
        const bool ok = readCurrency(normalised, &c, &tooLarge);
        QCOMPARE(tooLarge ? TooLarge : c.tenThousandths, amount);
        QCOMPARE(ok, amount != NoNumber && amount != TooLarge);
    }
};

QTEST_APPLESS_MAIN(TestFormats)
#include "tst_formats.moc"
