// The result table as text for other programs: the rows chosen, the clipboard text, CSV bytes and
// the atomic file write behind the export.
#include "resultexport.h"
#include "safefile.h"

#include <QAbstractTableModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace Kern;

namespace {
// A result table as the grid sees it: headings, and cells whose shown text differs from the
// value behind it, as with a model that keeps numbers.
class ShownTable : public QAbstractTableModel {
public:
    ShownTable(QStringList headings, QList<QStringList> rows)
        : m_headings(std::move(headings)), m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex& = {}) const override { return int(m_rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return int(m_headings.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        const QString shown = m_rows.at(index.row()).at(index.column());
        return role == Qt::DisplayRole ? QVariant(shown) : QVariant(shown.size() * 1.5);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return section + 1;
        return role == Qt::DisplayRole ? QVariant(m_headings.at(section)) : QVariant();
    }

private:
    QStringList m_headings;
    QList<QStringList> m_rows;
};
} // namespace

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

static const QStringList First{"1", "1000,0", "0,0", "2", "5", "7", "0,00"};
static const QStringList Second{"2", "999,9", "-0,1", "", "11", "11", "1.234,50"};

void TestResultExport::textsOfTheModel_data() {
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<QStringList>>("expected");
    const QStringList headings{"lfd. Nr.", "Länge",         "-/+",        "Gleis Ä",
                               "Gleis ö",  "Anzahl Gleise", "Gesamtpreis"};
    const QStringList groups{"", "Strecke (mm)", "", "Gleistypen (mm)", "", "", ""};
    QTest::newRow("all rows, texts as shown")
        << headings << QList<int>{0, 1} << QList<QStringList>{groups, headings, First, Second};
    QTest::newRow("chosen rows in the order given")
        << headings << QList<int>{1, 0} << QList<QStringList>{groups, headings, Second, First};
    const QStringList noType{"lfd. Nr.", "Länge", "-/+", "Anzahl Gleise", "Gesamtpreis"};
    QTest::newRow("no type: no caption above type columns")
        << noType << QList<int>{} << QList<QStringList>{{"", "Strecke (mm)", "", "", ""}, noType};
}

void TestResultExport::textsOfTheModel() {
    QFETCH(QStringList, headings);
    QFETCH(QList<int>, rows);
    QFETCH(QList<QStringList>, expected);
    const ShownTable model(headings, {First.first(headings.size()), Second.first(headings.size())});
    QCOMPARE(ResultTexts(model, rows), expected);
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
    const ShownTable model(
        {"lfd. Nr.", "Länge", "-/+", "24064", "Märklin;Ö", "Anzahl Gleise", "Gesamtpreis"},
        {First, Second});
    QCOMPARE(CsvBytes(ResultTexts(model, {1, 0})),
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
    QVERIFY(SafeFile::writeFile(path, "alt", &reason));
    QVERIFY(SafeFile::writeFile(path, "neu", &reason));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("neu"));

    const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!SafeFile::writeFile(pipe, "x", &reason));
    QCOMPARE(reason, QStringLiteral("Das ist eine Pipe (FIFO), keine gewöhnliche Datei."));
    QVERIFY(!QFileInfo(pipe).isFile());
    reason.clear();
    QVERIFY(!SafeFile::writeFile(dir.filePath(QStringLiteral("fehlt/x.csv")), "x", &reason));
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
    QVERIFY(SafeFile::writeFile(path, "alt", &reason));
    QFile filler(dir.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(1024, 'f');
    for (int k = 0; fillKiB < 0 || k < fillKiB; ++k)
        if (filler.write(block) != block.size())
            break;
    filler.close();

    const bool saved = SafeFile::writeFile(path, QByteArray(bytes, 'x'), &reason);
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
