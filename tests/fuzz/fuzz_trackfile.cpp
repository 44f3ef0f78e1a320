// Track-file reader on any bytes, and the round trip write -> read: what the reader fills in
// is always writable, and a file once written reads back to the same table and is written again
// byte for byte.
#include "fuzzcheck.h"
#include "trackfile.h"

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
        FUZZ_CHECK(back[std::size_t(r)].length == table[std::size_t(r)].length);
        FUZZ_CHECK(back[std::size_t(r)].article == table[std::size_t(r)].article);
    }
    QByteArray again;
    FUZZ_CHECK(TrackFile::format(back, &again, &error));
    FUZZ_CHECK(again == written);
    return 0;
}
