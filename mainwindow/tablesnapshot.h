#pragma once

#include "trackfile.h"

#include <QString>

#include <array>

// What a track file keeps of the track table (article number, length and price of the ten
// rows), in the form that tells whether the table has changed since it was last loaded, saved,
// chosen or set at start-up. Texts that mean the same to the program count as equal, so that
// nothing the program itself rewrites makes a table "changed": a length is its number (the focus
// rule turns "0.0" into "0,0"), a price is taken as the search rewrites it ("3,5" and "3.5" are
// "3,50"). An article number is its exact text: it becomes a column heading as it is.
class TableSnapshot {
public:
    TableSnapshot() = default;
    explicit TableSnapshot(const TrackFile::Table& table);

    bool operator==(const TableSnapshot& other) const { return m_rows == other.m_rows; }
    bool operator!=(const TableSnapshot& other) const { return !(*this == other); }

private:
    struct Row {
        QString article;
        double length = 0.0;
        QString price;
        bool operator==(const Row& o) const {
            return article == o.article && length == o.length && price == o.price;
        }
    };
    std::array<Row, TrackFile::Rows> m_rows{};
};
