#include "trackfile.h"

#include "germanformat.h"
#include "textcodec.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

namespace TrackFile {

namespace {

QString cleanLine(QString line) {
    QString out;
    out.reserve(line.size());
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x7F || u == 0xFFFD || (u >= 0x80 && u < 0xA0))
            continue;
        out += c;
    }
    return out.left(MaxLineLength);
}

// A line cut after a fixed number of bytes may end inside a UTF-8 sequence; such a tail would
// make the whole file look like Windows-1252.
void dropPartialCharacter(QByteArray& line) {
    int i = int(line.size()) - 1;
    int continuation = 0;
    while (i >= 0 && (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80 && continuation < 3) {
        --i;
        ++continuation;
    }
    if (i < 0)
        return;
    const auto lead = static_cast<unsigned char>(line[i]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > 1 && continuation + 1 < length)
        line.truncate(i);
}

// Reads at most maxLines lines, each cut to a bounded length, without reading further.
std::vector<QByteArray> readLines(QFile& file, int maxLines, bool* atEnd) {
    std::vector<QByteArray> lines;
    QByteArray current;
    bool skipLf = false;
    bool dropping = false;
    char buffer[4096];
    // Cut lines in bytes generously: four bytes a character is the most UTF-8 needs.
    const int maxBytes = MaxLineLength * 4;
    *atEnd = false;
    while (int(lines.size()) < maxLines) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got <= 0) {
            *atEnd = true;
            break;
        }
        for (qint64 i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (skipLf) {
                skipLf = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r' || c == '\n') {
                lines.push_back(current);
                current.clear();
                dropping = false;
                skipLf = c == '\r';
                if (int(lines.size()) == maxLines)
                    break;
                continue;
            }
            if (dropping)
                continue;
            if (current.size() >= maxBytes) {
                dropping = true;
                dropPartialCharacter(current);
                continue;
            }
            current.append(c);
        }
    }
    // The last line need not end with a line break.
    if (*atEnd && !current.isEmpty() && int(lines.size()) < maxLines)
        lines.push_back(current);
    return lines;
}

} // namespace

bool read(const QString& path, Table* table, int* rowsRead, QString* error) {
    *rowsRead = 0;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                path.isEmpty() ? QStringLiteral("Kein Dateiname angegeben.") : file.errorString();
        return false;
    }
    bool atEnd = false;
    const std::vector<QByteArray> lines = readLines(file, Rows * 3, &atEnd);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool utf8 = true;
    for (const QByteArray& l : lines)
        utf8 = utf8 && Kern::IsValidUtf8(l);
    auto decode = [utf8](const QByteArray& bytes) {
        return cleanLine(utf8 ? QString::fromUtf8(bytes) : Kern::DecodeWindows1252(bytes));
    };
    const int complete = int(lines.size()) / 3;
    for (int r = 0; r < complete; ++r) {
        Row& row = (*table)[std::size_t(r)];
        row.length = decode(lines[std::size_t(3 * r)]);
        row.article = decode(lines[std::size_t(3 * r + 1)]);
        row.price = decode(lines[std::size_t(3 * r + 2)]);
    }
    *rowsRead = complete;
    return true;
}

bool write(const QString& path, const Table& table, QString* error) {
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        if (error)
            *error =
                path.isEmpty() ? QStringLiteral("Kein Dateiname angegeben.") : file.errorString();
        return false;
    }
    QByteArray out;
    for (const Row& row : table) {
        double value = 0.0;
        const QString price = Kern::ReadGermanNumber(row.price, &value)
                                  ? Kern::FormatPattern(value, QStringLiteral("##0.00"))
                                  : row.price;
        for (const QString& line : {row.length, row.article, price}) {
            out += line.toUtf8();
            out += "\r\n";
        }
    }
    if (file.write(out) != out.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace TrackFile
