// The calculator's keys driven by bytes through a view that records what the engine asks of it:
// no tape line out of columns, no display off its 25 places, no window showing other than the
// engine holds, no number beyond a double. 'D', 'U', 'S' are the buttons "DM", "Euro" and
// "Switch"; 'P' sets the next byte's last digit as the decimal places; every other byte is a
// typed character (Latin-1): digits, operators, "C", "E", "," and ignored keys alike.
#include "calculator/tapeview.h"
#include "calculatorengine.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TapeView view;
    CalculatorEngine engine(&view);
    engine.open();
    for (size_t i = 0; i < size; ++i) {
        const char c = char(data[i]);
        const auto conversion = std::string_view("DUS").find(c);
        if (conversion != std::string_view::npos)
            (engine.*ConversionButtons[conversion])();
        else if (c == 'P' && i + 1 < size)
            engine.setDecimalPlaces(data[++i] % 10);
        else
            engine.HandleKey(QString(QChar::fromLatin1(c)));
        const CalculatorState& s = engine.state();
        for (const double v : {s.accumulator, s.entry, s.displayValue, s.roundedConvertedValue})
            FUZZ_CHECK(std::isfinite(v));
        FUZZ_CHECK(s.decimalPosition >= 0 && s.decimalPosition <= 11 && s.decimalPlaces >= 0 &&
                   s.decimalPlaces <= 6 && view.fault.isEmpty());
        FUZZ_CHECK(view.display == s.displayText && view.field == engine.conversionCaption() &&
                   view.switchEnabled == s.switchEnabled);
        const QStringList& tape = engine.tape().lines();
        for (qsizetype j = std::max<qsizetype>(0, tape.size() - 3); j < tape.size(); ++j)
            FUZZ_CHECK(inColumns(tape.at(j)));
    }
    return 0;
}
