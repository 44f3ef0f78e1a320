#include "calculatorengine.h"

#include "calculatorview.h"
#include "germanformat.h"

#include <algorithm>
#include <cmath>

namespace {

const QString RuleLine(30, QLatin1Char('-'));
constexpr int AlignWidth = 25;
// Places before the comma in the display's typed-entry form "#############0".
constexpr int TypedEntryDigits = 14;
// A typed number gets at most 11 integer digits and 10 decimals.
constexpr double EntryLimit = 1e10;
constexpr int LastDecimalPosition = 11;
constexpr int MostDecimalPlaces = 6;
// From here on a double has no fraction left: adding 0.50001 would only push it one unit up.
constexpr double NoFractionBeyond = 4503599627370496.0; // 2^52

int integerDigits(const QString& number) {
    int n = 0;
    for (const QChar c : number) {
        if (c == Kern::germanLocale().decimalPoint().at(0))
            break;
        n += c.isDigit();
    }
    return n;
}

// The operators after which "%" and the tape cut of "=" apply.
bool isAdditiveOrTimes(PendingOperator op) {
    return op == PendingOperator::None || op == PendingOperator::Add ||
           op == PendingOperator::Subtract || op == PendingOperator::Multiply;
}

// The number a display text stands for: the typed-entry form ("12,"), the plain text ("3,33")
// or its exponent form ("1E-06").
double numberOfText(const QString& text) {
    const QString t = text.trimmed();
    double v = 0.0;
    if (Kern::readGermanNumber(t, &v))
        return v;
    QString c = t;
    c.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    v = QLocale::c().toDouble(c, &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString currencyText(Currency currency) {
    switch (currency) {
    case Currency::Dm:
        return QStringLiteral("DM    ");
    case Currency::Euro:
        return QStringLiteral("Euro  ");
    case Currency::None:
        break;
    }
    return QString();
}

} // namespace

CalculatorEngine::CalculatorEngine(CalculatorView* view) : m_view(view) {}

QString CalculatorEngine::conversionCaption() const {
    if (m_state.fieldCurrency == Currency::None)
        return QString();
    return currencyText(m_state.fieldCurrency) + m_state.conversionResult;
}

void CalculatorEngine::open() {
    ClearAll();
    m_tape.setLine(m_tape.rowCount(), QString());
    ShowDisplay(m_state.entry, true);
}

void CalculatorEngine::HandleKey(const QString& keyText) {
    showConversionField(Currency::None);
    setSwitchEnabled(false);
    m_state.formattedDisplay = true;
    const QString k = keyText.toUpper();
    const QChar c = k.size() == 1 ? k.at(0) : QChar();

    if (c == QLatin1Char('C')) {
        ClearAll();
        m_state.displayValue = m_state.entry;
    } else if (c == QLatin1Char('E')) {
        m_state.entry = 0.0;
        m_state.displayValue = 0.0;
        m_state.decimalPosition = 0;
    } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        digit(c.unicode() - '0');
    } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
        decimalKey();
    } else if (c == QLatin1Char('+')) {
        binaryOperator(PendingOperator::Add, k);
    } else if (c == QLatin1Char('-')) {
        binaryOperator(PendingOperator::Subtract, k);
    } else if (c == QLatin1Char('*')) {
        binaryOperator(PendingOperator::Multiply, k);
    } else if (c == QLatin1Char('/')) {
        binaryOperator(PendingOperator::Divide, k);
    } else if (c == QLatin1Char('%')) {
        percent();
    } else if (c == QLatin1Char('=')) {
        result();
    }

    ShowDisplay(m_state.displayValue, m_state.formattedDisplay);
}

void CalculatorEngine::startEntryIfNeeded() {
    if (m_state.startNewEntry) {
        m_state.entry = 0.0;
        m_state.startNewEntry = false;
        m_state.decimalPosition = 0;
    }
    if (m_state.pendingOperator == PendingOperator::Result)
        m_state.pendingOperator = PendingOperator::None; // a new calculation starts
}

void CalculatorEngine::digit(int d) {
    startEntryIfNeeded();
    if (m_state.entry >= EntryLimit) {
        m_view->showMessage(QStringLiteral("Überlauf"), QStringLiteral("Hinweis"),
                            CalculatorView::MessageButtons::OkCancel);
        return;
    }
    if (m_state.decimalPosition == 0) {
        m_state.entry = m_state.entry * 10 + d;
    } else if (m_state.decimalPosition < LastDecimalPosition) {
        m_state.entry = d * std::pow(10.0, -m_state.decimalPosition) + m_state.entry;
        ++m_state.decimalPosition;
    }
    m_state.displayValue = m_state.entry;
}

void CalculatorEngine::decimalKey() {
    startEntryIfNeeded();
    if (m_state.decimalPosition == 0)
        m_state.decimalPosition = 1;
    m_state.displayValue = m_state.entry;
}

void CalculatorEngine::binaryOperator(PendingOperator op, const QString& symbol) {
    if (m_state.pendingOperator == PendingOperator::Result)
        m_state.entry = m_state.accumulator; // go on with the last result
    WriteTapeLine(m_state.entry, symbol);
    if (!applyPending(m_state.pendingOperator))
        return;
    m_state.startNewEntry = true;
    m_state.decimalPosition = 0;
    m_state.pendingOperator = op;
    m_state.formattedDisplay = false;
    m_state.displayValue = m_state.accumulator;
}

void CalculatorEngine::percent() {
    if (!isAdditiveOrTimes(m_state.pendingOperator))
        return;
    WriteTapeLine(m_state.entry, QStringLiteral("%"));
    if (!applyPending(m_state.pendingOperator, true))
        return;
    m_state.formattedDisplay = false;
    m_state.displayValue = m_state.accumulator;
    m_state.startNewEntry = true;
    m_state.decimalPosition = 0;
    m_state.pendingOperator = PendingOperator::Percent;
}

void CalculatorEngine::result() {
    if (!m_state.startNewEntry) {
        if (!applyPending(m_state.pendingOperator))
            return;
        WriteTapeLine(m_state.entry, QString());
    }
    // The last operand's line loses its symbol; right after an operator that is the operator.
    if (isAdditiveOrTimes(m_state.pendingOperator) && m_state.tapeIndex > 0) {
        const int i = m_state.tapeIndex - 1;
        m_tape.setLine(i, m_tape.lines().at(i).left(AlignWidth));
    }
    m_state.accumulator = roundCommercial(m_state.accumulator, m_state.decimalPlaces);
    WriteTapeLine(m_state.accumulator, QStringLiteral("="));
    m_state.formattedDisplay = false;
    m_state.displayValue = m_state.accumulator;
    m_state.startNewEntry = true;
    m_state.pendingOperator = PendingOperator::Result;
}

bool CalculatorEngine::applyPending(PendingOperator op, bool percent) {
    if (percent)
        applyPercent(op, m_state.accumulator, m_state.entry);
    else
        ApplyOperator(op, m_state.accumulator, m_state.entry);
    if (std::isfinite(m_state.accumulator))
        return true;
    resetAfterOverflow();
    return false;
}

// A result that left the range of a double: tells the user and starts over as after "C".
void CalculatorEngine::resetAfterOverflow() {
    m_view->showMessage(QStringLiteral("Überlauf"), QStringLiteral("Hinweis"),
                        CalculatorView::MessageButtons::Ok);
    ClearAll();
    m_state.displayValue = m_state.entry;
    m_state.formattedDisplay = true;
}

void CalculatorEngine::convertToDm() {
    m_state.convertedValue = m_state.shownValue * DmRate;
    finishConversion(Currency::Dm);
}

void CalculatorEngine::convertToEuro() {
    m_state.convertedValue = m_state.shownValue / DmRate;
    finishConversion(Currency::Euro);
}

void CalculatorEngine::switchConversion() {
    CalculatorState& s = m_state;
    const Currency currency = s.fieldCurrency == Currency::Dm ? Currency::Euro : Currency::Dm;
    s.convertedValue = s.shownValue;
    if (s.pendingOperator == PendingOperator::Result ||
        s.pendingOperator == PendingOperator::Percent)
        s.accumulator = s.roundedConvertedValue;
    s.entry = s.roundedConvertedValue;
    ShowDisplay(s.entry, false);
    finishConversion(currency);
}

void CalculatorEngine::finishConversion(Currency currency) {
    CalculatorState& s = m_state;
    if (!std::isfinite(s.convertedValue)) {
        resetAfterOverflow();
        showConversionField(Currency::None);
        ShowDisplay(s.displayValue, true);
        return;
    }
    // Rounded as the tape rounds its results: half away from zero at the decimal places.
    double rounded = 0.0;
    if (!Kern::readGermanNumber(resultPatternText(s.convertedValue), &rounded))
        rounded = s.convertedValue;
    s.roundedConvertedValue = rounded;
    s.conversionResult = Kern::plainNumberText(rounded);
    showConversionField(currency);
    setSwitchEnabled(true);
    m_view->focusEqualsKey();
}

void CalculatorEngine::showConversionField(Currency currency) {
    m_state.fieldCurrency = currency;
    m_view->showConversionField(conversionCaption());
}

void CalculatorEngine::setSwitchEnabled(bool enabled) {
    m_state.switchEnabled = enabled;
    m_view->setSwitchEnabled(enabled);
}

void CalculatorEngine::ClearAll() {
    setSwitchEnabled(false);
    m_tape.clear();
    m_state.accumulator = 0.0;
    m_state.tapeIndex = 0;
    m_state.decimalPosition = 0;
    m_state.entry = 0.0;
    m_state.pendingOperator = PendingOperator::None;
}

void CalculatorEngine::setDecimalPlaces(int places) {
    m_state.decimalPlaces = std::clamp(places, 0, MostDecimalPlaces);
    showConversionField(Currency::None);
    setSwitchEnabled(false);
}

void CalculatorEngine::ApplyOperator(PendingOperator op, double& a, double b) {
    switch (op) {
    case PendingOperator::Add:
        a = a + b;
        break;
    case PendingOperator::Subtract:
        a = a - b;
        break;
    case PendingOperator::Multiply:
        a = a * b;
        break;
    case PendingOperator::Divide:
        a = b == 0.0 ? 0.0 : a / b;
        break;
    case PendingOperator::None:
    case PendingOperator::Percent:
    case PendingOperator::Result:
        a = b;
        break;
    }
}

void CalculatorEngine::applyPercent(PendingOperator op, double& a, double b) {
    switch (op) {
    case PendingOperator::Add:
        a = (b / 100 + 1) * a;
        break;
    case PendingOperator::Subtract:
        a = (1 - b / 100) * a;
        break;
    case PendingOperator::Multiply:
        a = a * b / 100;
        break;
    default:
        a = b;
        break;
    }
}

double CalculatorEngine::roundCommercial(double value, int places) {
    const double scale = std::pow(10.0, places);
    const double scaled = std::fabs(value) * scale;
    if (!(scaled < NoFractionBeyond))
        return value;
    const double sign = value > 0 ? 1.0 : (value < 0 ? -1.0 : 0.0);
    return sign * std::floor(scaled + 0.50001) / scale;
}

QString CalculatorEngine::resultPatternText(double value) const {
    QString pattern = QStringLiteral("###########,##0");
    if (m_state.decimalPlaces > 0)
        pattern += QLatin1Char('.') + QString(m_state.decimalPlaces, QLatin1Char('0'));
    return Kern::formatPattern(value, pattern);
}

void CalculatorEngine::WriteTapeLine(double value, const QString& symbol) {
    const bool isResult = symbol == QLatin1String("=");
    QString number = isResult ? resultPatternText(value) : Kern::plainNumberText(value);
    // A result too long for the number column (from about 10^16 on with two places) is written
    // as the display writes it, at most 22 characters, so that every number still ends in the
    // same column and the symbols stay below each other. Its cents would be noise anyway: a
    // double holds 15 to 17 significant digits.
    if (number.size() > AlignWidth)
        number = Kern::plainNumberText(value);
    const QString line = Kern::alignedText(number, AlignWidth) + QLatin1Char(' ') + symbol;
    m_tape.setLine(m_state.tapeIndex, line);
    if (isResult) {
        m_tape.setLine(m_state.tapeIndex + 1, RuleLine);
        ++m_state.tapeIndex;
    }
    m_view->selectLastTapeLine();
    ++m_state.tapeIndex;
}

void CalculatorEngine::ShowDisplay(double value, bool formatted) {
    QString text;
    if (formatted) {
        // Exactly the decimals typed so far; the decimal key alone shows "12,".
        QString pattern = QStringLiteral("#############0");
        if (m_state.decimalPosition >= 1)
            pattern += QLatin1Char('.') + QString(m_state.decimalPosition - 1, QLatin1Char('0'));
        text = Kern::formatPattern(value, pattern);
        // Only a key the calculator ignores shows a result this way; a result beyond the
        // form's places, or one that would not fit the display with the decimals typed for an
        // earlier number, keeps what the display showed.
        if (integerDigits(text) > TypedEntryDigits || text.size() > AlignWidth) {
            m_view->focusEqualsKey();
            return;
        }
    } else {
        text = Kern::plainNumberText(value);
    }
    m_state.displayText = Kern::alignedText(text, AlignWidth);
    m_state.shownValue = numberOfText(text);
    m_view->showDisplay(m_state.displayText);
    m_view->focusEqualsKey();
}
