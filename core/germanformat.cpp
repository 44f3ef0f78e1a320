#include "germanformat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace Kern {

const QLocale& germanLocale() {
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

namespace {

struct Picture {
    int minIntDigits = 0;  // "0" characters before the point
    bool grouping = false; // a "," among the integer characters
    bool hasPoint = false;
    int decimals = 0; // digit characters after the point
};

Picture parsePicture(const QString& pattern) {
    Picture p;
    bool afterPoint = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('.')) {
            afterPoint = true;
            p.hasPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!afterPoint)
                p.grouping = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterPoint)
                ++p.decimals;
            else if (c == QLatin1Char('0'))
                ++p.minIntDigits;
        }
    }
    return p;
}

// Shortest decimal digits of |value| and its decimal exponent: value = 0.d1d2d3... x 10^exp10.
void shortestDigits(double value, std::string* digits, int* exp10) {
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    std::string s(buf, res.ptr);
    const auto e = s.find('e');
    std::string mant = s.substr(0, e);
    const int exponent = std::stoi(s.substr(e + 1));
    digits->clear();
    for (char c : mant)
        if (c != '.')
            digits->push_back(c);
    *exp10 = exponent + 1;
}

// The integer and fraction digits a picture shows of |value|, rounded half away from zero at its
// decimals; the integer digits without leading zeros (filled up to the required digits).
void patternDigits(double value, const Picture& pic, std::string* intPart, std::string* fracPart) {
    intPart->clear();
    fracPart->assign(std::size_t(pic.decimals), '0');
    if (value != 0.0) {
        std::string digits;
        int exp10 = 0;
        shortestDigits(value, &digits, &exp10);
        // All digits as a fixed string: intDigits . fractionDigits
        std::string whole;
        std::string frac;
        if (exp10 > 0) {
            if (int(digits.size()) <= exp10) {
                whole = digits + std::string(exp10 - digits.size(), '0');
            } else {
                whole = digits.substr(0, exp10);
                frac = digits.substr(exp10);
            }
        } else {
            frac = std::string(-exp10, '0') + digits;
        }
        bool roundUp = false;
        if (int(frac.size()) > pic.decimals) {
            roundUp = frac[pic.decimals] >= '5';
            frac.resize(pic.decimals);
        }
        frac.resize(pic.decimals, '0');
        std::string all = whole + frac;
        if (roundUp) {
            int i = int(all.size()) - 1;
            while (i >= 0 && all[i] == '9') {
                all[i] = '0';
                --i;
            }
            if (i >= 0)
                ++all[i];
            else
                all.insert(all.begin(), '1');
        }
        const int intLen = int(all.size()) - pic.decimals;
        *intPart = all.substr(0, intLen);
        *fracPart = all.substr(intLen);
        // Drop leading zeros of the integer part; required digits are put back below.
        const auto nz = intPart->find_first_not_of('0');
        *intPart = nz == std::string::npos ? std::string() : intPart->substr(nz);
    }
    if (int(intPart->size()) < pic.minIntDigits)
        intPart->insert(0, std::size_t(pic.minIntDigits) - intPart->size(), '0');
}

} // namespace

QString formatPattern(double value, const QString& pattern) {
    if (!std::isfinite(value))
        return QString();
    const Picture pic = parsePicture(pattern);
    const bool negative = std::signbit(value) && value != 0.0;
    std::string intPart;
    std::string fracPart;
    patternDigits(value, pic, &intPart, &fracPart);

    QString out;
    if (pic.grouping && intPart.size() > 3) {
        const QString sep = germanLocale().groupSeparator();
        const int n = int(intPart.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                out += sep;
            out += QLatin1Char(intPart[i]);
        }
    } else {
        out = QString::fromLatin1(intPart.data(), int(intPart.size()));
    }
    if (pic.hasPoint) {
        out += germanLocale().decimalPoint();
        out += QString::fromLatin1(fracPart.data(), int(fracPart.size()));
    }
    const bool anyDigit = !intPart.empty() || !fracPart.empty();
    if (negative && anyDigit)
        out.prepend(QLatin1Char('-'));
    return out;
}

double patternValue(double value, const QString& pattern) {
    if (!std::isfinite(value))
        return 0.0;
    std::string intPart;
    std::string fracPart;
    patternDigits(value, parsePicture(pattern), &intPart, &fracPart);
    // from_chars, not strtod: the process locale may want a decimal comma.
    const std::string text = (std::signbit(value) ? "-0" : "0") + intPart + "." + fracPart + "0";
    double shown = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

bool readGermanNumber(const QString& text, double* value) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int i = 0;
    const int n = int(t.size());
    std::string plain;
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) {
        if (t[i] == QLatin1Char('-'))
            plain.push_back('-');
        ++i;
    }
    // Integer part, with optional thousands points in groups of three.
    int intDigits = 0;
    int groupDigits = 0;
    bool sawPoint = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            plain.push_back(char(c.unicode()));
            ++intDigits;
            ++groupDigits;
        } else if (c == QLatin1Char('.')) {
            if (groupDigits == 0 || (sawPoint && groupDigits != 3) ||
                (!sawPoint && groupDigits > 3))
                return false;
            sawPoint = true;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (sawPoint && groupDigits != 3)
        return false;
    int fracDigits = 0;
    if (i < n && t[i] == QLatin1Char(',')) {
        plain.push_back('.');
        ++i;
        for (; i < n && t[i].isDigit() && t[i].unicode() < 128; ++i) {
            plain.push_back(char(t[i].unicode()));
            ++fracDigits;
        }
    }
    if (i != n || intDigits + fracDigits == 0)
        return false;
    double v = 0.0;
    const char* begin = plain.data();
    if (*begin == '-')
        ++begin;
    auto res = std::from_chars(begin, plain.data() + plain.size(), v);
    // A number whose first digit other than 0 lies far behind the comma is too small for a
    // double: it reads as 0, as the leading-number rule has it, and is no error.
    const auto point = plain.find('.');
    const bool tiny = point != std::string::npos && plain.find_first_of("123456789") > point;
    if (res.ec == std::errc::result_out_of_range && tiny)
        v = 0.0;
    else if (res.ec != std::errc() || !std::isfinite(v))
        return false;
    *value = plain[0] == '-' ? -v : v;
    return true;
}

double germanSortValue(const QString& text) {
    double v = 0.0;
    return readGermanNumber(text, &v) ? v : 0.0;
}

QString plainNumberText(double value) {
    if (std::isnan(value))
        return QStringLiteral("n. def.");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    if (value == 0.0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s(buf);
    // Trim trailing zeros of the fraction, also in front of an exponent.
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string expo = e == std::string::npos ? std::string() : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0')
            mant.pop_back();
        if (!mant.empty() && mant.back() == '.')
            mant.pop_back();
    }
    QString out = QString::fromLatin1((mant + expo).c_str());
    out.replace(QLatin1Char('.'), germanLocale().decimalPoint());
    return out;
}

QString alignedText(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

} // namespace Kern
