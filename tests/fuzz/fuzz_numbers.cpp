// The German number readers and formatters on any text, pattern and double: never a crash, the
// leading-number rule always finite, and what formatPattern writes with a German pattern reads
// back through readGermanNumber to the value rounded as shown. The price normalisation and the
// exact currency reading of the same text: an amount read is within the largest amount and
// agrees with the German reading; a text called too large is a German number beyond that amount.
#include "currency.h"
#include "fuzzcheck.h"
#include "germanformat.h"
#include "inputrules.h"

#include <cmath>
#include <cstring>
#include <iterator>

namespace {

const char* const Patterns[] = {"##0.00", "#,##0.00", "###0.0", "####", "0.0",       "#####.00",
                                "#,##0",  "0",        "#.",     ".00",  "#,##0.0000"};

void checkReadBack(double value) {
    for (const char* pattern : {"##0.00", "#,##0.00", "#,##0.0000", "#,##0"}) {
        double back = 0.0;
        FUZZ_CHECK(
            Kern::readGermanNumber(Kern::formatPattern(value, QLatin1String(pattern)), &back));
        const int decimals = int(QString::fromLatin1(pattern).section(QLatin1Char('.'), 1).size());
        // Half a unit of the last digit shown, and a little for the decimal form of the double.
        const double slack =
            0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15;
        FUZZ_CHECK(std::fabs(back - value) <= slack);
    }
}

void checkPrice(const QString& price) {
    Kern::Currency amount;
    bool tooLarge = false;
    const bool ok = Kern::readCurrency(price, &amount, &tooLarge);
    double german = 0.0;
    const bool isNumber = Kern::readGermanNumber(price, &german);
    FUZZ_CHECK(!ok || (!tooLarge && std::llabs(amount.tenThousandths) <= Kern::Currency::MaxAbs));
    // Exact to the fourth decimal, rounded half away from zero; the empty text is 0.
    FUZZ_CHECK(!ok || (isNumber ? std::fabs(amount.toDouble() - german) <=
                                      0.00005 + 1e-9 * std::fabs(german)
                                : price.trimmed().isEmpty()));
    FUZZ_CHECK(ok || !isNumber || (tooLarge && std::fabs(german) > 1e10));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The whole input is a text; after its first byte, which picks a pattern, eight bytes give a
    // double and the rest a pattern of its own.
    const QString whole = QString::fromUtf8(fuzzBytes(data, size));
    FUZZ_CHECK(std::isfinite(Kern::leadingNumber(whole)));
    double read = 0.0;
    if (Kern::readGermanNumber(whole, &read)) {
        FUZZ_CHECK(std::isfinite(read) && Kern::germanSortValue(whole) == read);
        checkReadBack(read);
    }
    checkPrice(whole);
    checkPrice(Kern::normalisePriceText(whole));
    if (size < 9)
        return 0;
    double value = 0.0;
    std::memcpy(&value, data + 1, sizeof value);
    const QString pattern =
        data[0] < 200 ? QString::fromLatin1(Patterns[data[0] % std::size(Patterns)])
                      : QString::fromUtf8(fuzzBytes(data + 9, std::min<size_t>(size - 9, 64)));
    FUZZ_CHECK(std::isfinite(value) || Kern::formatPattern(value, pattern).isEmpty());
    Kern::plainNumberText(value);
    if (std::isfinite(value))
        checkReadBack(value);
    return 0;
}
