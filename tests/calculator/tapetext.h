#pragma once

#include <QString>
#include <QStringList>

// Tape lines without their padding, "|" between them, "rule" for the dashed line, "" for the
// blank line a fresh window starts with. A number must end in column 25 whatever its length, or
// the tape would not stay in columns; such a line comes back marked.
inline QString shortTape(const QStringList& tape) {
    QStringList out;
    for (const QString& line : tape) {
        if (line == QString(30, QLatin1Char('-'))) {
            out << QStringLiteral("rule");
            continue;
        }
        if (line.isEmpty()) {
            out << line;
            continue;
        }
        if (line.size() < 25 || line.at(24) == QLatin1Char(' '))
            return QStringLiteral("misaligned: ") + line;
        int i = 0;
        while (line.at(i) == QLatin1Char(' '))
            ++i;
        out << line.mid(i);
    }
    return out.join(QLatin1Char('|'));
}
