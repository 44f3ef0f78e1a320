// The track systems that come with the program: each one, read through the track-file reader,
// holds exactly its checked pieces (tracksystems-rows.csv beside this file, the rows of the
// track-system facts that were confirmed), and a user's own copy of a file is read before the
// installed and the built-in one.
#include "datarow.h"
#include "filefaults.h"
#include "safefile.h"
#include "trackfile.h"
#include "tracksystems.h"

#include <QtTest>

#include <sys/stat.h>

using TrackSystems::System;

namespace {

struct Piece {
    QString article;
    QString length;
};

} // namespace

Q_DECLARE_METATYPE(QList<Piece>)

namespace {

struct Checked {
    QString gauge;
    QString name;
    QList<Piece> pieces;
};

// The confirmed rows, grouped by system in the order of the file.
QList<Checked> checkedSystems() {
    QFile file(QStringLiteral(":/test/tracksystems-rows.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Checked> systems;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) { // the first line names the columns
        const QStringList f = line.split(QLatin1Char(';'));
        if (f.size() < 4)
            continue;
        const QString gauge = f[1] == QLatin1String("HO") || f[1] == QLatin1String("OO/H0")
                                  ? QStringLiteral("H0")
                                  : f[1];
        if (systems.isEmpty() || systems.last().gauge != gauge || systems.last().name != f[0])
            systems.append(Checked{gauge, f[0], {}});
        systems.last().pieces.append(Piece{f[2], f[3]});
    }
    return systems;
}

QList<System> shippedSystems() {
    QList<System> all;
    for (const TrackSystems::Gauge& gauge : TrackSystems::byGauge())
        all += gauge.systems;
    return all;
}

System shipped(const QString& gauge, const QString& name) {
    for (const System& s : shippedSystems())
        if (s.gauge == gauge && s.name == name)
            return s;
    return {};
}

bool makeFileOrFolder(const QString& path, const QString& kind) {
    if (kind == QLatin1String("file"))
        return TestHelp::put(path, "1\r\nA\r\n0,00\r\n");
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace

class TestTrackSystems : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The menu offers exactly the confirmed systems, and no two systems share a file.
    void shippedAreTheCheckedSystems() {
        QStringList shippedKeys, checkedKeys, files;
        for (const System& s : shippedSystems()) {
            shippedKeys << s.gauge + QLatin1Char('/') + s.name;
            files << s.fileName;
        }
        for (const Checked& c : checkedSystems())
            checkedKeys << c.gauge + QLatin1Char('/') + c.name;
        QVERIFY(checkedKeys.size() >= 20);
        shippedKeys.sort();
        checkedKeys.sort();
        QCOMPARE(shippedKeys, checkedKeys);
        files.removeDuplicates();
        QCOMPARE(files.size(), shippedKeys.size());
    }

    // Loaded as the menu loads it, a system fills its rows with its pieces in order, price
    // "0,00", and leaves the rest as empty rows; the file has the bytes the writer would write.
    void systemHoldsItsPieces_data() {
        dataColumns<QString, QString, QList<Piece>>({"gauge", "name", "pieces"});
        for (const Checked& c : checkedSystems()) {
            const QByteArray row = (c.gauge + QLatin1Char(' ') + c.name).toUtf8();
            QTest::newRow(row.constData()) << c.gauge << c.name << c.pieces;
        }
    }
    void systemHoldsItsPieces() {
        QFETCH(QString, gauge);
        QFETCH(QString, name);
        QFETCH(QList<Piece>, pieces);
        const System system = shipped(gauge, name);
        QVERIFY2(!system.fileName.isEmpty(), "not in the index");
        QVERIFY(pieces.size() >= 3 && pieces.size() <= TrackFile::Rows);

        const QString path = TrackSystems::findFile(system.fileName, {});
        TrackFile::Table table;
        table.fill(TrackFile::Row{QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x")});
        int rows = 0;
        QString error;
        QVERIFY2(TrackFile::read(path, &table, &rows, &error), qPrintable(error));
        QCOMPARE(rows, TrackFile::Rows);
        for (int r = 0; r < TrackFile::Rows; ++r) {
            const TrackFile::Row want =
                r < pieces.size()
                    ? TrackFile::Row{pieces[r].length, pieces[r].article, QStringLiteral("0,00")}
                    : TrackFile::Row{QStringLiteral("0.0"), QString(), QStringLiteral("0,00")};
            QCOMPARE(table[std::size_t(r)].article, want.article);
            QCOMPARE(table[std::size_t(r)].length, want.length);
            QCOMPARE(table[std::size_t(r)].price, want.price);
        }

        QByteArray written, shippedBytes;
        QVERIFY(TrackFile::format(table, &written, nullptr));
        QVERIFY(SafeFile::readFile(path, &shippedBytes, nullptr));
        QCOMPARE(shippedBytes, written);
    }

    // The user's folder comes first, then the installed one, then the built-in copy; only a
    // regular file counts, so that a folder or a FIFO of that name neither hides the next place
    // nor blocks the reader.
    void lookUpOrder_data() {
        dataColumns<QString, QString, QString>({"user", "installed", "found"});
        dataRow("user copy wins", "file", "file", "user");
        dataRow("installed copy before the built-in one", "", "file", "installed");
        dataRow("nothing on disk gives the built-in copy", "", "", "built-in");
        dataRow("a folder of that name is passed over", "folder", "file", "installed");
        dataRow("a FIFO of that name is passed over", "fifo", "", "built-in");
    }
    void lookUpOrder() {
        QFETCH(QString, user);
        QFETCH(QString, installed);
        QFETCH(QString, found);
        QTemporaryDir dir;
        const QString name = QStringLiteral("h0-maerklin-c-gleis.sfr");
        const QStringList folders{dir.filePath(QStringLiteral("user")),
                                  dir.filePath(QStringLiteral("installed"))};
        for (const QString& f : folders)
            QVERIFY(QDir().mkpath(f));
        if (!user.isEmpty())
            QVERIFY(makeFileOrFolder(folders[0] + QLatin1Char('/') + name, user));
        if (!installed.isEmpty())
            QVERIFY(makeFileOrFolder(folders[1] + QLatin1Char('/') + name, installed));

        const QString path = TrackSystems::findFile(name, folders);
        const QString want = found == QLatin1String("user")        ? folders[0] + '/' + name
                             : found == QLatin1String("installed") ? folders[1] + '/' + name
                                                                   : ":/tracksystems/" + name;
        QCOMPARE(path, want);
    }

    // The program's own choice of folders: a copy in the user's data folder is what it reads.
    void userDataFolderComesFirst() {
        const QString userFolder =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
            QStringLiteral("/tracksystems");
        QVERIFY(TrackSystems::searchFolders().last().endsWith(
            QLatin1String("/share/schotterfix/tracksystems")));
        const System system = shipped("N", "Minitrix");
        QCOMPARE(TrackSystems::pathOf(system), ":/tracksystems/" + system.fileName);
        QVERIFY(QDir().mkpath(userFolder));
        const QString own = userFolder + QLatin1Char('/') + system.fileName;
        QVERIFY(TestHelp::put(own, "104.2\r\n14904\r\n1,95\r\n"));
        const QString path = TrackSystems::pathOf(system);
        QFile::remove(own);
        QCOMPARE(path, own);
    }

    // An index line that could lead the look-up elsewhere, or that the menu could not show, is
    // skipped; the others keep their order, whatever the line ends.
    void parseIndex_data() {
        dataColumns<QByteArray, QStringList>({"index", "files"});
        dataRow("CR LF, LF and a last line without end",
                QByteArray("N;Minitrix;n.sfr\r\nZ;Mini;z.sfr\nG;LGB;g.sfr"),
                QStringList{"n.sfr", "z.sfr", "g.sfr"});
        dataRow("unknown gauge and empty name",
                QByteArray("HO;Kato;k.sfr\r\nN; ;n.sfr\r\nTT;Tillig;t.sfr\r\n"),
                QStringList{"t.sfr"});
        dataRow("file names leading out of the folder",
                QByteArray("H0;A;../a.sfr\r\nH0;B;/etc/b.sfr\r\nH0;C;.sfr\r\nH0;D;d.txt\r\n"),
                QStringList{});
        dataRow("wrong number of fields", QByteArray("H0;A\r\nH0;B;b.sfr;x\r\n\r\n"),
                QStringList{});
    }
    void parseIndex() {
        QFETCH(QByteArray, index);
        QFETCH(QStringList, files);
        QStringList got;
        for (const System& s : TrackSystems::parseIndex(index))
            got << s.fileName;
        QCOMPARE(got, files);
    }
};

QTEST_GUILESS_MAIN(TestTrackSystems)
#include "tst_tracksystems.moc"
