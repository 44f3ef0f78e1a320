#include "inputrules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace Kern {

double leadingNumber(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    std::string digits;
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digits.push_back(char(c));
        } else if (c == u'.' && !point) {
            point = true;
            digits.push_back('.');
        } else {
            break;
        }
    }
    double value = 0.0;
    const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too many digits before the point overflow; a long run of zeros after it underflows.
        const auto intEnd = digits.find('.');
        const std::string whole = digits.substr(0, intEnd);
        const bool huge = whole.find_first_not_of('0') != std::string::npos;
        value = huge ? std::numeric_limits<double>::max() : 0.0;
    } else if (res.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

KeyVerdict lengthKeyRule(QChar typed, const QString& boxText) {
    if (typed == QLatin1Char(','))
        typed = QLatin1Char('.');
    if (typed == QChar(8) || (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')))
        return {KeyVerdict::Pass, {}};
    if (typed == QLatin1Char('.')) {
        if (boxText.contains(QLatin1Char('.')))
            return {KeyVerdict::Drop, {}};
        return {KeyVerdict::Replace, QLatin1Char('.')};
    }
    return {KeyVerdict::Drop, {}};
}

KeyVerdict digitsKeyRule(QChar typed) {
    if (typed == QChar(8) || (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')))
        return {KeyVerdict::Pass, {}};
    return {KeyVerdict::Drop, {}};
}

QString focusLossText(const QString& boxText, const QString& zeroText) {
    return leadingNumber(boxText) == 0.0 ? zeroText : boxText;
}

} // namespace Kern
