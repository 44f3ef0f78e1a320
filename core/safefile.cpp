#include "safefile.h"

#include "germanformat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

const QString NoFileName = QStringLiteral("Kein Dateiname angegeben.");

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

QString systemReason(int code) {
    return qt_error_string(code);
}

// Why a file of this type is not read or replaced.
QString notRegularReason(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("Das ist ein Ordner, keine Datei.");
    if (S_ISFIFO(mode))
        return QStringLiteral("Das ist eine Pipe (FIFO), keine gewöhnliche Datei.");
    return QStringLiteral("Das ist ein Gerät oder eine andere Sonderdatei, keine gewöhnliche "
                          "Datei.");
}

QString tooLargeReason(qint64 maxBytes) {
    return QStringLiteral("Die Datei ist zu groß (mehr als %1 Bytes).")
        .arg(Kern::formatPattern(double(maxBytes), QStringLiteral("#,##0")));
}

// Resources are compiled into the program: nothing there can block or be a device.
bool readResource(const QString& path, QByteArray* data, QString* error, qint64 maxBytes) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        setError(error, systemReason(ENOENT));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.size() > maxBytes) {
        setError(error, tooLargeReason(maxBytes));
        return false;
    }
    *data = file.readAll();
    return true;
}

// Reads to the end of the descriptor, but never more than maxBytes + 1 bytes.
bool readDescriptor(int fd, qint64 sizeHint, qint64 maxBytes, QByteArray* data, QString* error) {
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(sizeHint, maxBytes) + 1));
    char buffer[64 * 1024];
    while (bytes.size() <= maxBytes) {
        const qint64 want = std::min<qint64>(sizeof buffer, maxBytes + 1 - bytes.size());
        const ssize_t got = ::read(fd, buffer, size_t(want));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            setError(error, systemReason(errno));
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    if (bytes.size() > maxBytes) {
        setError(error, tooLargeReason(maxBytes));
        return false;
    }
    *data = std::move(bytes);
    return true;
}

} // namespace

bool readFile(const QString& path, QByteArray* data, QString* error, qint64 maxBytes) {
    data->clear();
    if (path.isEmpty()) {
        setError(error, NoFileName);
        return false;
    }
    if (path.startsWith(QLatin1Char(':')))
        return readResource(path, data, error, maxBytes);

    // The type is checked before opening: opening a FIFO waits for a writer, and opening some
    // devices has effects of its own.
    const QByteArray native = QFile::encodeName(path);
    struct stat before {};
    if (::stat(native.constData(), &before) != 0) {
        setError(error, systemReason(errno));
        return false;
    }
    if (!S_ISREG(before.st_mode)) {
        setError(error, notRegularReason(before.st_mode));
        return false;
    }
    if (before.st_size > maxBytes) {
        setError(error, tooLargeReason(maxBytes));
        return false;
    }
    // The path may have been replaced in between: open without blocking and look again at
    // what was really opened.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, systemReason(errno));
        return false;
    }
    struct stat opened {};
    bool ok = false;
    if (::fstat(fd, &opened) != 0)
        setError(error, systemReason(errno));
    else if (!S_ISREG(opened.st_mode))
        setError(error, notRegularReason(opened.st_mode));
    else
        ok = readDescriptor(fd, qint64(opened.st_size), maxBytes, data, error);
    ::close(fd);
    return ok;
}

int syncToDisk(int fd) {
    if (::fsync(fd) == 0)
        return 0;
    // A device or file system that cannot sync has nothing more to bring to a disk.
    return errno == EINVAL || errno == ENOTSUP ? 0 : errno;
}

bool writeChecked(QIODevice& device, const QByteArray& data, QString* error, SyncFunction sync) {
    auto* file = qobject_cast<QFileDevice*>(&device);
    auto failed = [&] {
        // A file device knows the system's reason; other devices may not say anything useful.
        const bool known =
            file ? file->error() != QFileDevice::NoError : !device.errorString().isEmpty();
        setError(error, known ? device.errorString()
                              : QStringLiteral("Die Daten konnten nicht vollständig "
                                               "geschrieben werden."));
        return false;
    };
    // A write may take only part of the bytes without an error (a disk filling up); writing the
    // rest brings the system's reason.
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = device.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return failed();
        done += n;
    }
    if (!file)
        return true;
    // A file device buffers: a full disk shows only when the buffer goes out.
    if (!file->flush() || file->error() != QFileDevice::NoError)
        return failed();
    // Some file systems report a lack of space only when the data reach the disk.
    const int fd = file->handle();
    if (const int failure = fd >= 0 ? sync(fd) : 0) {
        setError(error, systemReason(failure));
        return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& data, QString* error) {
    if (path.isEmpty()) {
        setError(error, NoFileName);
        return false;
    }
    // Replacing a device or a FIFO by a regular file is never what saving means.
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) == 0 && !S_ISREG(target.st_mode)) {
        setError(error, notRegularReason(target.st_mode));
        return false;
    }
    // Past a file-size limit (ulimit -f) the kernel would end the whole program, and the table
    // on the screen with it; a failed write is reported like a full disk instead.
    std::signal(SIGXFSZ, SIG_IGN);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    // Qt's commit() would put a temporary file over the old one even after a failed buffered
    // write; so nothing is committed unless every step went through.
    if (!writeChecked(file, data, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace SafeFile
