#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Track-table files (".sfr"): three lines a row - length, article number, price - for ten rows.
namespace TrackFile {

constexpr int Rows = 10;
// Longest line a box takes from a file (what a line edit holds); the rest is dropped.
constexpr int MaxLineLength = 32767;

struct Row {
    QString length;
    QString article;
    QString price;
    bool operator==(const Row& o) const {
        return length == o.length && article == o.article && price == o.price;
    }
};
using Table = std::array<Row, Rows>;

// Takes up to ten complete rows from the bytes of a file into table[0..*rowsRead-1]; rows the
// bytes do not reach, and an incomplete last row, are left as they were. Lines are taken as
// UTF-8 when valid, otherwise as Windows-1252; CR LF, LF and CR end a line; control characters
// other than the tab are dropped and a line is cut after MaxLineLength characters.
void parse(const QByteArray& bytes, Table* table, int* rowsRead);

// The bytes of a file for all ten rows (30 lines, CR LF, UTF-8); the price is written with
// "##0.00" when it reads as a German number, otherwise unchanged. A field holding a line break
// would shift every later row of the file, so it is refused: false with the reason.
bool format(const Table& table, QByteArray* bytes, QString* error);

// parse() on a regular file of bounded size (never blocks on a FIFO or a device).
// Returns false with the reason when the file cannot be read; the table is then untouched.
bool read(const QString& path, Table* table, int* rowsRead, QString* error);

// format(), then an atomic replacement of the file. On failure an existing file keeps its old
// content and the reason is returned.
bool write(const QString& path, const Table& table, QString* error);

} // namespace TrackFile
