// The calculator's key handling driven by a stream of bytes, one key a byte, through a view that
// checks what the engine asks of it. Besides crashes and sanitizer reports it stops on a tape
// out of columns, a display wider than its 25 places, a number that left the range of a double,
// and a tape line written out of order.
//
// Bytes: 'D', 'U', 'S' are the buttons "DM", "Euro" and "Switch"; 'P' takes the next byte's
// last digit as the decimal places set with the spinner; every other byte is a typed
// character (Latin-1), so digits, operators, "C", "E", "," and ignored keys alike.
#include "calculatorengine.h"
#include "calculatorview.h"
#include "fuzzcheck.h"

#include <QStringList>

#include <cmath>
#include <cstdint>

namespace {

// The blank line of a fresh tape, the rule, or a number ending in column 25, then nothing or a
// blank and one operator symbol.
bool inColumns(const QString& line) {
    if (line.isEmpty() || line == QString(30, QLatin1Char('-')))
        return true;
    return line.size() >= 25 && line.size() <= 27 && line.at(24) != QLatin1Char(' ') &&
           (line.size() == 25 || line.at(25) == QLatin1Char(' ')) &&
           (line.size() < 27 || QStringLiteral("+-*/%=").contains(line.at(26)));
}

class CheckingView : public CalculatorView {
public:
    QString display, field, places = QStringLiteral("2");
    QStringList tape;

    void setDisplayText(const QString& text) override {
        FUZZ_CHECK(text.size() <= 25);
        display = text;
    }
    QString displayText() const override { return display; }
    void clearTape() override { tape.clear(); }
    int tapeLineCount() const override { return int(tape.size()); }
    QString tapeLine(int i) const override { return tape.value(i); }
    void writeTapeLine(int i, const QString& text) override {
        FUZZ_CHECK(i >= 0 && i <= tape.size());
        FUZZ_CHECK(inColumns(text));
        if (i == tape.size())
            tape.append(text);
        else
            tape[i] = text;
    }
    void selectLastTapeLine() override {}
    void blankConversionField() override { field.clear(); }
    QString conversionCaption() const override { return field; }
    void showConversion(const QString& caption, const QString&) override { field = caption; }
    void setSwitchEnabled(bool) override {}
    void focusEqualsKey() override {}
    QString decimalPlacesCaption() const override { return places; }
    void showMessage(const QString&, const QString&, MessageButtons) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckingView view;
    CalculatorEngine engine(&view);
    engine.Open();
    for (size_t i = 0; i < size; ++i) {
        const char c = char(data[i]);
        if (c == 'D' || c == 'U' || c == 'S') {
            engine.Convert(c == 'D' ? 0 : c == 'U' ? 1 : 2);
        } else if (c == 'P' && i + 1 < size) {
            // What the spinner does: new places, blank field, Switch off.
            view.places = QString::number(data[++i] % 10);
            engine.TakeDecimalPlaces();
            view.blankConversionField();
        } else {
            engine.HandleKey(QString(QChar::fromLatin1(c)));
        }
        const CalculatorState& s = engine.state();
        for (const double v : {s.accumulator, s.entry, s.displayValue, s.roundedConvertedValue})
            FUZZ_CHECK(std::isfinite(v));
        FUZZ_CHECK(s.decimalPosition >= 0 && s.decimalPosition <= 11);
        FUZZ_CHECK(s.decimalPlaces >= 0 && s.decimalPlaces <= 6);
    }
    return 0;
}
