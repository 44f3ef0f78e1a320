#include "findcombinations.h"

#include "currency.h"
#include "germanformat.h"
#include "inputrules.h"
#include "kern.h"
#include "resulttablemodel.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace Kern {

namespace {

// Count boxes take digits only, but a pasted text can hold anything: counts are whole numbers
// from 0 to MaxCount.
qint64 readCount(const QString& text) {
    const double v = std::trunc(LeadingNumber(text));
    if (!(v > 0))
        return 0;
    return v >= double(MaxCount) ? MaxCount : qint64(v);
}

// The loop runs while k < limit, so a fractional limit rounds up; the store holds 5000 rows.
qint64 readLimit(double limit) {
    if (!(limit > 0))
        return 0;
    return limit >= StoreRows ? StoreRows : qint64(std::ceil(limit));
}

QString resultCaption(int k) {
    return QStringLiteral(" Ergebnis: ") + QString::number(k) + QStringLiteral(" Kombinationen ");
}

} // namespace

void FindCombinations(SearchView& view, double routeLength) {
    using Field = SearchView::Field;
    SearchRequest request;
    std::array<QString, 12> articles;

    // Gathering: every price text is normalised, rows of length 0 lose their check mark.
    for (int row = 1; row <= std::min(RowCount, TrackRows); ++row) {
        const bool checked = view.isChecked(row);
        const double length = LeadingNumber(view.text(Field::Length, row));
        const QString price = NormalisePriceText(view.text(Field::Price, row));
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
            return;
        }
        SearchType type;
        type.length = length;
        type.minimum = readCount(view.text(Field::Minimum, row));
        type.maximum = readCount(view.text(Field::Maximum, row));
        if (type.minimum > type.maximum) {
            view.showMessage(QString::fromUtf8(MinMaxMessage), QString::fromUtf8(InputErrorTitle));
            view.focusField(Field::Minimum, row);
            return;
        }
        Currency amount;
        bool tooLarge = false;
        if (!ReadCurrency(price, &amount, &tooLarge)) {
            view.showMessage(QString::fromUtf8(tooLarge ? PriceTooLargeMessage : BadPriceMessage),
                             QString::fromUtf8(InputErrorTitle));
            view.focusField(Field::Price, row);
            return;
        }
        type.priceTenThousandths = amount.tenThousandths;
        request.types.push_back(type);
        articles[request.types.size()] = view.text(Field::Article, row);
    }

    // The input passed: from here on the previous search's values are replaced.
    SelectedCount = int(request.types.size());
    ArticleNumbers = articles;
    ResultTable()->SetUpResultTable();

    request.routeLength = routeLength;
    request.shortfallTenths = std::clamp(view.shortfallData(), 0, 10);
    request.excessTenths = std::clamp(view.excessData(), 0, 10);
    request.limit = readLimit(CombinationLimit);

    QElapsedTimer clock;
    clock.start();
    CombinationCount = 0;
    std::fill(ResultStore.begin(), ResultStore.end(), StoreRow{});

    const std::vector<FoundCombination> found = SearchCombinations(request);

    // Show the running count, but repaint at most about 30 times a second.
    QElapsedTimer paintClock;
    paintClock.start();
    const int total = int(std::min<std::size_t>(found.size(), StoreRows));
    for (int i = 0; i < total; ++i) {
        const FoundCombination& f = found[std::size_t(i)];
        const int k = i + 1;
        StoreRow& row = ResultStore[std::size_t(k)];
        row[0] = f.total;
        row[1] = f.deviation;
        for (int t = 0; t < SelectedCount; ++t)
            row[std::size_t(2 + t)] = double(f.counts[std::size_t(t)]);
        row[12] = double(f.pieces);
        row[13] = f.totalPrice;
        CombinationCount = k;
        if (k == 1 || k == total || paintClock.elapsed() >= 33) {
            view.setLabelText(resultCaption(k));
            view.repaintNow();
            paintClock.restart();
        }
    }

    ResultTable()->FillResultTable();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    view.setLabelText(view.labelText() + QStringLiteral("\r\n (Dauer: ") +
                      FormatPattern(seconds, QStringLiteral("#####.00")) +
                      QStringLiteral(" Sek.)"));
    view.repaintNow();
}

} // namespace Kern
