// The track-file format without any window: what the writer puts into a file, what the reader
// takes from files it did not write, and the round trip between them.
#include "trackfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using TrackFile::Row;
using TrackFile::Table;

namespace {

Table startTable() {
    Table t;
    for (int r = 0; r < TrackFile::Rows; ++r)
        t[std::size_t(r)] = {QStringLiteral("0.0"), QString(), QStringLiteral("0,00")};
    return t;
}

// Rows written as "length|article|price;..." for compact data tables.
QStringList rowsOf(const Table& t, int count) {
    QStringList out;
    for (int r = 0; r < count; ++r) {
        const Row& row = t[std::size_t(r)];
        out << row.length + QLatin1Char('|') + row.article + QLatin1Char('|') + row.price;
    }
    return out;
}

} // namespace

class TestTrackFormat : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void writtenBytes();
    void lineBreakInAFieldIsRefused_data();
    void lineBreakInAFieldIsRefused();
    void parse_data();
    void parse();
};

void TestTrackFormat::roundTrip_data() {
    QTest::addColumn<Row>("row");
    QTest::addColumn<Row>("back"); // what a write, then a read gives back
    QTest::newRow("price with a thousands point")
        << Row{"64.3", "24064", "1.234,50"} << Row{"64.3", "24064", "1234,50"};
    QTest::newRow("price without decimals") << Row{"5", "A", "3,5"} << Row{"5", "A", "3,50"};
    QTest::newRow("price that is no number") << Row{"5", "A", "teuer"} << Row{"5", "A", "teuer"};
    QTest::newRow("empty fields") << Row{"", "", ""} << Row{"", "", ""};
    QTest::newRow("umlauts and euro sign")
        << Row{"188.3", QString::fromUtf8("Weiche ä ö ü ß €"), "2,00"}
        << Row{"188.3", QString::fromUtf8("Weiche ä ö ü ß €"), "2,00"};
    QTest::newRow("tab inside a field")
        << Row{"1\t2", "a\tb", "\t3,5"} << Row{"1\t2", "a\tb", "3,50"};
    QTest::newRow("longest line") << Row{"1", QString(TrackFile::MaxLineLength, QChar(0x20AC)), ""}
                                  << Row{"1", QString(TrackFile::MaxLineLength, QChar(0x20AC)), ""};
}

void TestTrackFormat::roundTrip() {
    QFETCH(Row, row);
    QFETCH(Row, back);
    for (int r : {0, 9}) {
        Table t = startTable();
        t[std::size_t(r)] = row;
        QByteArray bytes;
        QVERIFY(TrackFile::format(t, &bytes, nullptr));
        Table read;
        int rows = 0;
        TrackFile::parse(bytes, &read, &rows);
        QCOMPARE(rows, 10);
        QCOMPARE(read[std::size_t(r)], back);
        QCOMPARE(read[std::size_t(9 - r)], startTable()[0]);
        // A file written once is written again byte for byte.
        QByteArray again;
        QVERIFY(TrackFile::format(read, &again, nullptr));
        QCOMPARE(again, bytes);
    }
}

void TestTrackFormat::writtenBytes() {
    Table t = startTable();
    t[0] = {"64.3", "24064", "3,5"};
    t[2] = {"77.5", QString::fromUtf8("ä"), ""};
    QByteArray bytes;
    QVERIFY(TrackFile::format(t, &bytes, nullptr));
    QVERIFY(
        bytes.startsWith("64.3\r\n24064\r\n3,50\r\n0.0\r\n\r\n0,00\r\n77.5\r\n\xc3\xa4\r\n\r\n"));
    QCOMPARE(bytes.count("\r\n"), 30);
    QCOMPARE(bytes.count('\n'), 30);
    QVERIFY(bytes.endsWith("0.0\r\n\r\n0,00\r\n"));
}

void TestTrackFormat::lineBreakInAFieldIsRefused_data() {
    QTest::addColumn<int>("field"); // 0 length, 1 article, 2 price
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pasted cells in an article number")
        << 1 << "A\nB\n"
        << QString::fromUtf8("Das Feld „Artikel-Nr.“ in Zeile 4 enthält");
    QTest::newRow("carriage return in a length")
        << 0 << "1\r2" << QString::fromUtf8("Das Feld „Länge“ in Zeile 4 enthält");
    QTest::newRow("line break in a price")
        << 2 << "3,50 \r\nEUR" << QString::fromUtf8("Das Feld „Preis je Gleis“ in Zeile 4 enthält");
}

void TestTrackFormat::lineBreakInAFieldIsRefused() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    Table t = startTable();
    (field == 0 ? t[3].length : field == 1 ? t[3].article : t[3].price) = text;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("alt.sfr"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
    old.close();
    QString error;
    QVERIFY(!TrackFile::write(path, t, &error));
    QVERIFY2(error.startsWith(reason), qPrintable(error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old\r\n"));
}

void TestTrackFormat::parse_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("rows"); // the rows read, as "length|article|price"
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("two rows, CR LF") << QByteArray("10\r\nA\r\n1,00\r\n20\r\nB\r\n2,00\r\n")
                                     << QStringList{"10|A|1,00", "20|B|2,00"};
    QTest::newRow("3k-1 lines: incomplete last row")
        << QByteArray("10\r\nA\r\n1,00\r\n20\r\nB\r\n") << QStringList{"10|A|1,00"};
    QTest::newRow("3k+1 lines") << QByteArray("10\r\nA\r\n1,00\r\n20") << QStringList{"10|A|1,00"};
    QTest::newRow("LF only, last line without a break")
        << QByteArray("11\nL\n1\n22\nM\n2") << QStringList{"11|L|1", "22|M|2"};
    QTest::newRow("CR only") << QByteArray("11\rL\r1\r") << QStringList{"11|L|1"};
    QTest::newRow("mixed line ends, empty lines")
        << QByteArray("1\r\n\n\r2\r\r\n\n") << QStringList{"1||", "2||"};
    QByteArray many;
    for (int i = 1; i <= 12; ++i)
        many += QByteArray::number(i) + "\r\nX" + QByteArray::number(i) + "\r\n0,5\r\n";
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("%1|X%1|0,5").arg(i);
    QTest::newRow("more than thirty lines") << many << ten;
    QTest::newRow("Windows-1252 umlauts") << QByteArray("5\r\nGleis \xe4\xdf\x80\r\n1,00\r\n")
                                          << QStringList{QString::fromUtf8("5|Gleis äß€|1,00")};
    QTest::newRow("UTF-8 umlauts") << QByteArray("5\r\nGleis \xc3\xa4\r\n1,00\r\n")
                                   << QStringList{QString::fromUtf8("5|Gleis ä|1,00")};
    QTest::newRow("file cut inside a character of the incomplete last row")
        << QByteArray("5\r\n\xc3\xa4\r\n1,00\r\n6\r\n\xc3")
        << QStringList{QString::fromUtf8("5|ä|1,00")};
    QTest::newRow("truncated character in a row taken: Windows-1252")
        << QByteArray("5\r\n\xc3\xa4\r\n1,0\xc3") << QStringList{QString::fromUtf8("5|Ã¤|1,0Ã")};
    QTest::newRow("long UTF-8 line cut inside a character")
        << QByteArray("5\r\n") + QByteArray("\xe2\x82\xac").repeated(50000) + "\r\n1,00\r\n"
        << QStringList{"5|" + QString(TrackFile::MaxLineLength, QChar(0x20AC)) + "|1,00"};
    QTest::newRow("long line of characters beyond 16 bits cut between two of them")
        << QByteArray("5\r\n") + QByteArray("\xf0\x9f\x9a\x82").repeated(20000) + "\r\n1\r\n"
        << QStringList{"5|" + QString::fromUtf8("\xf0\x9f\x9a\x82").repeated(16383) + "|1"};
    QTest::newRow("control characters dropped, tab kept") << QByteArray("\x01"
                                                                        "5\x7f\r\na\tb\x1b\r\n\x00"
                                                                        "1,00\r\n",
                                                                        19)
                                                          << QStringList{"5|a\tb|1,00"};
}

void TestTrackFormat::parse() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, rows);
    Table t = startTable();
    int read = -1;
    TrackFile::parse(content, &t, &read);
    QCOMPARE(read, int(rows.size()));
    QCOMPARE(rowsOf(t, read), rows);
    // Rows the file does not reach keep what they held.
    for (int r = read; r < TrackFile::Rows; ++r)
        QCOMPARE(t[std::size_t(r)], startTable()[0]);
}

QTEST_APPLESS_MAIN(TestTrackFormat)
#include "tst_trackformat.moc"
