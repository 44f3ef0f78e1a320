#include "calculatorengine.h"
#include "calculatorview.h"
#include "tapetext.h"

#include <QStringList>
#include <QTest>

#include <cmath>

namespace {

class FakeView : public CalculatorView {
public:
    QString display;
    QStringList tape;
    QStringList messages; // "text/title/buttons"
    QString places = QStringLiteral("2");
    bool switchEnabled = true;
    int equalsFocused = 0;

    void setDisplayText(const QString& text) override { display = text; }
    void clearTape() override { tape.clear(); }
    int tapeLineCount() const override { return int(tape.size()); }
    QString tapeLine(int i) const override { return tape.value(i); }
    void writeTapeLine(int i, const QString& text) override {
        if (i < 0 || i > tape.size())
            QFAIL("tape line written out of order");
        if (i == tape.size())
            tape.append(text);
        else
            tape[i] = text;
    }
    void selectLastTapeLine() override {}
    void blankConversionField() override {}
    void setSwitchEnabled(bool enabled) override { switchEnabled = enabled; }
    void focusEqualsKey() override { ++equalsFocused; }
    QString decimalPlacesCaption() const override { return places; }
    void showMessage(const QString& text, const QString& title, MessageButtons b) override {
        messages << text + QLatin1Char('/') + title +
                        (b == MessageButtons::Ok ? QLatin1String("/OK")
                                                 : QLatin1String("/OK+Abbrechen"));
    }
};

void typeKeys(CalculatorEngine& engine, const QString& keys) {
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        engine.HandleKey(k);
}

} // namespace

class TestCalculatorEngine : public QObject {
    Q_OBJECT
private slots:
    void keySequences_data();
    void keySequences();
    void overflowStartsOver();
    void longTape();
};

void TestCalculatorEngine::keySequences_data() {
    QTest::addColumn<QString>("places");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("messages");

    const QString two = QStringLiteral("2");
    QTest::newRow("addition") << two << "5 + 3 ="
                              << "5 +|3|8,00 =|rule"
                              << "8"
                              << "";
    QTest::newRow("division keeps its operand's blank") << two << "10 / 3 ="
                                                        << "10 /|3 |3,33 =|rule"
                                                        << "3,33"
                                                        << "";
    QTest::newRow("percent on top") << two << "200 + 10 %"
                                    << "200 +|10 %"
                                    << "220"
                                    << "";
    QTest::newRow("percent then result") << two << "200 + 10 % ="
                                         << "200 +|10 %|220,00 =|rule"
                                         << "220"
                                         << "";
    QTest::newRow("percent off") << two << "200 - 10 % ="
                                 << "200 -|10 %|180,00 =|rule"
                                 << "180"
                                 << "";
    QTest::newRow("percent of") << two << "200 * 10 % ="
                                << "200 *|10 %|20,00 =|rule"
                                << "20"
                                << "";
    QTest::newRow("operator after percent takes the percent operand")
        << two << "200 + 10 % + 5 ="
        << "200 +|10 %|10 +|5|15,00 =|rule"
        << "15"
        << "";
    QTest::newRow("result right after an operator cuts it") << two << "5 + ="
                                                            << "5|5,00 =|rule"
                                                            << "5"
                                                            << "";
    QTest::newRow("second operator repeats the first") << two << "5 + - 2 ="
                                                       << "5 +|5 -|2|8,00 =|rule"
                                                       << "8"
                                                       << "";
    QTest::newRow("result carried on") << two << "5 + 3 = * 2 ="
                                       << "5 +|3|8,00 =|rule|8 *|2|16,00 =|rule"
                                       << "16"
                                       << "";
    QTest::newRow("digit after result starts anew") << two << "5 + 3 = 2 + 1 ="
                                                    << "5 +|3|8,00 =|rule|2 +|1|3,00 =|rule"
                                                    << "3"
                                                    << "";
    QTest::newRow("clear entry") << two << "5 + 3 E 4 ="
                                 << "5 +|4|9,00 =|rule"
                                 << "9"
                                 << "";
    QTest::newRow("clear entry keeps the accumulator") << two << "5 + 3 = E * 2 ="
                                                       << "5 +|3|8,00 =|rule|8 *|2|16,00 =|rule"
                                                       << "16"
                                                       << "";
    QTest::newRow("rounding lifts the binary neighbour of a half") << two << "2 , 3 4 4 9 9 9 9 9 ="
                                                                   << "2,34499999|2,35 =|rule"
                                                                   << "2,35"
                                                                   << "";
    QTest::newRow("one and a half cent") << two << "1 , 0 0 5 ="
                                         << "1,005|1,01 =|rule"
                                         << "1,01"
                                         << "";
    QTest::newRow("negative rounds away from zero") << two << "0 - 2 , 0 0 5 ="
                                                    << "0 -|2,005|-2,01 =|rule"
                                                    << "-2,01"
                                                    << "";
    QTest::newRow("division by zero") << two << "8 / 0 ="
                                      << "8 /|0 |0,00 =|rule"
                                      << "0"
                                      << "";
    QTest::newRow("result as first key") << two << "="
                                         << "0|0,00 =|rule"
                                         << "0"
                                         << "";
    QTest::newRow("clear empties the tape") << two << "5 + 3 = C"
                                            << ""
                                            << "0"
                                            << "";
    QTest::newRow("lower-case letters and comma") << two << "5 + 3 e 4 , 5 ="
                                                  << "5 +|4,5|9,50 =|rule"
                                                  << "9,5"
                                                  << "";
    QTest::newRow("decimal key shows the comma alone") << two << "1 2 ,"
                                                       << ""
                                                       << "12,"
                                                       << "";
    QTest::newRow("second decimal key changes nothing") << two << "1 , , 5"
                                                        << ""
                                                        << "1,5"
                                                        << "";
    QTest::newRow("typed zeros stay") << two << "1 , 5 0"
                                      << ""
                                      << "1,50"
                                      << "";
    QTest::newRow("ignored key shows the typed-entry form") << two << "7 / 2 = x"
                                                            << "7 /|2 |3,50 =|rule"
                                                            << "4"
                                                            << "";
    QTest::newRow("twelfth integer digit") << two << "1 1 1 1 1 1 1 1 1 1 1 1"
                                           << ""
                                           << "11111111111"
                                           << "Überlauf/Hinweis/OK+Abbrechen";
    QTest::newRow("at most ten decimals") << two << "0 , 1 2 3 4 5 6 7 8 9 1 2 3"
                                          << ""
                                          << "0,1234567891"
                                          << "";
    QTest::newRow("percent ignored after division") << two << "200 / 10 %"
                                                    << "200 /"
                                                    << "10"
                                                    << "";
    QTest::newRow("percent ignored after percent") << two << "200 + 10 % %"
                                                   << "200 +|10 %"
                                                   << "220"
                                                   << "";
    QTest::newRow("percent ignored after result") << two << "5 + 3 = %"
                                                  << "5 +|3|8,00 =|rule"
                                                  << "8"
                                                  << "";
    QTest::newRow("thousands on the tape") << two << "1234 , 5 ="
                                           << "1234,5|1.234,50 =|rule"
                                           << "1234,5"
                                           << "";
    QTest::newRow("no places: 0.50001 lifts") << "0"
                                              << "2 , 4 9 9 9 9 5 ="
                                              << "2,499995|3 =|rule"
                                              << "3"
                                              << "";
    QTest::newRow("no places: below stays") << "0"
                                            << "2 , 4 9 9 9 8 ="
                                            << "2,49998|2 =|rule"
                                            << "2"
                                            << "";
    QTest::newRow("six places: 0.50001 lifts") << "6"
                                               << "4 , 9 9 9 9 5 / 10000000 ="
                                               << "4,99995 /|10000000 |0,000001 =|rule"
                                               << "1E-06"
                                               << "";
    QTest::newRow("six places: below stays") << "6"
                                             << "4 , 9 9 9 8 / 10000000 ="
                                             << "4,9998 /|10000000 |0,000000 =|rule"
                                             << "0"
                                             << "";
    // Beyond 2^52 the rounding's 0,50001 used to add one to a whole number.
    QTest::newRow("huge result not pushed up by rounding")
        << two << "99999999999 * 500 ="
        << "99999999999 *|500|49.999.999.999.500,00 =|rule"
        << "49999999999500"
        << "";
}

void TestCalculatorEngine::keySequences() {
    QFETCH(QString, places);
    QFETCH(QString, keys);
    QFETCH(QString, tape);
    QFETCH(QString, display);
    QFETCH(QString, messages);

    FakeView view;
    view.places = places;
    CalculatorEngine engine(&view);
    engine.Open();
    QCOMPARE(view.display.trimmed(), QStringLiteral("0"));

    // Multi-digit groups in the table are typed digit by digit.
    QString split;
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (k.size() > 1 && k.at(0).isDigit())
            split += QStringList(k.split(QString(), Qt::SkipEmptyParts)).join(QLatin1Char(' '));
        else
            split += k;
        split += QLatin1Char(' ');
    }
    typeKeys(engine, split);

    QCOMPARE(shortTape(view.tape), tape);
    QCOMPARE(view.display.size(), 25);
    QCOMPARE(view.display.trimmed(), display);
    QCOMPARE(view.messages.join(QLatin1Char(';')), messages);
    QVERIFY(!view.switchEnabled);
}

void TestCalculatorEngine::overflowStartsOver() {
    FakeView view;
    CalculatorEngine engine(&view);
    engine.Open();
    typeKeys(engine, QStringLiteral("9 9 9 9 9 9 9 9 9 9 9"));
    for (int i = 0; i < 40 && view.messages.isEmpty(); ++i)
        engine.HandleKey(QStringLiteral("*"));
    QCOMPARE(view.messages, QStringList{QStringLiteral("Überlauf/Hinweis/OK")});
    QVERIFY(view.tape.isEmpty());
    QCOMPARE(view.display.trimmed(), QStringLiteral("0"));

    // Division chains overflow just as well, and afterwards the calculator works on.
    typeKeys(engine, QStringLiteral("1 / , 0 0 0 0 0 0 0 0 0 1"));
    for (int i = 0; i < 40 && view.messages.size() < 2; ++i)
        engine.HandleKey(QStringLiteral("/"));
    QCOMPARE(view.messages.size(), 2);
    typeKeys(engine, QStringLiteral("2 + 3 ="));
    QCOMPARE(shortTape(view.tape), QStringLiteral("2 +|3|5,00 =|rule"));
    QCOMPARE(view.display.trimmed(), QStringLiteral("5"));

    // A percent of a huge number overflows in the product.
    typeKeys(engine, QStringLiteral("C 9 9 9 9 9 9 9 9 9 9 9"));
    for (int i = 0; i < 28; ++i)
        engine.HandleKey(QStringLiteral("*"));
    QVERIFY(std::isfinite(engine.state().accumulator));
    typeKeys(engine, QStringLiteral("9 9 9 9 9 9 9 9 9 9 9 %"));
    QCOMPARE(view.messages.size(), 3);
    QCOMPARE(engine.state().accumulator, 0.0);
}

void TestCalculatorEngine::longTape() {
    FakeView view;
    CalculatorEngine engine(&view);
    engine.Open();
    for (int i = 0; i < 11000; ++i)
        typeKeys(engine, QStringLiteral("1 + ="));
    // Three lines each: operand, result, rule; far past the old 16-bit limit of 32767.
    QCOMPARE(view.tape.size(), 33000);
    QCOMPARE(engine.state().tapeIndex, 33000);
    QCOMPARE(view.tape.last(), QString(30, QLatin1Char('-')));
    QCOMPARE(view.tape.at(32998).trimmed(), QStringLiteral("1,00 ="));
}

QTEST_GUILESS_MAIN(TestCalculatorEngine)
#include "tst_calculatorengine.moc"
