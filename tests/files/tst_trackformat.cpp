// The track-file format without any window: what the writer puts into a file and what the reader
// takes from files, its own and others'.
#include "datarow.h"
#include "filefaults.h"
#include "trackfile.h"

#include <QtTest>

using TrackFile::Row;
using TrackFile::Table;

namespace {
const Row Empty{QStringLiteral("0.0"), QString(), QStringLiteral("0,00")};
} // namespace

class TestTrackFormat : public QObject {
    Q_OBJECT
private slots:
    // What a write puts into the file for a row, here the last; a field holding a line break
    // would shift every later row, so it is refused and the old file stays.
    void write_data() {
        dataColumns<Row, QByteArray, QString>({"row", "written", "refused"});
        const QString umlauts = QString::fromUtf8("Weiche ä ö ü ß €");
        dataRow("price with a thousands point", Row{"64.3", "24064", "1.234,50"},
                QByteArray("64.3\r\n24064\r\n1234,50\r\n"), "");
        dataRow("price that is no number", Row{"5", "A", "teuer"},
                QByteArray("5\r\nA\r\nteuer\r\n"), "");
        dataRow("umlauts and euro sign in UTF-8", Row{"188.3", umlauts, "2,00"},
                "188.3\r\n" + umlauts.toUtf8() + "\r\n2,00\r\n", "");
        dataRow("tab inside a field", Row{"1\t2", "a\tb", "\t3,5"},
                QByteArray("1\t2\r\na\tb\r\n3,50\r\n"), "");
        dataRow("pasted cells in an article number", Row{"1", "A\nB\n", ""}, QByteArray(),
                "Das Feld „Artikel-Nr.“ in Zeile 10 enthält");
        dataRow("carriage return in a length", Row{"1\r2", "", ""}, QByteArray(),
                "Das Feld „Länge“ in Zeile 10");
    }
    void write() {
        QFETCH(Row, row);
        QFETCH(QByteArray, written);
        QFETCH(QString, refused);
        Table t;
        t.fill(Empty);
        t[9] = row;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.sfr"));
        QVERIFY(TestHelp::put(path, "old\r\n"));
        QString error;
        QCOMPARE(TrackFile::write(path, t, &error), refused.isEmpty());
        QCOMPARE(error.left(refused.size()), refused);
        QCOMPARE(TestHelp::contentOf(path),
                 refused.isEmpty() ? QByteArray("0.0\r\n\r\n0,00\r\n").repeated(9) + written
                                   : QByteArray("old\r\n"));
    }

    void parse_data() {
        // rows: the rows read, as "length|article|price;..."
        dataColumns<QByteArray, QString>({"content", "rows"});
        const QString euros(TrackFile::MaxLineLength, QChar(0x20AC));
        dataRow("3k-1 lines: incomplete last row", QByteArray("10\r\nA\r\n1,00\r\n20\r\nB\r\n"),
                "10|A|1,00");
        dataRow("LF only, last line without a break", QByteArray("11\nL\n1\n22\nM\n2"),
                "11|L|1;22|M|2");
        dataRow("mixed line ends, empty lines", QByteArray("1\r\n\n\r2\r\r\n\n"), "1||;2||");
        dataRow("more than thirty lines: ten rows",
                QByteArray("1\r\nA\r\n2\r\n").repeated(10) + "9\r\nZ\r\n9\r\n",
                QStringList(10, QStringLiteral("1|A|2")).join(QLatin1Char(';')));
        dataRow("file cut inside a character of the incomplete last row",
                QByteArray("5\r\n\xc3\xa4\r\n1,00\r\n6\r\n\xc3"), QString::fromUtf8("5|ä|1,00"));
        dataRow("truncated character in a row taken: Windows-1252",
                QByteArray("5\r\n\xc3\xa4\xc2\x80\r\n1,0\xc3"), QString::fromUtf8("5|Ã¤Â€|1,0Ã"));
        dataRow("long UTF-8 line cut inside a character",
                "5\r\n" + QByteArray("\xe2\x82\xac").repeated(50000) + "\r\n1,00\r\n",
                "5|" + euros + "|1,00");
        dataRow("long line cut between two characters beyond 16 bits",
                "5\r\n" + QByteArray("\xf0\x9f\x9a\x82").repeated(20000) + "\r\n1\r\n",
                "5|" + QString::fromUtf8("\xf0\x9f\x9a\x82").repeated(16383) + "|1");
        dataRow("control characters dropped, also those beyond ASCII, tab kept",
                QByteArray("\x01"
                           "5\x7f\r\na\tb\x1b\xc2\x85\r\n\x00"
                           "1,00\r\n",
                           21),
                "5|a\tb|1,00");
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(QString, rows);
        Table t;
        t.fill(Empty);
        int read = -1;
        TrackFile::parse(content, &t, &read);
        QStringList got;
        for (int r = 0; r < read; ++r)
            got << t[r].length + QLatin1Char('|') + t[r].article + QLatin1Char('|') + t[r].price;
        QCOMPARE(got.join(QLatin1Char(';')), rows);
        for (int r = read; r < TrackFile::Rows; ++r) // rows the file does not reach stay
            QCOMPARE(t[std::size_t(r)], Empty);
    }
};

QTEST_APPLESS_MAIN(TestTrackFormat)
#include "tst_trackformat.moc"
