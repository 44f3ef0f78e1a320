#include "findcombinations.h"

#include "currency.h"
#include "germanformat.h"
#include "inputrules.h"
#include "kern.h"

#include <algorithm>
#include <cmath>

namespace Kern {

namespace {

// Count boxes take digits only, but a pasted text can hold anything: counts are whole numbers
// from 0 to MaxCount.
qint64 readCount(const QString& text) {
    const double v = std::trunc(leadingNumber(text));
    if (!(v > 0))
        return 0;
    return v >= double(MaxCount) ? MaxCount : qint64(v);
}

// The search stops once it has found the limit, so a fractional limit rounds up; the grid holds
// at most StoreRows rows.
qint64 readLimit(double limit) {
    if (!(limit > 0))
        return 0;
    return limit >= StoreRows ? StoreRows : qint64(std::ceil(limit));
}

} // namespace

std::optional<SearchResult> FindCombinations(SearchView& view, double routeLength, double limit) {
    using Field = SearchView::Field;
    SearchResult result;
    SearchRequest& request = result.request;

    // Gathering: every price text is normalised, rows of length 0 lose their check mark.
    for (int row = 1; row <= TrackRows; ++row) {
        const bool checked = view.isChecked(row);
        const double length = leadingNumber(view.text(Field::Length, row));
        const QString price = normalisePriceText(view.text(Field::Price, row));
        view.setPriceText(row, price);
        if (length == 0.0) {
            view.setChecked(row, false);
            continue;
        }
        if (!checked)
            continue;
        if (length < 0.0) {
            view.showMessage(QString::fromUtf8(NegativeLengthMessage),
                             QString::fromUtf8(InputErrorTitle));
            view.focusField(Field::Length, row);
            return std::nullopt;
        }
        SearchType type;
        type.length = length;
        type.minimum = readCount(view.text(Field::Minimum, row));
        type.maximum = readCount(view.text(Field::Maximum, row));
        if (type.minimum > type.maximum) {
            view.showMessage(QString::fromUtf8(MinMaxMessage), QString::fromUtf8(InputErrorTitle));
            view.focusField(Field::Minimum, row);
            return std::nullopt;
        }
        Currency amount;
        bool tooLarge = false;
        if (!readCurrency(price, &amount, &tooLarge)) {
            view.showMessage(QString::fromUtf8(tooLarge ? PriceTooLargeMessage : BadPriceMessage),
                             QString::fromUtf8(InputErrorTitle));
            view.focusField(Field::Price, row);
            return std::nullopt;
        }
        type.priceTenThousandths = amount.tenThousandths;
        request.types.push_back(type);
        result.articleNumbers.push_back(view.text(Field::Article, row));
    }

    request.routeLength = routeLength;
    request.shortfallTenths = std::clamp(view.shortfallData(), 0, 10);
    request.excessTenths = std::clamp(view.excessData(), 0, 10);
    request.limit = readLimit(limit);
    return result;
}

QString resultCaption(qint64 count) {
    return QStringLiteral(" Ergebnis: ") + QString::number(count) +
           QStringLiteral(" Kombinationen ");
}

QString finishedLabel(qint64 count, double seconds, bool stopped) {
    const QString caption = count > 0 ? resultCaption(count) : QString();
    return caption +
           (stopped ? QStringLiteral("\r\n (Abgebrochen nach ") : QStringLiteral("\r\n (Dauer: ")) +
           formatPattern(seconds, QStringLiteral("#####.00")) + QStringLiteral(" Sek.)");
}

} // namespace Kern
