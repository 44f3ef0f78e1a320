#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reading and writing whole files so that nothing is lost and nothing hangs: every reader of
// the program takes only regular files, never blocks on a FIFO or a device, and stops after a
// bounded number of bytes; every writer replaces its file atomically and only when every write,
// the flush and the sync went through. Error texts are German and end with a full stop.
namespace SafeFile {

// Far above any file the program writes itself (a track file holds at most about 4 MB).
constexpr qint64 DefaultMaxBytes = 16 * 1024 * 1024;

// Reads the whole regular file at path (or a Qt resource ":/...") into *data. Refuses, without
// opening it, anything that is not a regular file (folder, FIFO, device, socket), checks the type
// again on the opened descriptor, and refuses a file of more than maxBytes bytes. Returns false
// with the reason in *error (when given); *data is then empty.
bool readFile(const QString& path, QByteArray* data, QString* error,
              qint64 maxBytes = DefaultMaxBytes);

// Replaces the file at path by data atomically: the bytes go to a temporary file beside it, which
// takes the place of the old file only after every write, the flush and the sync succeeded.
// On any failure the old file stays byte for byte and the reason is returned in *error.
// An existing path that is not a regular file (a device, a FIFO, a folder) is refused.
bool writeFile(const QString& path, const QByteArray& data, QString* error);

// Brings what was written to an open descriptor onto the disk: 0, or the system's error number.
using SyncFunction = int (*)(int fd);
int syncToDisk(int fd);

// The checked writing step of writeFile on any open device: writes all of data, then flushes a
// file device and syncs it to the disk with sync. False with the reason at the first failure.
// Tests hand it a failing device (/dev/full, a device that refuses after some bytes) or sync.
bool writeChecked(QIODevice& device, const QByteArray& data, QString* error,
                  SyncFunction sync = syncToDisk);

} // namespace SafeFile
