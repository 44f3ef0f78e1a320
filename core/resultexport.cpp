#include "resultexport.h"

#include "resulttablemodel.h"

namespace Kern {

namespace {

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

QList<QStringList> resultTexts(const ResultTableModel& model, const QList<int>& rows) {
    const ResultColumns columns = model.columns();
    QList<QStringList> table;
    table.reserve(rows.size() + 2);
    auto line = [&](auto textOf) {
        QStringList cells;
        for (int c = 0; c < columns.count(); ++c)
            cells << textOf(c);
        table << cells;
    };
    line([&](int c) { return columns.groupCaption(c); });
    line([&](int c) { return model.cellText(0, c); });
    for (const int r : rows)
        line([&](int c) { return model.cellText(r + 1, c); });
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
