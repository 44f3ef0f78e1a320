#include "calculatorengine.h"

#include "calculatorview.h"
#include "germanformat.h"

#include <cmath>

namespace {

const QString RuleLine(30, QLatin1Char('-'));
constexpr int AlignWidth = 25;
// Places before the comma in the display's typed-entry form "#############0".
constexpr int TypedEntryDigits = 14;
// A typed number gets at most 11 integer digits and 10 decimals.
constexpr double EntryLimit = 1e10;
constexpr int LastDecimalPosition = 11;
// From here on a double has no fraction left: adding 0.50001 would only push it one unit up.
constexpr double NoFractionBeyond = 4503599627370496.0; // 2^52

const QString DmCaption = QStringLiteral("DM    ");
const QString EuroCaption = QStringLiteral("Euro  ");

// The caption of Komma as a whole number: leading digits count, anything else gives 0. The
// spinner only offers 0 to 6, and that is all the rounding is made for.
int wholeNumber(const QString& text) {
    const QString t = text.trimmed();
    int value = 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 6)
            return 6;
    }
    return value;
}

int integerDigits(const QString& number) {
    int n = 0;
    for (const QChar c : number) {
        if (c == Kern::germanLocale().decimalPoint().at(0))
            break;
        n += c.isDigit();
    }
    return n;
}

bool isBinaryOperator(const QString& k) {
    return k == QLatin1String("/") || k == QLatin1String("*") || k == QLatin1String("-") ||
           k == QLatin1String("+");
}

// The operators after which "%" and the tape cut of "=" apply.
bool isAdditiveOrTimes(const QString& op) {
    return op.isEmpty() || op == QLatin1String("+") || op == QLatin1String("-") ||
           op == QLatin1String("*");
}

// The display's text as a number: the typed-entry form ("12,"), the plain text ("3,33") or
// its exponent form ("1E-06").
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

} // namespace

CalculatorEngine::CalculatorEngine(CalculatorView* view) : m_view(view) {}

void CalculatorEngine::open() {
    ClearAll();
    m_view->writeTapeLine(m_view->tapeLineCount(), QString());
    ShowDisplay(m_state.entry, true);
}

void CalculatorEngine::HandleKey(const QString& keyText) {
    m_view->blankConversionField();
    m_view->setSwitchEnabled(false);
    m_state.formattedDisplay = true;
    const QString k = keyText.toUpper();

    if (k == QLatin1String("C")) {
        ClearAll();
        m_state.displayValue = m_state.entry;
    } else if (k == QLatin1String("E")) {
        m_state.entry = 0.0;
        m_state.displayValue = 0.0;
        m_state.decimalPosition = 0;
    } else if (k.size() == 1 && k[0] >= QLatin1Char('0') && k[0] <= QLatin1Char('9')) {
        digit(k[0].unicode() - '0');
    } else if (k == QLatin1String(".") || k == QLatin1String(",")) {
        decimalKey();
    } else if (isBinaryOperator(k)) {
        binaryOperator(k);
    } else if (k == QLatin1String("%")) {
        percent();
    } else if (k == QLatin1String("=")) {
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
    if (m_state.pendingOperator == QLatin1String("="))
        m_state.pendingOperator.clear(); // a new calculation starts
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

void CalculatorEngine::binaryOperator(const QString& op) {
    if (m_state.pendingOperator == QLatin1String("="))
        m_state.entry = m_state.accumulator; // go on with the last result
    WriteTapeLine(m_state.entry, op);
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
    if (!applyPending(m_state.pendingOperator + QLatin1Char('%')))
        return;
    m_state.formattedDisplay = false;
    m_state.displayValue = m_state.accumulator;
    m_state.startNewEntry = true;
    m_state.decimalPosition = 0;
    m_state.pendingOperator = QStringLiteral("%");
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
        m_view->writeTapeLine(i, m_view->tapeLine(i).left(AlignWidth));
    }
    m_state.accumulator = roundCommercial(m_state.accumulator, m_state.decimalPlaces);
    WriteTapeLine(m_state.accumulator, QStringLiteral("="));
    m_state.formattedDisplay = false;
    m_state.displayValue = m_state.accumulator;
    m_state.startNewEntry = true;
    m_state.pendingOperator = QStringLiteral("=");
}

bool CalculatorEngine::applyPending(const QString& op) {
    ApplyOperator(op, m_state.accumulator, m_state.entry);
    if (std::isfinite(m_state.accumulator))
        return true;
    resetAfterOverflow();
    return false;
}

void CalculatorEngine::resetAfterOverflow() {
    m_view->showMessage(QStringLiteral("Überlauf"), QStringLiteral("Hinweis"),
                        CalculatorView::MessageButtons::Ok);
    ClearAll();
    m_state.displayValue = m_state.entry;
    m_state.formattedDisplay = true;
}

void CalculatorEngine::convert(int index) {
    CalculatorState& s = m_state;
    const double shown = numberOfText(m_view->displayText());
    QString currency;
    switch (index) {
    case 0:
        currency = DmCaption;
        s.convertedValue = shown * DmRate;
        break;
    case 1:
        currency = EuroCaption;
        s.convertedValue = shown / DmRate;
        break;
    case 2:
        currency =
            m_view->conversionCaption().startsWith(QLatin1String("DM")) ? EuroCaption : DmCaption;
        s.convertedValue = shown;
        if (s.pendingOperator == QLatin1String("=") || s.pendingOperator == QLatin1String("%"))
            s.accumulator = s.roundedConvertedValue;
        s.entry = s.roundedConvertedValue;
        ShowDisplay(s.entry, false);
        break;
    default:
        return;
    }
    if (!std::isfinite(s.convertedValue)) {
        resetAfterOverflow();
        m_view->blankConversionField();
        ShowDisplay(s.displayValue, true);
        return;
    }
    // Rounded as the tape rounds its results: half away from zero at the decimal places.
    double rounded = 0.0;
    if (!Kern::readGermanNumber(resultPatternText(s.convertedValue), &rounded))
        rounded = s.convertedValue;
    s.roundedConvertedValue = rounded;
    const QString resultText = Kern::plainNumberText(rounded);
    m_view->showConversion(currency + resultText, resultText);
    m_view->setSwitchEnabled(true);
    m_view->focusEqualsKey();
}

void CalculatorEngine::ClearAll() {
    m_view->setSwitchEnabled(false);
    m_view->clearTape();
    m_state.accumulator = 0.0;
    m_state.tapeIndex = 0;
    m_state.decimalPosition = 0;
    m_state.entry = 0.0;
    m_state.pendingOperator.clear();
    takeDecimalPlaces();
}

void CalculatorEngine::takeDecimalPlaces() {
    m_state.decimalPlaces = wholeNumber(m_view->decimalPlacesCaption());
}

void CalculatorEngine::ApplyOperator(const QString& op, double& a, double b) {
    if (op == QLatin1String("+"))
        a = a + b;
    else if (op == QLatin1String("-"))
        a = a - b;
    else if (op == QLatin1String("*"))
        a = a * b;
    else if (op == QLatin1String("/"))
        a = b == 0.0 ? 0.0 : a / b;
    else if (op == QLatin1String("+%"))
        a = (b / 100 + 1) * a;
    else if (op == QLatin1String("-%"))
        a = (1 - b / 100) * a;
    else if (op == QLatin1String("*%"))
        a = a * b / 100;
    else
        a = b;
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
    m_view->writeTapeLine(m_state.tapeIndex, line);
    if (isResult) {
        m_view->writeTapeLine(m_state.tapeIndex + 1, RuleLine);
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
    m_view->setDisplayText(Kern::alignedText(text, AlignWidth));
    m_view->focusEqualsKey();
}
