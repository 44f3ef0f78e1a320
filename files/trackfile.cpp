#include "trackfile.h"

#include "germanformat.h"
#include "safefile.h"
#include "textcodec.h"

#include <vector>

namespace TrackFile {

namespace {

QString cleanLine(const QString& line) {
    QString out;
    out.reserve(line.size());
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x7F || u == 0xFFFD || (u >= 0x80 && u < 0xA0))
            continue;
        out += c;
    }
    return Kern::leftWhole(out, MaxLineLength);
}

const char* const FieldNames[3] = {"Länge", "Artikel-Nr.", "Preis je Gleis"};

} // namespace

void parse(const QByteArray& bytes, Table* table, int* rowsRead) {
    // Lines are cut in bytes generously: four bytes a character is the most UTF-8 needs.
    const std::vector<QByteArray> lines =
        Kern::splitLines(bytes, Rows * 3, qsizetype(MaxLineLength) * 4);
    const int complete = int(lines.size()) / 3;
    // Only the lines taken decide the encoding: a file cut short inside a character of its
    // incomplete last row still has UTF-8 umlauts in the rows before.
    bool utf8 = true;
    for (int i = 0; i < 3 * complete; ++i)
        utf8 = utf8 && Kern::isValidUtf8(lines[std::size_t(i)]);
    auto decode = [utf8](const QByteArray& b) {
        return cleanLine(utf8 ? QString::fromUtf8(b) : Kern::decodeWindows1252(b));
    };
    for (int r = 0; r < complete; ++r) {
        Row& row = (*table)[std::size_t(r)];
        row.length = decode(lines[std::size_t(3 * r)]);
        row.article = decode(lines[std::size_t(3 * r + 1)]);
        row.price = decode(lines[std::size_t(3 * r + 2)]);
    }
    *rowsRead = complete;
}

bool format(const Table& table, QByteArray* bytes, QString* error) {
    QByteArray out;
    for (int r = 0; r < Rows; ++r) {
        const Row& row = table[std::size_t(r)];
        double value = 0.0;
        const QString price = Kern::readGermanNumber(row.price, &value)
                                  ? Kern::formatPattern(value, QStringLiteral("##0.00"))
                                  : row.price;
        const QString fields[3] = {row.length, row.article, price};
        for (int f = 0; f < 3; ++f) {
            if (fields[f].contains(QLatin1Char('\n')) || fields[f].contains(QLatin1Char('\r'))) {
                if (error)
                    *error = QStringLiteral("Das Feld „%1“ in Zeile %2 enthält einen "
                                            "Zeilenumbruch.")
                                 .arg(QString::fromUtf8(FieldNames[f]))
                                 .arg(r + 1);
                return false;
            }
            out += fields[f].toUtf8();
            out += "\r\n";
        }
    }
    *bytes = out;
    return true;
}

bool read(const QString& path, Table* table, int* rowsRead, QString* error) {
    *rowsRead = 0;
    QByteArray bytes;
    if (!SafeFile::readFile(path, &bytes, error))
        return false;
    parse(bytes, table, rowsRead);
    return true;
}

bool write(const QString& path, const Table& table, QString* error) {
    QByteArray bytes;
    return format(table, &bytes, error) && SafeFile::writeFile(path, bytes, error);
}

} // namespace TrackFile
