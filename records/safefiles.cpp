#include "records/safefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

namespace {

LinkOwner& linkOwnerHook() {
    static LinkOwner hook;
    return hook;
}

std::optional<uid_t> ownerOfLink(const QString& path) {
    if (const LinkOwner& hook = linkOwnerHook()) return hook(path);
    return systemLinkOwner()(path);
}

QString quoted(const QString& fileName) {
    return '"' + fileName + '"';
}

// Symbolic links followed one after another before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

} // namespace

bool followsLink(bool stickyWorldWritableFolder, uid_t linkOwner, uid_t folderOwner, uid_t user) {
    return !stickyWorldWritableFolder || linkOwner == user || linkOwner == folderOwner;
}

LinkOwner systemLinkOwner() {
    return [](const QString& path) -> std::optional<uid_t> {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
        return st.st_uid;
    };
}

void setLinkOwnerForTesting(LinkOwner owner) {
    linkOwnerHook() = std::move(owner);
}

std::optional<uid_t> linkOwnerOverride(const QString& path) {
    if (const LinkOwner& hook = linkOwnerHook()) return hook(path);
    return std::nullopt;
}

QString refusedOutputLink(const QString& fileName) {
    QString path = QFileInfo(fileName).absoluteFilePath();
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        const QFileInfo link(path);
        if (!link.isSymLink()) return {};
        const QString folder = link.absolutePath();
        struct stat dir {};
        if (::stat(QFile::encodeName(folder).constData(), &dir) != 0) return {};
        const bool sticky = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
        const std::optional<uid_t> owner = ownerOfLink(path);
        if (owner && !followsLink(sticky, *owner, dir.st_uid, ::geteuid()))
            return quoted(fileName) + " is a link owned by another user; nothing was written";
        const QString target = link.symLinkTarget();
        if (target.isEmpty()) return {};
        path = QDir(folder).absoluteFilePath(target);
    }
    return {};
}

bool isSpecialFile(const QString& fileName) {
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0) return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

QString notRegularFile(const QString& fileName) {
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    return quoted(fileName) + " is not a regular file";
}

FileBytes readRegularFile(const QString& fileName, qint64 limit) {
    FileBytes result;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the check below refuses it anyway.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.error = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = quoted(fileName) + " is not a regular file";
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.error = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (got == 0) break;
        if (result.bytes.size() + got > limit) {
            result.error =
                quoted(fileName) + " is larger than " + QString::number(limit) + " bytes";
            break;
        }
        result.bytes.append(buffer, got);
    }
    ::close(fd);
    if (!result.ok()) result.bytes.clear();
    return result;
}

bool hasCgatsInclude(std::string_view cgats) {
    // Anywhere, not only where the parser would take it as a keyword: a refusal too many costs
    // a file with ".include" in a comment, one too few reads a file the user never named.
    constexpr std::string_view keyword = ".include";
    if (cgats.size() < keyword.size()) return false;
    for (std::size_t i = 0; i + keyword.size() <= cgats.size(); ++i) {
        if (cgats[i] != '.') continue;
        std::size_t k = 1;
        while (k < keyword.size() &&
               std::tolower(static_cast<unsigned char>(cgats[i + k])) == keyword[k])
            ++k;
        if (k == keyword.size()) return true;
    }
    return false;
}

} // namespace zul
