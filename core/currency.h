#pragma once

#include <QString>
#include <QtGlobal>

namespace Kern {

// A currency amount in ten-thousandths, so that sums of prices are exact.
struct Currency {
    qint64 tenThousandths = 0;

    static constexpr qint64 Scale = 10000;
    // Largest amount a price may have: keeps every sum of count x price inside 64 bits' reach
    // when formed in 128 bits and still exact as a double of cents.
    static constexpr qint64 MaxAbs = Q_INT64_C(100000000000000); // 10^10 units

    double toDouble() const { return double(tenThousandths) / double(Scale); }
};

// Reads a price text written with the decimal comma (as the normalised price box holds it).
// An empty text is the amount 0. Returns false for a text that is not a German number or whose
// amount lies beyond Currency::MaxAbs units; *tooLarge (when given) tells the second case.
bool readCurrency(const QString& text, Currency* amount, bool* tooLarge = nullptr);

// Price-text normalisation of the search: the first "." becomes ","; then a text that reads as
// a German number is written with "##0.00"; an empty text stays empty; anything else unchanged.
QString normalisePriceText(const QString& text);

} // namespace Kern
