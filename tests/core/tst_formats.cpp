// Number formats, the typing rules of the track table and the reading of prices.
#include "currency.h"
#include "germanformat.h"
#include "inputrules.h"

#include <QtTest>

#include <limits>

using namespace Kern;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void pattern_data();
    void pattern();
    void germanReading_data();
    void germanReading();
    void plainText_data();
    void plainText();
    void leadingNumber_data();
    void leadingNumber();
    void typingSequences_data();
    void typingSequences();
    void focusLoss();
    void priceNormalisation_data();
    void priceNormalisation();
    void currency_data();
    void currency();
};

void TestFormats::pattern_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole number") << 11.0 << "####"
                                  << "11";
    QTest::newRow("zero count shows empty") << 0.0 << "####"
                                            << "";
    QTest::newRow("running number rounds") << 2.5 << "####"
                                           << "3";
    QTest::newRow("length one decimal") << 1000.0 << "###0.0"
                                        << "1000,0";
    QTest::newRow("deviation shortfall") << -0.9 << "###0.0"
                                         << "-0,9";
    QTest::newRow("length keeps leading zero") << 0.04 << "###0.0"
                                               << "0,0";
    QTest::newRow("small shortfall keeps minus") << -0.04 << "###0.0"
                                                 << "-0,0";
    QTest::newRow("binary noise of 999.2") << 999.2000000000001 << "###0.0"
                                           << "999,2";
    QTest::newRow("price grouping") << 1234.5 << "#,##0.00"
                                    << "1.234,50";
    QTest::newRow("price zero") << 0.0 << "#,##0.00"
                                << "0,00";
    QTest::newRow("price millions") << 1234567.891 << "#,##0.00"
                                    << "1.234.567,89";
    QTest::newRow("half away on decimal value") << 2.675 << "##0.00"
                                                << "2,68";
    QTest::newRow("half away negative") << -2.675 << "##0.00"
                                        << "-2,68";
    QTest::newRow("round up carries") << 9.995 << "##0.00"
                                      << "10,00";
    QTest::newRow("quarter second") << 0.25 << "#####.00"
                                    << ",25";
    QTest::newRow("duration zero") << 0.0 << "#####.00"
                                   << ",00";
    QTest::newRow("duration seconds") << 13.456 << "#####.00"
                                      << "13,46";
    QTest::newRow("calculator grouping") << 1234.5 << "###########,##0.00"
                                         << "1.234,50";
    QTest::newRow("calculator no places") << 19.5583 << "###########,##0"
                                          << "20";
    QTest::newRow("display point alone") << 12.0 << "#############0."
                                         << "12,";
    QTest::newRow("display typed decimals") << 1.5 << "#############0.0"
                                            << "1,5";
    QTest::newRow("display zero") << 0.0 << "#############0"
                                  << "0";
    QTest::newRow("tiny value") << 1e-20 << "###0.0"
                                << "0,0";
    QTest::newRow("huge value") << 1e20 << "####"
                                << "100000000000000000000";
    QTest::newRow("not finite") << std::numeric_limits<double>::infinity() << "####"
                                << "";
}

void TestFormats::pattern() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(FormatPattern(value, pattern), expected);
}

void TestFormats::germanReading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("comma decimal") << "12,5" << true << 12.5;
    QTest::newRow("thousands") << "1.234,50" << true << 1234.5;
    QTest::newRow("two groups") << "1.234.567" << true << 1234567.0;
    QTest::newRow("blanks and sign") << "  -3,25 " << true << -3.25;
    QTest::newRow("comma only start") << ",5" << true << 0.5;
    QTest::newRow("trailing comma") << "5," << true << 5.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters") << "12a" << false << 0.0;
    QTest::newRow("english point") << "3.5" << false << 0.0;
    QTest::newRow("two commas") << "1,234,50" << false << 0.0;
    QTest::newRow("point after comma") << "1,2.5" << false << 0.0;
    QTest::newRow("sign alone") << "-" << false << 0.0;
    QTest::newRow("too small for a double")
        << "0," + QString(400, QLatin1Char('0')) + "7" << true << 0.0;
    QTest::newRow("too large for a double") << QString(400, QLatin1Char('9')) << false << 0.0;
}

void TestFormats::germanReading() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double v = -1;
    QCOMPARE(ReadGermanNumber(text, &v), ok);
    if (ok)
        QCOMPARE(v, value);
    QCOMPARE(GermanSortValue(text), ok ? value : 0.0);
}

void TestFormats::plainText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal") << 12.5 << "12,5";
    QTest::newRow("fifteen digits") << 10.0 / 3.0 << "3,33333333333333";
    QTest::newRow("negative whole") << -8.0 << "-8";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("quarter") << 2.5 << "2,5";
    QTest::newRow("large whole") << 11111111111.0 << "11111111111";
    QTest::newRow("exponent") << 1e20 << "1E+20";
}

void TestFormats::plainText() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(PlainNumberText(value), expected);
}

void TestFormats::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("point decimal") << "64.3" << 64.3;
    QTest::newRow("comma ends the number") << "64,3" << 64.0;
    QTest::newRow("zero text") << "0,0" << 0.0;
    QTest::newRow("leading blanks and sign") << "   -12.5x" << -12.5;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("exponent not read") << "1e3" << 1.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("plus sign") << "+.5" << 0.5;
    QTest::newRow("long run of zeros after the point is tiny")
        << QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1") << 0.0;
    QTest::newRow("endless digits stay finite")
        << QString(400, QLatin1Char('9')) << std::numeric_limits<double>::max();
}

void TestFormats::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LeadingNumber(text), value);
}

// Applies a rule to a typed sequence the way a box does.
static QString typeInto(QString box, const QString& keys, bool lengthRule) {
    for (const QChar k : keys) {
        const KeyVerdict v = lengthRule ? LengthKeyRule(k, box) : DigitsKeyRule(k);
        if (v.action == KeyVerdict::Drop)
            continue;
        const QChar c = v.action == KeyVerdict::Replace ? v.replacement : k;
        if (c == QChar(8))
            box.chop(1);
        else
            box += c;
    }
    return box;
}

void TestFormats::typingSequences_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("lengthRule");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma becomes point") << ""
                                         << "64,3" << true << "64.3";
    QTest::newRow("second point dropped") << ""
                                          << "64.3." << true << "64.3";
    QTest::newRow("second comma dropped") << "64.3"
                                          << "," << true << "64.3";
    QTest::newRow("letters and minus dropped") << "12"
                                               << "a-x" << true << "12";
    QTest::newRow("backspace passes") << "123" << QString(QChar(8)) << true << "12";
    QTest::newRow("paste key dropped") << "5" << QString(QChar(0x16)) << true << "5";
    QTest::newRow("digits only") << ""
                                 << "1a2.3,-" << false << "123";
    QTest::newRow("digits backspace") << "99" << QString(QChar(8)) << false << "9";
}

void TestFormats::typingSequences() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(bool, lengthRule);
    QFETCH(QString, expected);
    QCOMPARE(typeInto(start, keys, lengthRule), expected);
}

void TestFormats::focusLoss() {
    QCOMPARE(FocusLossText(QString(), QLatin1String(MaximumZeroText)), QStringLiteral("9999"));
    QCOMPARE(FocusLossText(QStringLiteral("00"), QLatin1String(MinimumZeroText)),
             QStringLiteral("0"));
    QCOMPARE(FocusLossText(QStringLiteral("0.0"), QLatin1String(LengthZeroText)),
             QStringLiteral("0,0"));
    QCOMPARE(FocusLossText(QStringLiteral("12."), QLatin1String(LengthZeroText)),
             QStringLiteral("12."));
}

void TestFormats::priceNormalisation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("point becomes comma") << "12.5"
                                         << "12,50";
    QTest::newRow("whole") << "3"
                           << "3,00";
    QTest::newRow("leading zero") << "0,5"
                                  << "0,50";
    QTest::newRow("rounds half away") << "2,675"
                                      << "2,68";
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("letters unchanged") << "abc"
                                       << "abc";
    QTest::newRow("thousands point broken by first dot") << "1.234,50"
                                                         << "1,234,50";
    QTest::newRow("grouping dropped") << "1234,5"
                                      << "1234,50";
}

void TestFormats::priceNormalisation() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NormalisePriceText(text), expected);
}

void TestFormats::currency_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("tenThousandths");
    QTest::addColumn<bool>("tooLarge");
    QTest::newRow("cents") << "12,50" << true << qint64(125000) << false;
    QTest::newRow("four decimals exact") << "0,1234" << true << qint64(1234) << false;
    QTest::newRow("fifth decimal rounds") << "0,00005" << true << qint64(1) << false;
    QTest::newRow("empty is zero") << "" << true << qint64(0) << false;
    QTest::newRow("negative") << "-1,5" << true << qint64(-15000) << false;
    QTest::newRow("not a number") << "1,234,50" << false << qint64(0) << false;
    QTest::newRow("largest amount") << "10.000.000.000,0000" << true << Currency::MaxAbs << false;
    QTest::newRow("a ten-thousandth above the largest")
        << "10000000000,0001" << false << qint64(0) << true;
    QTest::newRow("eleven nines") << "99999999999" << false << qint64(0) << true;
    QTest::newRow("too large negative") << "-99999999999,00" << false << qint64(0) << true;
    QTest::newRow("beyond a double")
        << QString(400, QLatin1Char('9')) << false << qint64(0) << true;
}

void TestFormats::currency() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(qint64, tenThousandths);
    QFETCH(bool, tooLarge);
    Currency c;
    bool large = !tooLarge;
    QCOMPARE(ReadCurrency(text, &c, &large), ok);
    QCOMPARE(large, tooLarge);
    if (ok)
        QCOMPARE(c.tenThousandths, tenThousandths);
}

QTEST_APPLESS_MAIN(TestFormats)
#include "tst_formats.moc"
