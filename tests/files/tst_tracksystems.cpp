// The track systems that come with the program: each one holds exactly its checked pieces
// (tracksystems-rows.csv beside this file, the rows of the track-system facts that were
// confirmed), and a user's own copy of a file is read before the installed and the built-in one.
#include "datarow.h"
#include "filefaults.h"
#include "trackfile.h"
#include "tracksystems.h"

#include <QtTest>

#include <sys/stat.h>

using TrackSystems::System;

class TestTrackSystems : public QObject {
    Q_OBJECT
private slots:
    // The confirmed pieces of each system from the file beside this one, "gauge/name" -> its
    // rows in the order of the file, and the systems the menu offers.
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QFile file(QStringLiteral(":/test/tracksystems-rows.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString& line : lines.mid(1)) { // the first line names the columns
            const QStringList f = line.split(QLatin1Char(';'));
            const bool h0 =
                f.value(1) == QLatin1String("HO") || f.value(1) == QLatin1String("OO/H0");
            if (f.size() >= 4)
                m_checked[(h0 ? QStringLiteral("H0") : f[1]) + QLatin1Char('/') + f[0]]
                    << TrackFile::Row{f[3], f[2], QStringLiteral("0,00")};
        }
        QVERIFY(m_checked.size() >= 20);
        for (const TrackSystems::Gauge& gauge : TrackSystems::byGauge())
            m_shipped += gauge.systems;
    }

    // The menu offers exactly the confirmed systems, each with a file that has the bytes the
    // writer writes for its pieces in order, price "0,00", and empty rows after them.
    void shippedSystem_data() {
        dataColumns<QString, QString>({"key", "file"});
        QMap<QString, QString> files;
        for (const QString& key : m_checked.keys())
            files[key] = QString();
        for (const System& s : m_shipped)
            files[s.gauge + QLatin1Char('/') + s.name] = s.fileName;
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
    }
    void shippedSystem() {
        QFETCH(QString, key);
        QFETCH(QString, file);
        const QList<TrackFile::Row> pieces = m_checked.value(key);
        QVERIFY2(pieces.size() >= 3 && pieces.size() <= TrackFile::Rows, "no confirmed pieces");
        QVERIFY2(!file.isEmpty(), "not in the index");
        TrackFile::Table want;
        want.fill(TrackFile::Row{QStringLiteral("0.0"), QString(), QStringLiteral("0,00")});
        std::copy(pieces.begin(), pieces.end(), want.begin());
        QByteArray bytes;
        QVERIFY(TrackFile::format(want, &bytes, nullptr));
        QCOMPARE(TestHelp::contentOf(TrackSystems::findFile(file, {})), bytes);
    }

    // The user's folder comes first, then the installed one, then the built-in copy; only a
    // regular file counts, so that a folder or a FIFO of that name neither hides the next place
    // nor blocks the reader.
    void lookUpOrder() {
        QTemporaryDir dir;
        const QStringList folders{dir.filePath(QStringLiteral("user")),
                                  dir.filePath(QStringLiteral("installed"))};
        QVERIFY(QDir().mkpath(folders[0] + "/folder.sfr") && QDir().mkpath(folders[1]));
        for (const QString& path :
             {folders[0] + "/both.sfr", folders[1] + "/both.sfr", folders[1] + "/folder.sfr"})
            QVERIFY(TestHelp::put(path, "1"));
        QCOMPARE(mkfifo(QFile::encodeName(folders[0] + "/fifo.sfr").constData(), 0600), 0);
        QCOMPARE(TrackSystems::findFile("both.sfr", folders), folders[0] + "/both.sfr");
        QCOMPARE(TrackSystems::findFile("folder.sfr", folders), folders[1] + "/folder.sfr");
        QCOMPARE(TrackSystems::findFile("fifo.sfr", folders),
                 QStringLiteral(":/tracksystems/fifo.sfr"));
    }

    // An index line that could lead the look-up elsewhere, or that the menu could not show, is
    // skipped; the others keep their order, whatever the line ends.
    void parseIndex() {
        QStringList files;
        for (const System& s : TrackSystems::parseIndex(
                 "N;Minitrix;n.sfr\r\nHO;Kato;k.sfr\nN; ;e.sfr\r\nH0;A\r\nH0;B;b.sfr;x\r\n\r\n"
                 "H0;A;../a.sfr\nH0;B;/etc/b.sfr\nH0;C;.sfr\nH0;D;d.txt\nG;LGB;g.sfr"))
            files << s.fileName;
        QCOMPARE(files, QStringList({"n.sfr", "g.sfr"}));
    }

private:
    QMap<QString, QList<TrackFile::Row>> m_checked;
    QList<System> m_shipped;
};

QTEST_GUILESS_MAIN(TestTrackSystems)
#include "tst_tracksystems.moc"
