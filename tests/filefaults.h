#pragma once

// Files for a test to set up and read back, and faults of the environment that a test can cause
// without a special file system.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace TestHelp {

inline bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// While this lives, files of the process may grow only to the given number of bytes: every write
// beyond fails in the kernel (EFBIG), as on a full disk, also for root.
class FileSizeLimit {
public:
    // SIGXFSZ is ignored meanwhile: its default would end the process.
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Root passes every permission check; while this lives, files are checked as for nobody.
struct AsOrdinaryUser {
    const bool root = geteuid() == 0;
    AsOrdinaryUser() {
        if (root) {
            setfsgid(65534);
            setfsuid(65534);
        }
    }
    ~AsOrdinaryUser() {
        if (root) {
            setfsuid(0);
            setfsgid(0);
        }
    }
};

} // namespace TestHelp
