#include "tablesnapshot.h"

#include "currency.h"
#include "inputrules.h"

TableSnapshot::TableSnapshot(const TrackFile::Table& table) {
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        Row& row = m_rows[r];
        row.article = table[r].article;
        row.length = Kern::leadingNumber(table[r].length);
        // The search turns only the first "." of a price into ","; every later run takes the
        // next one. Turning them all at once gives the form no further run changes.
        QString price = table[r].price;
        price.replace(QLatin1Char('.'), QLatin1Char(','));
        row.price = Kern::normalisePriceText(price);
    }
}
