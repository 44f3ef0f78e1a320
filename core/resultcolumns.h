#pragma once

#include <QString>

namespace Kern {

// Which column of the result table holds what, for n selected types: the running number, the
// total length, the deviation, one count per type, the number of pieces and the total price.
// The grid, the clipboard, the CSV export and the printout all take their columns from here.
struct ResultColumns {
    int types = 0; // n, 0..MaxTypes

    static constexpr int Number = 0;
    static constexpr int Length = 1;
    static constexpr int Deviation = 2;
    static constexpr int FirstType = 3;

    // Type 1..n.
    constexpr int type(int t) const { return FirstType + t - 1; }
    constexpr int pieces() const { return FirstType + types; }
    constexpr int price() const { return FirstType + types + 1; }
    constexpr int count() const { return FirstType + types + 2; }
    // The type a column counts, 1..n, or 0 for a column of no type.
    constexpr int typeOf(int column) const {
        return column >= FirstType && column < FirstType + types ? column - FirstType + 1 : 0;
    }

    // The heading of a column that belongs to no type (a type's is its article number).
    QString fixedHeading(int column) const {
        if (column == Number)
            return QStringLiteral("lfd. Nr.");
        if (column == Length)
            return QStringLiteral("Länge");
        if (column == Deviation)
            return QStringLiteral("-/+");
        if (column == pieces())
            return QStringLiteral("Anzahl Gleise");
        if (column == price())
            return QStringLiteral("Gesamtpreis");
        return QString();
    }

    // The picture pattern a column's cells are written with.
    QString pattern(int column) const {
        if (column == Length || column == Deviation)
            return QStringLiteral("###0.0");
        return column == price() ? QStringLiteral("#,##0.00") : QStringLiteral("####");
    }

    // The line of group captions above the headings: "Strecke (mm)" over the length,
    // "Gleistypen (mm)" over the first type column; every other cell empty.
    QString groupCaption(int column) const {
        if (column == Length)
            return QStringLiteral("Strecke (mm)");
        if (types > 0 && column == FirstType)
            return QStringLiteral("Gleistypen (mm)");
        return QString();
    }
};

} // namespace Kern
