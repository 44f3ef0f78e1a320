// Reading only regular files of bounded size, and writing so that a failure keeps the old file.
#include "datarow.h"
#include "filefaults.h"
#include "safefile.h"

#include <QtTest>

#include <cerrno>
#include <optional>

#include <sys/stat.h>

class TestSafeFile : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        dataColumns<QString, qint64, bool>({"path", "maxBytes", "ok"});
        dataRow("regular file as large as allowed", "plain.txt", qint64(7), true);
        dataRow("a byte beyond the bound", "plain.txt", qint64(6), false);
        dataRow("FIFO without a writer", "fifo", SafeFile::DefaultMaxBytes, false);
        dataRow("endless device", "/dev/zero", SafeFile::DefaultMaxBytes, false);
    }
    void reading() {
        QFETCH(QString, path);
        QFETCH(qint64, maxBytes);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        QVERIFY(TestHelp::put(dir.filePath(QStringLiteral("plain.txt")), "Gleis\r\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
        QByteArray data("stale");
        QString error;
        QCOMPARE(
            SafeFile::readFile(QDir(dir.path()).absoluteFilePath(path), &data, &error, maxBytes),
            ok);
        QCOMPARE(error.isEmpty(), ok);
        QCOMPARE(data, ok ? QByteArray("Gleis\r\n") : QByteArray());
    }

    // A file that fails late, with the system's reason: the kernel's full device only on the
    // flush, some disks only when the data are synced. The system's own sync: a device that
    // cannot sync is no failure, a bad handle is.
    void failingLate() {
        QTemporaryDir dir;
        QFile full(QStringLiteral("/dev/full"));
        QFile file(dir.filePath(QStringLiteral("sync.sfr")));
        QFile null(QStringLiteral("/dev/null"));
        QVERIFY(full.open(QIODevice::WriteOnly) && file.open(QIODevice::WriteOnly) &&
                null.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY(!SafeFile::writeChecked(full, "x", &error));
        QCOMPARE(error, qt_error_string(ENOSPC));
        QVERIFY(!SafeFile::writeChecked(file, "x", &error, [](int) { return int(EIO); }));
        QCOMPARE(error, qt_error_string(EIO));
        QCOMPARE(SafeFile::syncToDisk(null.handle()), 0);
        QCOMPARE(SafeFile::syncToDisk(-1), EBADF);
    }

    // A save that fails leaves the old file byte for byte and no temporary file; one that works
    // replaces it. A file-size limit stops the writing midway, as a full disk does.
    void writing_data() {
        QTest::addColumn<QString>("fault");
        dataRow("none", "");
        dataRow("file size limit in the middle", "limit");
        dataRow("FIFO in the way", "fifo");
    }
    void writing() {
        QFETCH(QString, fault);
        QTemporaryDir own;
        const QString old = own.filePath(QStringLiteral("alt.sfr"));
        QVERIFY(TestHelp::put(old, "alt"));
        const QString path = fault == QLatin1String("fifo") ? own.filePath("pipe") : old;
        QVERIFY(path == old || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const QStringList before = QDir(own.path()).entryList(QDir::AllEntries | QDir::Hidden);
        const QByteArray data(64 * 1024, 'n'); // beyond what the file buffers
        QString error;
        std::optional<TestHelp::FileSizeLimit> limit;
        if (fault == QLatin1String("limit")) {
            limit.emplace(100);
            std::signal(SIGXFSZ, SIG_DFL); // the writer itself must keep the signal off
        }
        const bool written = SafeFile::writeFile(path, data, &error);
        limit.reset();
        const bool ok = fault.isEmpty();
        QCOMPARE(written, ok);
        QCOMPARE(error.isEmpty(), ok);
        QCOMPARE(TestHelp::contentOf(old), ok ? data : QByteArray("alt"));
        QCOMPARE(QDir(own.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(QFileInfo(path).isFile(), path == old); // what was in the way stays
    }
};

QTEST_APPLESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
