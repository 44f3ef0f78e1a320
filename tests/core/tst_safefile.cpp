// Reading only regular files of bounded size, and writing so that a failure keeps the old file.
#include "filefaults.h"
#include "safefile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A device that takes a few bytes and then refuses, like a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (m_room <= 0) {
            setErrorString(QStringLiteral("Auf dem Gerät ist kein Speicherplatz mehr frei."));
            return -1;
        }
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
    void init() { QVERIFY(dir.isValid()); }
    void readsOnlyRegularFiles_data();
    void readsOnlyRegularFiles();
    void readingIsBounded();
    void failingDevicesAreReported_data();
    void failingDevicesAreReported();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void writeReplacesTheFile();
    void specialFilesAreNeverReplaced();
    void readOnlyFolder();

private:
    QTemporaryDir dir;
};

void TestSafeFile::readsOnlyRegularFiles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::newRow("regular file") << "plain.txt" << true;
    QTest::newRow("FIFO without a writer") << "fifo" << false;
    QTest::newRow("symbolic link to a FIFO") << "link-to-fifo" << false;
    QTest::newRow("endless device") << "/dev/zero" << false;
    QTest::newRow("folder") << "." << false;
    QTest::newRow("missing") << "missing.txt" << false;
    QTest::newRow("no name") << "" << false;
}

void TestSafeFile::readsOnlyRegularFiles() {
    QFETCH(QString, path);
    QFETCH(bool, ok);
    put(dir.filePath(QStringLiteral("plain.txt")), "Gleis\r\n");
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(QFile::link(fifo, dir.filePath(QStringLiteral("link-to-fifo"))));
    const QString full =
        path.isEmpty() || path.startsWith(QLatin1Char('/')) ? path : dir.filePath(path);
    QByteArray data("stale");
    QString error;
    QCOMPARE(SafeFile::readFile(full, &data, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    if (ok)
        QVERIFY(!data.isEmpty());
    else
        QVERIFY(data.isEmpty());
    QFile::remove(fifo);
    QFile::remove(dir.filePath(QStringLiteral("link-to-fifo")));
}

void TestSafeFile::readingIsBounded() {
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    put(path, QByteArray(1001, 'x'));
    QByteArray data;
    QString error;
    QVERIFY(SafeFile::readFile(path, &data, &error, 1001));
    QCOMPARE(data.size(), 1001);
    QVERIFY(!SafeFile::readFile(path, &data, &error, 1000));
    QCOMPARE(error, QStringLiteral("Die Datei ist zu groß (mehr als 1.000 Bytes)."));
    QVERIFY(data.isEmpty());
}

void TestSafeFile::failingDevicesAreReported_data() {
    QTest::addColumn<int>("room");
    QTest::addColumn<int>("size");
    QTest::newRow("full from the start") << 0 << 10;
    QTest::newRow("fills up midway") << 5 << 10;
    QTest::newRow("just enough room") << 10 << 10;
}

void TestSafeFile::failingDevicesAreReported() {
    QFETCH(int, room);
    QFETCH(int, size);
    FillingDevice device(room);
    QString error;
    const bool fits = room >= size;
    QCOMPARE(SafeFile::writeChecked(device, QByteArray(size, 'x'), &error), fits);
    QCOMPARE(error.isEmpty(), fits);
    // The kernel's full device takes a buffered write and fails only on the flush.
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("no /dev/full here");
    QVERIFY(!SafeFile::writeChecked(full, QByteArray(size, 'x'), &error));
    QVERIFY(!error.isEmpty());
}

void TestSafeFile::failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<int>("limit");
    QTest::newRow("disk full before the first byte") << 0;
    QTest::newRow("disk full in the middle") << 100;
}

void TestSafeFile::failedWriteKeepsTheOldFile() {
    QFETCH(int, limit);
    QTemporaryDir own;
    const QString path = own.filePath(QStringLiteral("table.sfr"));
    put(path, "old content\r\n");
    QString error;
    bool written = true;
    {
        TestHelp::FileSizeLimit full{rlim_t(limit)};
        // Past the limit the kernel's signal would end the process, unless the writer keeps it off.
        std::signal(SIGXFSZ, SIG_DFL);
        written = SafeFile::writeFile(path, QByteArray(4096, 'n'), &error);
    }
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(contentOf(path), QByteArray("old content\r\n"));
    // No temporary file is left behind.
    QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"table.sfr"});
}

void TestSafeFile::writeReplacesTheFile() {
    const QString path = dir.filePath(QStringLiteral("neu.sfr"));
    QString error;
    QVERIFY(SafeFile::writeFile(path, "eins\r\n", &error));
    QVERIFY(SafeFile::writeFile(path, "zwei\r\n", &error));
    QCOMPARE(contentOf(path), QByteArray("zwei\r\n"));
    QVERIFY(!SafeFile::writeFile(QString(), "x", &error));
    QCOMPARE(error, QStringLiteral("Kein Dateiname angegeben."));
}

void TestSafeFile::specialFilesAreNeverReplaced() {
    const QString fifo = dir.filePath(QStringLiteral("pipe.sfr"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QString error;
    QVERIFY(!SafeFile::writeFile(fifo, "x", &error));
    QVERIFY2(error.contains(QStringLiteral("Pipe")), qPrintable(error));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    QVERIFY(!SafeFile::writeFile(dir.path(), "x", &error));
    QVERIFY(!SafeFile::writeFile(QStringLiteral("/dev/null"), "x", &error));
    QVERIFY(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    QFile::remove(fifo);
}

void TestSafeFile::readOnlyFolder() {
    // Root may write anywhere: it writes here as nobody, for whom the folder is read-only.
    const bool root = geteuid() == 0;
    QTemporaryDir locked;
    const QString path = locked.filePath(QStringLiteral("alt.sfr"));
    put(path, "old\r\n");
    QFile::setPermissions(locked.path(),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QVERIFY(!root || ::seteuid(65534) == 0);
    QString error;
    const bool written = SafeFile::writeFile(path, "new\r\n", &error);
    QVERIFY(!root || ::seteuid(0) == 0);
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(contentOf(path), QByteArray("old\r\n"));
}

QTEST_APPLESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
