#pragma once
// A lock file beside the file it guards ("NAME.lock"), made with O_EXCL in the folder opened once,
// held with flock() on it while the holder lives, and holding the holder's process id, program
// and host, one a line. A lock nobody holds is stale and taken over: at once when it names a
// process of this machine that is gone (or is another program now); after kStaleAgeMs when it
// cannot be read at all (empty, malformed, not a regular file, another machine's), which also
// covers a lock just made whose holder has not yet written it.
#include <QString>

#include "records/safeopen.h"

namespace zul {

class FileLock {
public:
    static constexpr int kStaleAgeMs = 2000;
    enum class State { Locked, Busy, Impossible }; // Impossible: no lock can be made there

    explicit FileLock(const QString& lockFileName) : m_name(lockFileName) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State tryLock();
    void unlock();
    const QString& fileName() const { return m_name; }

private:
    bool takeOverStale(int folder, const QByteArray& leaf);

    QString m_name;
    FileHandle m_folder;
    QByteArray m_leaf;
    FileHandle m_fd;
};

} // namespace zul
