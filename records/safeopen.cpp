#include "records/safeopen.h"

#include "records/safefiles.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace zul {

namespace {

constexpr int kMaxLinks = 40; // as the kernel gives up

QString quoted(const QString& fileName) {
    return '"' + fileName + '"';
}

// `path` split at its last slash: the folder ("." or "/" when there is none) and the last name.
std::pair<QByteArray, QByteArray> splitPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return {".", path};
    return {slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

bool foreignName(const OutputPlace& place, uid_t owner) {
    return !followsLink(place.sharedFolder, owner, place.folderOwner, ::geteuid());
}

// A folder of the process file system: /proc/self/fd and its kin.
bool isDescriptorFolder(int folder) {
    struct statfs fs {};
    return ::fstatfs(folder, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

QString linkRefusal(const QString& shown) {
    return quoted(shown) + " is a link owned by another user; nothing was written";
}

} // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
}

int FileHandle::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void FileHandle::reset(int fd) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

OutputPlace placeOutput(const QString& fileName) {
    OutputPlace place;
    place.shown = fileName;
    QByteArray path = QFile::encodeName(fileName);
    FileHandle base; // the folder a relative link target starts from; the working folder at first
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        auto [folder, leaf] = splitPath(path);
        if (leaf.isEmpty() || leaf == "." || leaf == "..") {
            place.error = systemReason(EISDIR);
            return place;
        }
        place.folder.reset(::openat(base.isOpen() ? base.get() : AT_FDCWD, folder.constData(),
                                    O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!place.folder.isOpen()) {
            place.error = systemReason(errno);
            return place;
        }
        struct stat dir {};
        if (::fstat(place.folder.get(), &dir) != 0) {
            place.error = systemReason(errno);
            return place;
        }
        place.sharedFolder = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
        place.folderOwner = dir.st_uid;
        place.leaf = leaf;
        struct stat st {};
        if (::fstatat(place.folder.get(), leaf.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) place.error = systemReason(errno);
            place.exists = false;
            return place;
        }
        if (!S_ISLNK(st.st_mode)) {
            place.exists = true;
            place.existing = st;
            if (foreignName(place, st.st_uid))
                place.error = quoted(fileName) + " belongs to another user; nothing was written";
            return place;
        }
        if (isDescriptorFolder(place.folder.get())) {
            // /proc/PID/fd/N names an open file (a pipe, a terminal, the file the shell
            // redirected to) by a link that cannot be read as a path: what it leads to is the
            // output, written in place. Only the process itself and its user see these links.
            if (::fstatat(place.folder.get(), leaf.constData(), &st, 0) != 0) {
                place.error = systemReason(errno);
                return place;
            }
            place.exists = true;
            place.existing = st;
            place.descriptor = true;
            return place;
        }
        const std::optional<uid_t> owner = linkOwnerOverride(QFile::decodeName(path));
        if (foreignName(place, owner.value_or(st.st_uid))) {
            place.error = linkRefusal(fileName);
            return place;
        }
        QByteArray target(4096, '\0');
        const ssize_t n = ::readlinkat(place.folder.get(), leaf.constData(), target.data(),
                                       static_cast<std::size_t>(target.size()));
        if (n < 0 || n >= target.size()) {
            place.error = systemReason(n < 0 ? errno : ENAMETOOLONG);
            return place;
        }
        target.truncate(n);
        path = target;
        base = std::move(place.folder);
    }
    place.error = systemReason(ELOOP);
    return place;
}

QString recheckOutput(const OutputPlace& place) {
    struct stat st {};
    if (::fstatat(place.folder.get(), place.leaf.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    if (S_ISLNK(st.st_mode)) {
        const QString path = QFile::decodeName(place.leaf);
        if (foreignName(place, linkOwnerOverride(path).value_or(st.st_uid)))
            return linkRefusal(place.shown);
        return {};
    }
    return refusedDescriptor(place, st, false);
}

QString refusedDescriptor(const OutputPlace& place, const struct stat& st, bool regularOnly) {
    if (foreignName(place, st.st_uid))
        return quoted(place.shown) + " belongs to another user; nothing was written";
    if (regularOnly && !S_ISREG(st.st_mode))
        return quoted(place.shown) + " is not a regular file; nothing was written";
    // Another name for the same file, made in a shared folder, would let a neighbour point the
    // append at any file of the user's on the same disk.
    if (regularOnly && place.sharedFolder && st.st_nlink > 1)
        return quoted(place.shown) + " has other names (hard links); nothing was written";
    return {};
}

FileHandle openStreamInPlace(const OutputPlace& place, QString& error) {
    const int follow = place.descriptor ? 0 : O_NOFOLLOW;
    FileHandle fd(::openat(place.folder.get(), place.leaf.constData(),
                           O_WRONLY | follow | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isOpen()) {
        error = errno == ENXIO && S_ISFIFO(place.existing.st_mode)
                    ? quoted(place.shown) + " is a FIFO that no program reads; nothing was written"
                    : systemReason(errno);
        return fd;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = systemReason(errno);
        fd.reset();
        return fd;
    }
    if ((S_ISREG(st.st_mode) && !place.descriptor) || st.st_ino != place.existing.st_ino ||
        st.st_dev != place.existing.st_dev) {
        error = quoted(place.shown) + " changed while it was opened; nothing was written";
        fd.reset();
        return fd;
    }
    if (error = refusedDescriptor(place, st, false); !error.isEmpty()) {
        fd.reset();
        return fd;
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

AppendTarget openForAppend(const QString& fileName) {
    AppendTarget t;
    // A name that changes between the look and the open (made, removed, a link put in its place)
    // is looked at again; a few times at most.
    for (int attempt = 0; attempt < 3; ++attempt) {
        t.place = placeOutput(fileName);
        if (!t.place.ok()) {
            t.error = t.place.error;
            return t;
        }
        if (t.place.exists && !S_ISREG(t.place.existing.st_mode)) {
            t.error = refusedDescriptor(t.place, t.place.existing, true);
            return t;
        }
        const int create = t.place.exists ? 0 : O_CREAT | O_EXCL;
        const int flags = O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | create;
        int fd = ::openat(t.place.folder.get(), t.place.leaf.constData(), O_RDWR | flags, 0666);
        t.readable = fd >= 0;
        if (fd < 0 && errno == EACCES)
            fd = ::openat(t.place.folder.get(), t.place.leaf.constData(), O_WRONLY | flags, 0666);
        if (fd < 0 && (errno == EEXIST || errno == ENOENT || errno == ELOOP)) continue;
        if (fd < 0) {
            t.error = systemReason(errno);
            return t;
        }
        t.fd.reset(fd);
        t.created = create != 0;
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            t.error = systemReason(errno);
        } else {
            t.place.existing = st;
            t.error = refusedDescriptor(t.place, st, true);
        }
        if (!t.error.isEmpty()) {
            t.fd.reset();
            return t;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return t;
    }
    t.error = quoted(fileName) + " kept changing while it was opened; nothing was written";
    return t;
}

void removeCreated(const AppendTarget& target) {
    if (!target.created || !target.place.folder.isOpen()) return;
    struct stat now {};
    if (::fstatat(target.place.folder.get(), target.place.leaf.constData(), &now,
                  AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (now.st_ino == target.place.existing.st_ino && now.st_dev == target.place.existing.st_dev)
        ::unlinkat(target.place.folder.get(), target.place.leaf.constData(), 0);
}

} // namespace zul
