// The result table as text for other programs: the rows chosen, the clipboard text, CSV bytes and
// the atomic file write behind the export.
#include "kern.h"
#include "resultexport.h"
#include "resulttablemodel.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace Kern;

class TestResultExport : public QObject {
    Q_OBJECT
private slots:
    void textsOfTheModel_data();
    void textsOfTheModel();
    void cellsInTextFormats_data();
    void cellsInTextFormats();
    void csvOfAResult();
    void saveReplacesOnlyRegularFiles();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
};

// Two combinations of the given article numbers; the second one costs 1.234,50.
static void fillResult(const QStringList& articles) {
    ScaleX = ScaleY = 1;
    SelectedCount = int(articles.size());
    for (int t = 1; t <= 10; ++t)
        ArticleNumbers[std::size_t(t)] = articles.value(t - 1);
    ResultTable()->SetUpResultTable();
    CombinationCount = 2;
    ResultStore[1] = StoreRow{1000, 0, 2, 5, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0};
    ResultStore[2] = StoreRow{999.9, -0.1, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 11, 1234.5, 0};
    ResultTable()->FillResultTable();
}

void TestResultExport::textsOfTheModel_data() {
    QTest::addColumn<QStringList>("articles");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<QStringList>>("expected");
    const QStringList headings{"lfd. Nr.", "Länge",         "-/+",        "Gleis Ä",
                               "Gleis ö",  "Anzahl Gleise", "Gesamtpreis"};
    const QStringList groups{"", "Strecke (mm)", "", "Gleistypen (mm)", "", "", ""};
    const QStringList first{"1", "1000,0", "0,0", "2", "5", "7", "0,00"};
    const QStringList second{"2", "999,9", "-0,1", "", "11", "11", "1.234,50"};
    QTest::newRow("all rows, numbers as shown")
        << QStringList{"Gleis Ä", "Gleis ö"} << QList<int>{0, 1}
        << QList<QStringList>{groups, headings, first, second};
    QTest::newRow("chosen rows in the order given")
        << QStringList{"Gleis Ä", "Gleis ö"} << QList<int>{1}
        << QList<QStringList>{groups, headings, second};
    QTest::newRow("no type: no caption above type columns")
        << QStringList{} << QList<int>{}
        << QList<QStringList>{{"", "Strecke (mm)", "", "", ""},
                              {"lfd. Nr.", "Länge", "-/+", "Anzahl Gleise", "Gesamtpreis"}};
}

void TestResultExport::textsOfTheModel() {
    QFETCH(QStringList, articles);
    QFETCH(QList<int>, rows);
    QFETCH(QList<QStringList>, expected);
    fillResult(articles);
    QCOMPARE(ResultTexts(*ResultTable(), rows), expected);
}

void TestResultExport::cellsInTextFormats_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("tsv");
    QTest::addColumn<QString>("csv");
    QTest::newRow("semicolon") << "A;B"
                               << "A;B"
                               << "\"A;B\"";
    QTest::newRow("double quote") << "5\" lang"
                                  << "\"5\"\" lang\""
                                  << "\"5\"\" lang\"";
    QTest::newRow("tab") << "A\tB"
                         << "\"A\tB\""
                         << "A\tB";
    QTest::newRow("line break") << "A\r\nB"
                                << "\"A\r\nB\""
                                << "\"A\r\nB\"";
}

void TestResultExport::cellsInTextFormats() {
    QFETCH(QString, cell);
    QFETCH(QString, tsv);
    QFETCH(QString, csv);
    const QList<QStringList> table{{"x", cell, "y"}, {"1"}};
    QCOMPARE(TabSeparatedText(table), "x\t" + tsv + "\ty\n1\n");
    QCOMPARE(CsvBytes(table), "\xEF\xBB\xBFx;" + csv.toUtf8() + ";y\r\n1\r\n");
}

void TestResultExport::csvOfAResult() {
    fillResult({"24064", "Märklin;Ö"});
    QCOMPARE(CsvBytes(ResultTexts(*ResultTable(), {1, 0})),
             QByteArray("\xEF\xBB\xBF"
                        ";Strecke (mm);;Gleistypen (mm);;;\r\n"
                        "lfd. Nr.;L\xC3\xA4nge;-/+;24064;\"M\xC3\xA4rklin;\xC3\x96\";Anzahl "
                        "Gleise;Gesamtpreis\r\n"
                        "2;999,9;-0,1;;11;11;1.234,50\r\n"
                        "1;1000,0;0,0;2;5;7;0,00\r\n"));
}

void TestResultExport::saveReplacesOnlyRegularFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ergebnis.csv"));
    QString reason;
    QVERIFY(SaveBytesAtomically(path, "alt", &reason));
    QVERIFY(SaveBytesAtomically(path, "neu", &reason));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("neu"));

    const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!SaveBytesAtomically(pipe, "x", &reason));
    QCOMPARE(reason, QStringLiteral("Das ist keine gewöhnliche Datei."));
    QVERIFY(!QFileInfo(pipe).isFile());
    reason.clear();
    QVERIFY(!SaveBytesAtomically(dir.filePath(QStringLiteral("fehlt/x.csv")), "x", &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

void TestResultExport::fullDiskKeepsOldFile_data() {
    QTest::addColumn<int>("fillKiB"); // -1: fill to the last byte
    QTest::addColumn<int>("bytes");
    QTest::newRow("buffered write, flush fails") << -1 << 1000;
    QTest::newRow("write takes only part") << 24 << 200000;
}

void TestResultExport::fullDiskKeepsOldFile() {
    QFETCH(int, fillKiB);
    QFETCH(int, bytes);
    QTemporaryDir dir;
    const QByteArray disk = QFile::encodeName(dir.path());
    if (mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("mounting a small file system needs root");
    struct Unmount {
        const QByteArray& at;
        ~Unmount() { umount(at.constData()); }
    } unmount{disk};
    const QString path = dir.filePath(QStringLiteral("Ergebnis.csv"));
    QString reason;
    QVERIFY(SaveBytesAtomically(path, "alt", &reason));
    QFile filler(dir.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(1024, 'f');
    for (int k = 0; fillKiB < 0 || k < fillKiB; ++k)
        if (filler.write(block) != block.size())
            break;
    filler.close();

    const bool saved = SaveBytesAtomically(path, QByteArray(bytes, 'x'), &reason);
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray content = old.readAll();
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(!saved);
    QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QCOMPARE(content, QByteArray("alt"));
    QCOMPARE(entries, (QStringList{"Ergebnis.csv", "filler"}));
}

QTEST_APPLESS_MAIN(TestResultExport)
#include "tst_resultexport.moc"
