#include "records/filelock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

namespace {

QByteArray programName(qint64 pid) {
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    QByteArray name = QFile::encodeName(QFileInfo(exe).fileName());
    if (name.endsWith(" (deleted)")) name.chop(10);
    return name;
}

QByteArray ownProgram() {
    return programName(::getpid());
}

QByteArray lockContent() {
    return QByteArray::number(::getpid()) + '\n' + ownProgram() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n';
}

enum class Holder { Alive, Gone, Unknown };

// What the lock's lines say of its holder.
Holder holderOf(const QByteArray& content) {
    const QList<QByteArray> lines = content.split('\n');
    if (lines.size() < 3) return Holder::Unknown;
    bool ok = false;
    const qint64 pid = lines[0].toLongLong(&ok);
    if (!ok || pid <= 0 || lines[2] != QSysInfo::machineHostName().toUtf8()) return Holder::Unknown;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return Holder::Gone;
    const QByteArray running = programName(pid);
    // Another user's process shows no program: taken as alive.
    if (!running.isEmpty() && running != lines[1]) return Holder::Gone; // the id was reused
    return Holder::Alive;
}

qint64 ageMs(const struct stat& st) {
    const qint64 modified =
        static_cast<qint64>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return QDateTime::currentMSecsSinceEpoch() - modified;
}

} // namespace

FileLock::State FileLock::tryLock() {
    if (m_fd.isOpen()) return State::Locked;
    const QByteArray path = QFile::encodeName(m_name);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : path.left(slash);
    m_leaf = path.mid(slash + 1);
    m_folder.reset(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!m_folder.isOpen()) return State::Impossible;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // O_EXCL: made here and now, never through a link or over anything that is there.
        m_fd.reset(::openat(m_folder.get(), m_leaf.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (m_fd.isOpen()) {
            // Another waiter may be looking at the new file for a moment and hold its flock;
            // the lock then holds by its content and its age, as it does on a full disk.
            ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
            const QByteArray content = lockContent();
            [[maybe_unused]] const ssize_t written =
                ::write(m_fd.get(), content.constData(), static_cast<std::size_t>(content.size()));
            return State::Locked;
        }
        if (errno != EEXIST) return State::Impossible;
        if (!takeOverStale(m_folder.get(), m_leaf)) return State::Busy;
    }
    return State::Busy;
}

bool FileLock::takeOverStale(int folder, const QByteArray& leaf) {
    struct stat named {};
    if (::fstatat(folder, leaf.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT; // gone meanwhile: try again
    // Non-blocking: a FIFO planted as the lock must not stop the program.
    FileHandle fd(::openat(folder, leaf.constData(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    // Gone meanwhile (taken over by another waiter, who may hold it now): look again, never
    // judge a new lock by the old one's age.
    if (!fd.isOpen() && errno == ENOENT) return true;
    QByteArray content;
    struct stat st = named;
    if (fd.isOpen()) {
        // Held by a live holder: busy. Taken by us: no other program removes it meanwhile.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
        if (::fstat(fd.get(), &st) != 0 || st.st_ino != named.st_ino || st.st_dev != named.st_dev)
            return false;
        if (S_ISREG(st.st_mode)) {
            content.resize(256);
            const ssize_t got = ::read(fd.get(), content.data(), 256);
            content.truncate(got > 0 ? got : 0);
        }
    }
    const Holder holder = S_ISREG(st.st_mode) ? holderOf(content) : Holder::Unknown;
    if (holder == Holder::Alive) return false;
    if (holder == Holder::Unknown && std::abs(ageMs(st)) < kStaleAgeMs) return false;
    struct stat now {};
    if (::fstatat(folder, leaf.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        now.st_ino != named.st_ino || now.st_dev != named.st_dev)
        return false;
    // Another user's lock in a shared folder cannot be removed: it stays busy.
    return ::unlinkat(folder, leaf.constData(), 0) == 0;
}

void FileLock::unlock() {
    if (!m_fd.isOpen()) return;
    struct stat mine {
    }, named{};
    if (::fstat(m_fd.get(), &mine) == 0 &&
        ::fstatat(m_folder.get(), m_leaf.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
        ::unlinkat(m_folder.get(), m_leaf.constData(), 0);
    m_fd.reset();
}

} // namespace zul
