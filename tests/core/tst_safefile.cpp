// Reading only regular files of bounded size, and writing so that a failure keeps the old file.
#include "datarow.h"
#include "filefaults.h"
#include "safefile.h"

#include <QtTest>

#include <cerrno>
#include <cstring>
#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>

namespace {

// A device that takes a few bytes and then refuses, like a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (m_room <= 0)
            return -1;
        const qint64 taken = std::min(len, m_room);
        m_room -= taken;
        return taken;
    }

private:
    qint64 m_room;
};

} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(TestHelp::put(m_dir.filePath(QStringLiteral("plain.txt")), "Gleis\r\n"));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo"))).constData(), 0600),
            0);
    }

    void reading_data() {
        dataColumns<QString, qint64, bool>({"path", "maxBytes", "ok"});
        dataRow("regular file as large as allowed", "plain.txt", qint64(7), true);
        dataRow("a byte beyond the bound", "plain.txt", qint64(6), false);
        dataRow("FIFO without a writer", "fifo", SafeFile::DefaultMaxBytes, false);
        dataRow("endless device", "/dev/zero", SafeFile::DefaultMaxBytes, false);
        dataRow("folder", ".", SafeFile::DefaultMaxBytes, false);
        dataRow("missing", "missing.txt", SafeFile::DefaultMaxBytes, false);
        dataRow("no name", "", SafeFile::DefaultMaxBytes, false);
    }
    void reading() {
        QFETCH(QString, path);
        QFETCH(qint64, maxBytes);
        QFETCH(bool, ok);
        const QString full =
            path.isEmpty() || path.startsWith(QLatin1Char('/')) ? path : m_dir.filePath(path);
        QByteArray data("stale");
        QString error;
        QCOMPARE(SafeFile::readFile(full, &data, &error, maxBytes), ok);
        QCOMPARE(error.isEmpty(), ok);
        QCOMPARE(data, ok ? QByteArray("Gleis\r\n") : QByteArray());
    }

    // The checked write on devices that fail: the kernel's full device fails only on the flush.
    void failingDevices_data() {
        QTest::addColumn<int>("room"); // -1: /dev/full (room)
        dataRow("full from the start", 0);
        dataRow("fills up midway", 5);
        dataRow("just enough room", 10);
        dataRow("kernel's full device", -1);
    }
    void failingDevices() {
        QFETCH(int, room);
        FillingDevice filling(std::max(room, 0));
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(room >= 0 || full.open(QIODevice::WriteOnly));
        QString error;
        const bool fits = room >= 10;
        QCOMPARE(SafeFile::writeChecked(room < 0 ? static_cast<QIODevice&>(full) : filling,
                                        QByteArray(10, 'x'), &error),
                 fits);
        QCOMPARE(error.isEmpty(), fits);
    }

    // A disk that reports its trouble only when the data are synced: the write fails with the
    // system's reason.
    void failingSync() {
        QFile file(m_dir.filePath(QStringLiteral("sync.sfr")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY(!SafeFile::writeChecked(file, QByteArray(10, 'x'), &error,
                                        [](int) { return int(EIO); }));
        QCOMPARE(error, qt_error_string(EIO));
        QVERIFY(SafeFile::writeChecked(file, QByteArray(10, 'x'), &error, [](int) { return 0; }));
        // The system's own sync: a device that cannot sync is no failure, a bad handle is.
        QFile null(QStringLiteral("/dev/null"));
        QVERIFY(null.open(QIODevice::WriteOnly));
        QCOMPARE(SafeFile::syncToDisk(null.handle()), 0);
        QCOMPARE(SafeFile::syncToDisk(-1), EBADF);
    }

    // A save that fails leaves the old file byte for byte and no temporary file; one that works
    // replaces it.
    void writing_data() {
        QTest::addColumn<QString>("fault");
        dataRow("none", "");
        dataRow("file size limit in the middle", "limit");
        dataRow("small disk full: the flush fails", "disk full");
        dataRow("read-only folder", "read-only");
        dataRow("FIFO in the way", "fifo");
    }
    void writing() {
        QFETCH(QString, fault);
        QTemporaryDir own;
        const QByteArray disk = QFile::encodeName(own.path());
        const bool smallDisk = fault == QLatin1String("disk full");
        if (smallDisk && ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small file system needs root");
        const auto unmount = qScopeGuard([&] {
            if (smallDisk)
                ::umount(disk.constData());
        });
        const QString old = own.filePath(QStringLiteral("alt.sfr"));
        QVERIFY(TestHelp::put(old, "alt"));
        QString path = old;
        if (fault == QLatin1String("fifo")) {
            path = own.filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (smallDisk) { // filled to the last byte
            QFile filler(own.filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(1024, 'f')) == 1024) {
            }
        }
        const QStringList before = QDir(own.path()).entryList(QDir::AllEntries | QDir::Hidden);
        const QByteArray data(4096, 'n');
        QString error;
        bool written = false;
        {
            std::optional<TestHelp::FileSizeLimit> limit;
            std::optional<TestHelp::AsOrdinaryUser> user;
            if (fault == QLatin1String("limit")) {
                limit.emplace(100);
                std::signal(SIGXFSZ, SIG_DFL); // the writer itself must keep the signal off
            }
            if (fault == QLatin1String("read-only")) {
                QFile::setPermissions(own.path(), QFile::ReadOwner | QFile::ExeOwner);
                user.emplace();
            }
            written = SafeFile::writeFile(path, data, &error);
        }
        QFile::setPermissions(own.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const bool ok = fault.isEmpty();
        QCOMPARE(written, ok);
        QCOMPARE(error.isEmpty(), ok);
        if (smallDisk)
            QCOMPARE(error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
        QCOMPARE(TestHelp::contentOf(old), ok ? data : QByteArray("alt"));
        QCOMPARE(QDir(own.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(QFileInfo(path).isFile(), path == old); // what was in the way stays
    }

private:
    QTemporaryDir m_dir;
};

QTEST_APPLESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
