// Track-file reader on any bytes, and the round trip write -> read: what the reader fills in
// is always writable, a file once written reads back to the same table (prices as the same
// numbers), and from the second save on it is written again byte for byte.
#include "fuzzcheck.h"
#include "germanformat.h"
#include "trackfile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TrackFile::Table table;
    for (TrackFile::Row& row : table)
        row = {QStringLiteral("0.0"), QString(), QStringLiteral("0,00")};
    int rows = -1;
    TrackFile::parse(bytes, &table, &rows);
    FUZZ_CHECK(rows >= 0 && rows <= TrackFile::Rows);
    for (const TrackFile::Row& row : table)
        for (const QString& field : {row.length, row.article, row.price}) {
            FUZZ_CHECK(field.size() <= TrackFile::MaxLineLength);
            for (const QChar c : field)
                FUZZ_CHECK(c.unicode() >= 0x20 || c == QLatin1Char('\t'));
        }

    QByteArray written;
    QString error;
    FUZZ_CHECK(TrackFile::format(table, &written, &error));
    FUZZ_CHECK(written.count('\n') == 3 * TrackFile::Rows);

    TrackFile::Table back;
    int backRows = 0;
    TrackFile::parse(written, &back, &backRows);
    FUZZ_CHECK(backRows == TrackFile::Rows);
    for (int r = 0; r < TrackFile::Rows; ++r) {
        const TrackFile::Row& before = table[std::size_t(r)];
        const TrackFile::Row& after = back[std::size_t(r)];
        FUZZ_CHECK(after.length == before.length);
        FUZZ_CHECK(after.article == before.article);
        // A price comes back as the same number; "-0,00" (a tiny negative amount, shown with its
        // sign as the formats do) is the number 0 and is written "0,00" the next time.
        double a = 0.0;
        double b = 0.0;
        const bool numberBefore = Kern::readGermanNumber(before.price, &a);
        FUZZ_CHECK(numberBefore == Kern::readGermanNumber(after.price, &b));
        FUZZ_CHECK(numberBefore ? std::fabs(a - b) <= 0.0050001 + 1e-12 * std::fabs(a)
                                : after.price == before.price);
    }
    // From the second save on, a file is written again byte for byte.
    QByteArray again;
    FUZZ_CHECK(TrackFile::format(back, &again, &error));
    TrackFile::Table third;
    TrackFile::parse(again, &third, &backRows);
    QByteArray onceMore;
    FUZZ_CHECK(TrackFile::format(third, &onceMore, &error));
    FUZZ_CHECK(onceMore == again);
    return 0;
}
