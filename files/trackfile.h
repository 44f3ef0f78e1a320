#pragma once

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
};
using Table = std::array<Row, Rows>;

// Reads up to ten complete rows into table[0..*rowsRead-1]; rows the file does not reach, and an
// incomplete last row, are left as they were. Reading stops after the tenth row. Lines are taken
// as UTF-8 when valid, otherwise as Windows-1252; CR LF, LF and CR end a line; control
// characters are dropped. Returns false with the system's reason when the file cannot be read.
bool read(const QString& path, Table* table, int* rowsRead, QString* error);

// Writes all ten rows (30 lines, CR LF, UTF-8) atomically; the price is written with "##0.00"
// when it reads as a German number, otherwise unchanged. On failure an existing file keeps its
// old content and the reason is returned.
bool write(const QString& path, const Table& table, QString* error);

} // namespace TrackFile
