// Number formats, the reading of numbers and the normalising and reading of prices.
#include "currency.h"
#include "datarow.h"
#include "germanformat.h"
#include "inputrules.h"

#include <QtTest>

#include <limits>

using namespace Kern;

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
} // namespace

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void pattern_data() {
        dataColumns<double, QString, QString>({"value", "pattern", "expected"});
        dataRow("zero count shows empty", 0.0, "####", "");
        dataRow("whole number rounds half up", 2.5, "####", "3");
        dataRow("no digit to show, no sign either", -0.4, "####", "");
        dataRow("leading zero kept", 0.04, "###0.0", "0,0");
        dataRow("small shortfall keeps minus", -0.04, "###0.0", "-0,0");
        dataRow("binary noise of 999.2", 999.2000000000001, "###0.0", "999,2");
        dataRow("price zero", 0.0, "#,##0.00", "0,00");
        dataRow("price millions", 1234567.891, "#,##0.00", "1.234.567,89");
        dataRow("grouping only where asked", 1234567.0, "##0.00", "1234567,00");
        dataRow("half away on the decimal value", 2.675, "##0.00", "2,68");
        dataRow("round up carries", 9.995, "##0.00", "10,00");
        dataRow("quarter second", 0.25, "#####.00", ",25");
        dataRow("point alone", 12.0, "#############0.", "12,");
        dataRow("huge value", 1e20, "####", "100000000000000000000");
        dataRow("infinite", Inf, "####", "");
    }

    void pattern() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(formatPattern(value, pattern), expected);
    }

    void germanReading_data() {
        dataColumns<QString, bool, double>({"text", "ok", "value"});
        dataRow("comma decimal", "12,5", true, 12.5);
        dataRow("thousands", "1.234,50", true, 1234.5);
        dataRow("blanks and sign", "  -3,25 ", true, -3.25);
        dataRow("comma first", ",5", true, 0.5);
        dataRow("empty", "", false, 0.0);
        dataRow("english point", "3.5", false, 0.0);
        dataRow("digit of another script", "12\u0663", false, 0.0);
        dataRow("first group of four digits", "1234.567", false, 0.0);
        dataRow("later group of four digits", "1.2345", false, 0.0);
        dataRow("two commas", "1,234,50", false, 0.0);
        dataRow("sign alone", "-", false, 0.0);
        dataRow("too small for a double", qPrintable("0," + QString(400, '0') + "7"), true, 0.0);
        dataRow("too large for a double", qPrintable(QString(400, '9')), false, 0.0);
    }

    void germanReading() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double v = -1;
        QCOMPARE(readGermanNumber(text, &v), ok);
        QCOMPARE(v, ok ? value : -1.0);
        QCOMPARE(germanSortValue(text), value);
    }

    void plainText_data() {
        dataColumns<double, QString>({"value", "expected"});
        dataRow("decimal", 12.5, "12,5");
        dataRow("fifteen digits", 10.0 / 3.0, "3,33333333333333");
        dataRow("large whole", 11111111111.0, "11111111111");
        dataRow("exponent", 1e20, "1E+20");
        dataRow("infinite", Inf, "∞");
        dataRow("negative infinite", -Inf, "-∞");
        dataRow("not a number", std::nan(""), "n. def.");
    }

    void plainText() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(plainNumberText(value), expected);
    }

    void leadingNumber_data() {
        dataColumns<QString, double>({"text", "value"});
        dataRow("point decimal", "64.3", 64.3);
        dataRow("comma ends the number", "64,3", 64.0);
        dataRow("blanks and sign", "   -12.5x", -12.5);
        dataRow("only blanks are skipped, not a tab", "\t5", 0.0);
        dataRow("second point ends", "1.2.3", 1.2);
        dataRow("exponent not read", "1e3", 1.0);
        dataRow("no number", "abc", 0.0);
        dataRow("plus sign, point first", "+.5", 0.5);
        dataRow("long run of zeros after the point", qPrintable("0." + QString(400, '0') + "1"),
                0.0);
        dataRow("endless digits stay finite", qPrintable(QString(400, '9')),
                std::numeric_limits<double>::max());
    }

    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Kern::leadingNumber(text), value);
    }

    void priceNormalisation_data() {
        dataColumns<QString, QString>({"text", "expected"});
        dataRow("point becomes comma", "12.5", "12,50");
        dataRow("point first", ".5", "0,50");
        dataRow("empty stays empty", "", "");
        dataRow("thousands point broken by the first dot", "1.234,50", "1,234,50");
        dataRow("two points: the first is the decimal one", "1.234.567", "1,234.567");
    }

    void priceNormalisation() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(normalisePriceText(text), expected);
    }

    void currency_data() {
        dataColumns<QString, bool, qint64, bool>({"text", "ok", "tenThousandths", "tooLarge"});
        dataRow("cents", "12,50", true, qint64(125000), false);
        dataRow("four decimals exact", "0,1234", true, qint64(1234), false);
        dataRow("fifth decimal rounds", "0,00005", true, qint64(1), false);
        dataRow("empty is zero", "", true, qint64(0), false);
        dataRow("negative", "-1,5", true, qint64(-15000), false);
        dataRow("not a number", "1,234,50", false, qint64(0), false);
        dataRow("largest amount", "10.000.000.000,0000", true, Currency::MaxAbs, false);
        dataRow("a ten-thousandth above", "10000000000,0001", false, qint64(0), true);
        dataRow("too large negative", "-99999999999,00", false, qint64(0), true);
        dataRow("beyond a double", qPrintable(QString(400, '9')), false, qint64(0), true);
    }

    void currency() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, tenThousandths);
        QFETCH(bool, tooLarge);
        Currency c;
        c.tenThousandths = -7;
        bool large = !tooLarge;
        QCOMPARE(readCurrency(text, &c, &large), ok);
        QCOMPARE(large, tooLarge);
        QCOMPARE(c.tenThousandths, ok ? tenThousandths : -7);
    }
};

QTEST_APPLESS_MAIN(TestFormats)
#include "tst_formats.moc"
