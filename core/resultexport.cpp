#include "resultexport.h"

#include <QAbstractItemModel>

namespace Kern {

namespace {

// Columns of the result table: number, length, deviation, one per type, pieces, price.
constexpr int LengthColumn = 1;
constexpr int FirstTypeColumn = 3;
constexpr int ColumnsBesideTypes = 5;

QString quotedIfNeeded(const QString& cell, QLatin1String specials) {
    for (const QChar c : cell) {
        if (specials.contains(c)) {
            QString quoted = cell;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            return QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    }
    return cell;
}

QString joined(const QList<QStringList>& table, QLatin1Char separator, QLatin1String specials,
               QLatin1String lineEnd) {
    QString out;
    for (const QStringList& row : table) {
        for (int c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += separator;
            out += quotedIfNeeded(row.at(c), specials);
        }
        out += lineEnd;
    }
    return out;
}

} // namespace

QList<QStringList> resultTexts(const QAbstractItemModel& model, const QList<int>& rows) {
    const int columns = model.columnCount();
    QStringList groups(columns);
    if (columns > LengthColumn)
        groups[LengthColumn] = QStringLiteral("Strecke (mm)");
    if (columns > ColumnsBesideTypes) // at least one type column
        groups[FirstTypeColumn] = QStringLiteral("Gleistypen (mm)");
    QStringList headings;
    for (int c = 0; c < columns; ++c)
        headings << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();

    QList<QStringList> table{groups, headings};
    table.reserve(rows.size() + 2);
    for (const int r : rows) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << model.data(model.index(r, c), Qt::DisplayRole).toString();
        table << cells;
    }
    return table;
}

QString tabSeparatedText(const QList<QStringList>& table) {
    return joined(table, QLatin1Char('\t'), QLatin1String("\t\r\n\""), QLatin1String("\n"));
}

QByteArray csvBytes(const QList<QStringList>& table) {
    return QByteArray("\xEF\xBB\xBF") +
           joined(table, QLatin1Char(';'), QLatin1String(";\r\n\""), QLatin1String("\r\n"))
               .toUtf8();
}

} // namespace Kern
