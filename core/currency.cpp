#include "currency.h"

#include "germanformat.h"

namespace Kern {

namespace {
// The shape of a German number whatever its size: with every digit a zero it reads as 0, even
// where the number itself lies beyond a double.
bool hasGermanNumberShape(QString text) {
    for (QChar& c : text)
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            c = QLatin1Char('0');
    double zero = 0.0;
    return readGermanNumber(text, &zero);
}
} // namespace

bool readCurrency(const QString& text, Currency* amount, bool* tooLarge) {
    if (tooLarge)
        *tooLarge = false;
    if (text.trimmed().isEmpty()) {
        amount->tenThousandths = 0;
        return true;
    }
    if (!hasGermanNumberShape(text))
        return false;
    if (tooLarge)
        *tooLarge = true; // until the amount is known to fit
    // Exact decimal reading: integer digits and up to four decimals, the fifth rounds half away.
    const QString t = text.trimmed();
    bool negative = false;
    qint64 units = 0;
    qint64 fraction = 0;
    int fracDigits = 0;
    bool roundUp = false;
    bool inFraction = false;
    for (const QChar c : t) {
        if (c == QLatin1Char('-')) {
            negative = true;
        } else if (c == QLatin1Char(',')) {
            inFraction = true;
        } else if (c.isDigit()) {
            const int d = c.unicode() - u'0';
            if (!inFraction) {
                units = units * 10 + d;
                if (units > Currency::MaxAbs / Currency::Scale)
                    return false;
            } else if (fracDigits < 4) {
                fraction = fraction * 10 + d;
                ++fracDigits;
            } else if (fracDigits == 4) {
                roundUp = d >= 5;
                ++fracDigits;
            }
        }
    }
    while (fracDigits < 4) {
        fraction *= 10;
        ++fracDigits;
    }
    qint64 value = units * Currency::Scale + fraction + (roundUp ? 1 : 0);
    if (value > Currency::MaxAbs)
        return false;
    if (tooLarge)
        *tooLarge = false;
    amount->tenThousandths = negative ? -value : value;
    return true;
}

QString normalisePriceText(const QString& text) {
    QString t = text;
    const int dot = int(t.indexOf(QLatin1Char('.')));
    if (dot >= 0)
        t[dot] = QLatin1Char(',');
    if (t.isEmpty())
        return t;
    double value = 0.0;
    if (!readGermanNumber(t, &value))
        return t;
    return formatPattern(value, QStringLiteral("##0.00"));
}

} // namespace Kern
