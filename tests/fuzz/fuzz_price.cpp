// The search's price normalisation and the exact currency reading on any text: an amount read
// is within the largest amount and agrees with the German reading of the same text; a text
// called too large is a German number beyond that amount.
#include "currency.h"
#include "fuzzcheck.h"
#include "germanformat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& price : {text, Kern::NormalisePriceText(text)}) {
        Kern::Currency amount;
        bool tooLarge = false;
        const bool ok = Kern::ReadCurrency(price, &amount, &tooLarge);
        double german = 0.0;
        const bool isNumber = Kern::ReadGermanNumber(price, &german);
        if (ok) {
            FUZZ_CHECK(!tooLarge);
            FUZZ_CHECK(std::llabs(amount.tenThousandths) <= Kern::Currency::MaxAbs);
            if (isNumber) // exact to the fourth decimal, rounded half away from zero
                FUZZ_CHECK(std::fabs(amount.toDouble() - german) <=
                           0.00005 + 1e-9 * std::fabs(german));
            else
                FUZZ_CHECK(price.trimmed().isEmpty());
        } else if (tooLarge) {
            FUZZ_CHECK(!isNumber || std::fabs(german) > 1e10);
        } else {
            FUZZ_CHECK(!isNumber);
        }
    }
    return 0;
}
