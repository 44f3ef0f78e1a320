// Track-file reader on any bytes, and the round trip write -> read: what the reader fills in
// is always writable, a file once written reads back to the same table (prices as the same
// numbers), and from the second save on it is written again byte for byte.
#include "fuzzcheck.h"
#include "germanformat.h"
#include "trackfile.h"

#include <cmath>

namespace {
TrackFile::Table writtenAndRead(const TrackFile::Table& table, QByteArray* written) {
    FUZZ_CHECK(TrackFile::format(table, written, nullptr));
    FUZZ_CHECK(written->count('\n') == 3 * TrackFile::Rows);
    TrackFile::Table back;
    int rows = 0;
    TrackFile::parse(*written, &back, &rows);
    FUZZ_CHECK(rows == TrackFile::Rows);
    return back;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TrackFile::Table table;
    table.fill({QStringLiteral("0.0"), QString(), QStringLiteral("0,00")});
    int rows = -1;
    TrackFile::parse(fuzzBytes(data, size), &table, &rows);
    FUZZ_CHECK(rows >= 0 && rows <= TrackFile::Rows);
    for (const TrackFile::Row& row : table)
        for (const QString& field : {row.length, row.article, row.price}) {
            FUZZ_CHECK(field.size() <= TrackFile::MaxLineLength);
            for (const QChar c : field)
                FUZZ_CHECK(c.unicode() >= 0x20 || c == QLatin1Char('\t'));
        }
    QByteArray written, again, onceMore;
    const TrackFile::Table back = writtenAndRead(table, &written);
    for (std::size_t r = 0; r < table.size(); ++r) {
        FUZZ_CHECK(back[r].length == table[r].length && back[r].article == table[r].article);
        // A price comes back as the same number; "-0,00" (a tiny negative amount, shown with its
        // sign as the formats do) is the number 0 and is written "0,00" the next time.
        double a = 0.0, b = 0.0;
        const bool number = Kern::readGermanNumber(table[r].price, &a);
        FUZZ_CHECK(number == Kern::readGermanNumber(back[r].price, &b));
        FUZZ_CHECK(number ? std::fabs(a - b) <= 0.0050001 + 1e-12 * std::fabs(a)
                          : back[r].price == table[r].price);
    }
    writtenAndRead(writtenAndRead(back, &again), &onceMore);
    FUZZ_CHECK(onceMore == again);
    return 0;
}
