// The calculator engine through a recording window: key sequences, the tape, the display, the
// conversion field and the messages, as one table.
#include "calculatorengine.h"
#include "datarow.h"
#include "tapeview.h"

#include <QAbstractItemModelTester>
#include <QStringList>
#include <QTest>

namespace {

// Keys separated by blanks; a group of digits is typed digit by digit; "DM", "EU" and "SW" are
// the three conversion buttons, "P4" sets four places with the spinner.
void typeKeys(CalculatorEngine& engine, const QString& keys) {
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int conversion = QStringList{"DM", "EU", "SW"}.indexOf(k);
        if (conversion >= 0)
            (engine.*ConversionButtons[conversion])();
        else if (k.startsWith(QLatin1Char('P')))
            engine.setDecimalPlaces(k.mid(1).toInt());
        else if (k.at(0).isDigit())
            for (const QChar c : k)
                engine.HandleKey(QString(c));
        else
            engine.HandleKey(k);
    }
}

void row(const char* name, const QString& keys, const char* tape, const char* display,
         const char* field = "", const char* messages = "") {
    QTest::newRow(name) << keys << QString::fromUtf8(tape) << QString::fromUtf8(display)
                        << QString::fromUtf8(field) << QString::fromUtf8(messages);
}

const char* const Overflow = "Überlauf/Hinweis/OK";
// Near the top of a double: 99999999999 multiplied by itself 28 times.
const QString Huge = QStringLiteral("99999999999") + QStringLiteral(" *").repeated(28);

} // namespace

class TestCalculatorEngine : public QObject {
    Q_OBJECT
private slots:
    void keySequences_data() {
        dataColumns<QString, QString, QString, QString, QString>(
            {"keys", "tape", "display", "field", "messages"});

        row("percent off", "200 - 10 % =", "200 -|10 %|180,00 =|rule", "180");
        row("percent of", "200 * 10 % =", "200 *|10 %|20,00 =|rule", "20");
        row("operator after percent takes the percent operand",
            "200 + 10 % + 5 =", "200 +|10 %|10 +|5|15,00 =|rule", "15");
        row("result right after an operator cuts it", "5 + =", "5|5,00 =|rule", "5");
        row("second operator repeats the first", "5 + - 2 =", "5 +|5 -|2|8,00 =|rule", "8");
        row("digit after result starts anew",
            "5 + 3 = 2 + 1 =", "5 +|3|8,00 =|rule|2 +|1|3,00 =|rule", "3");
        row("result carried on past a clear entry",
            "5 + 3 = E * 2 =", "5 +|3|8,00 =|rule|8 *|2|16,00 =|rule", "16");
        row("negative rounds away from zero", "0 - 2 , 005 =", "0 -|2,005|-2,01 =|rule", "-2,01");
        row("division by zero, the divisor keeps its blank", "8 / 0 =", "8 /|0 |0,00 =|rule", "0");
        row("decimal key shows the comma alone", "12 ,", "", "12,");
        row("second decimal key changes nothing, typed zeros stay", "1 , , 50", "", "1,50");
        row("eleven integer digits, not twelve", "100000000000", "", "10000000000", "",
            "Überlauf/Hinweis/OK+Abbrechen");
        row("ten decimals, not eleven", "0 , 1234567891 2 3", "", "0,1234567891");
        row("percent ignored after division", "200 / 10 %", "200 /", "10");
        row("percent on top, ignored after percent", "200 + 10 % %", "200 +|10 %", "220");
        row("no places: 0.50001 lifts", "P0 2 , 499995 =", "2,499995|3 =|rule", "3");
        row("no places: below stays", "P0 2 , 49998 =", "2,49998|2 =|rule", "2");
        row("six places", "P6 4 , 99995 / 10000000 =", "4,99995 /|10000000 |0,000001 =|rule",
            "1E-06");
        row("more than six places are six",
            "P9 4 , 9998 / 10000000 =", "4,9998 /|10000000 |0,000000 =|rule", "0");
        // Beyond 2^52 the rounding's 0,50001 used to add one to a whole number.
        row("huge result not pushed up by rounding",
            "99999999999 * 500 =", "99999999999 *|500|49.999.999.999.500,00 =|rule",
            "49999999999500");
        // Results that the display's typed-entry form (14 places) or the tape's number column
        // (25 characters) cannot hold: the display keeps its text, the tape takes the display's.
        row("ignored key after a 16-digit result", "99999999999 * 99999 = x",
            "99999999999 *|99999|9.999.899.999.900.000,00 =|rule", "9,9998999999E+15");
        row("ignored key after a negative result and ten typed decimals",
            "0 - 99999999999 * 999 , 0000000001 = x",
            "0 -|99999999999 *|999,0000000001|-99.899.999.999.011,00 =|rule", "-99899999999011");
        row("longest result in the number column",
            "99999999999 * 999999 =", "99999999999 *|999999|99.999.899.999.000.000,00 =|rule",
            "9,9999899999E+16");
        row("longer result in the display's form",
            "99999999999 * 9999999 =", "99999999999 *|9999999|9,9999989999E+17 =|rule",
            "9,9999989999E+17");
        // Leaving the range of a double: a message, then a fresh start that works on.
        row("overflow by multiplication", Huge + " * 2 + 3 =", "2 +|3|5,00 =|rule", "5", "",
            Overflow);
        row("overflow in a percent", Huge + " 99999999999 %", "", "0", "", Overflow);
        row("overflow in a conversion", Huge + " DM", "", "0", "", Overflow);

        row("new places at the next result, the tape before kept",
            "2 / 3 = DM P4 =", "2 /|3 |0,67 =|rule|0,6700 =|rule", "0,67");
        row("Switch back", "10 DM SW SW", "", "10", "DM    19,56");
        row("conversion with no places", "P0 10 DM", "", "10", "DM    20");
        row("Switch after a result continues with it",
            "5 + 5 = DM SW + 1 =", "5 +|5|10,00 =|rule|19,56 +|1|20,56 =|rule", "20,56");
        row("Switch after a percent continues with it",
            "200 + 10 % DM SW =", "200 +|10 %|430,28 =|rule", "430,28");
        row("Switch after an operator changes the operand only",
            "5 + DM SW + =", "5 +|9,78|14,78 =|rule", "14,78");
        row("ignored key after Switch shows the number before", "10 DM SW x", "", "10");
        row("ignored key shows the typed-entry form, converted as shown", "7 / 2 = x DM",
            "7 /|2 |3,50 =|rule", "4", "DM    7,82");
    }
    void keySequences() {
        QFETCH(QString, keys);
        QFETCH(QString, tape);
        QFETCH(QString, display);
        QFETCH(QString, field);
        QFETCH(QString, messages);
        TapeView view;
        CalculatorEngine engine(&view);
        QAbstractItemModelTester tapeChecks(&engine.tape());
        engine.open();
        QCOMPARE(view.display.trimmed(), QStringLiteral("0"));
        typeKeys(engine, keys);
        QCOMPARE(shortTape(engine.tape().lines()), tape);
        QCOMPARE(view.display.trimmed(), display);
        QCOMPARE(view.field, field);
        QCOMPARE(view.switchEnabled, !field.isEmpty()); // only right after a conversion
        QCOMPARE(view.messages.join(QLatin1Char(';')), messages);
        QCOMPARE(view.fault, QString());
    }
};

QTEST_GUILESS_MAIN(TestCalculatorEngine)
#include "tst_calculatorengine.moc"
