#include "records/atomicfile.h"

#include "records/safefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

namespace {

// The reason alone of a refusal that names the file: `"F" is a link owned by another user;
// nothing was written` gives "it is a link owned by another user".
QString refusalReason(const QString& message) {
    const qsizetype close = message.indexOf('"', 1);
    QString reason = message.mid(close + 2);
    reason.chop(qsizetype(std::strlen("; nothing was written")));
    return "it " + reason;
}

} // namespace

AtomicFile::AtomicFile(const QString& fileName) : m_name(fileName) {}

AtomicFile::~AtomicFile() {
    close(); // without commit(): the temporary file goes
}

void AtomicFile::close() {
    if (m_device.isOpen()) m_device.close();
    if (!m_tempName.isEmpty() && m_place.folder.isOpen())
        ::unlinkat(m_place.folder.get(), m_tempName.constData(), 0);
    m_tempName.clear();
    m_fd.reset();
}

void AtomicFile::failWith(const QString& message, const QString& reason) {
    if (!m_error.isEmpty()) return;
    m_error = message;
    m_reason = reason;
    close();
}

QIODevice& AtomicFile::device() {
    return m_device;
}

void AtomicFile::fail(const QString& reason) {
    if (!m_error.isEmpty()) return;
    m_reason = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    const bool existed = QFileInfo::exists(m_name);
    m_error = QStringLiteral("Could not write \"%1\": %2. %3")
                  .arg(m_name, m_reason,
                       existed ? QStringLiteral("The file was left as it was.")
                               : QStringLiteral("Nothing was written."));
    close();
}

bool AtomicFile::open() {
    if (m_name.isEmpty()) {
        fail(QStringLiteral("no file name"));
        return false;
    }
    m_place = placeOutput(m_name);
    if (!m_place.ok()) {
        // A refusal is a whole sentence that names the file; a system failure is a reason.
        if (m_place.error.startsWith('"'))
            failWith(m_place.error, refusalReason(m_place.error));
        else
            fail(m_place.error);
        return false;
    }
    if (m_place.exists && S_ISDIR(m_place.existing.st_mode)) {
        fail(systemReason(EISDIR));
        return false;
    }
    if (m_place.exists && (!S_ISREG(m_place.existing.st_mode) || m_place.descriptor)) {
        // Written in place: a rename would replace the FIFO or the device with a regular file.
        QString refused;
        m_fd = openStreamInPlace(m_place, refused);
        if (!m_fd.isOpen()) {
            if (refused.startsWith('"'))
                failWith(refused, refusalReason(refused));
            else
                fail(refused);
            return false;
        }
        m_stream = true;
    } else if (!openTemporary()) {
        return false;
    }
    if (!m_device.open(m_fd.get(), QIODevice::WriteOnly | QIODevice::Unbuffered,
                       QFileDevice::DontCloseHandle)) {
        fail(m_device.errorString());
        return false;
    }
    return true;
}

bool AtomicFile::openTemporary() {
    const int folder = m_place.folder.get();
    // Unnamed until it is whole: a crash leaves nothing behind. Where the file system cannot make
    // one, a name of its own that nothing else has (O_EXCL makes it new, never through a link).
    m_fd.reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!m_fd.isOpen() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        for (int attempt = 0; attempt < 100 && !m_fd.isOpen(); ++attempt) {
            const QByteArray name =
                m_place.leaf + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            m_fd.reset(::openat(folder, name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (m_fd.isOpen())
                m_tempName = name;
            else if (errno != EEXIST)
                break;
        }
    }
    if (!m_fd.isOpen()) {
        fail(systemReason(errno));
        return false;
    }
    if (m_place.exists && ::fchmod(m_fd.get(), m_place.existing.st_mode & 07777) != 0) {
        fail(systemReason(errno));
        return false;
    }
    return true;
}

// Gives the written file the target's name in the folder opened at the start: linked there when
// the name is free (which fails if anything took it meanwhile), otherwise renamed over the old
// file. Neither follows a link that may have been put in its place.
bool AtomicFile::publish() {
    const int folder = m_place.folder.get();
    if (const QString refused = recheckOutput(m_place); !refused.isEmpty()) {
        failWith(refused, refusalReason(refused));
        return false;
    }
    if (m_tempName.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd.get());
        // Through /proc first: linking by the descriptor itself wants a capability that users
        // lack. Where there is no /proc, the second way; the first way's reason stands otherwise.
        const auto linkTo = [&](const QByteArray& name) {
            if (::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) ==
                0)
                return true;
            const int first = errno;
            if (first != ENOENT) return false;
            if (::linkat(m_fd.get(), "", folder, name.constData(), AT_EMPTY_PATH) == 0) return true;
            if (errno == ENOENT) errno = first;
            return false;
        };
        if (!m_place.exists && linkTo(m_place.leaf)) return true;
        if (errno != EEXIST && !m_place.exists) {
            fail(systemReason(errno));
            return false;
        }
        for (int attempt = 0; attempt < 100 && m_tempName.isEmpty(); ++attempt) {
            const QByteArray name =
                m_place.leaf + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            if (linkTo(name))
                m_tempName = name;
            else if (errno != EEXIST)
                break;
        }
        if (m_tempName.isEmpty()) {
            fail(systemReason(errno));
            return false;
        }
    }
    if (::renameat(folder, m_tempName.constData(), folder, m_place.leaf.constData()) != 0) {
        fail(systemReason(errno));
        return false;
    }
    m_tempName.clear();
    return true;
}

bool AtomicFile::write(const QByteArray& bytes) {
    return write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool AtomicFile::write(std::string_view bytes) {
    if (!m_error.isEmpty()) return false;
    if (!m_fd.isOpen()) {
        fail(QStringLiteral("the file is not open"));
        return false;
    }
    const auto size = static_cast<qsizetype>(bytes.size());
    if (m_buffer.size() + size < kBufferSize) {
        m_buffer.append(bytes.data(), size);
        return true;
    }
    // A batch's worth goes out as it is, after what is held, without a copy.
    if (!m_buffer.isEmpty() && !flushBuffer()) return false;
    if (size < kBufferSize) {
        m_buffer.append(bytes.data(), size);
        return true;
    }
    return written(writeAll(m_fd.get(), bytes.data(), size));
}

bool AtomicFile::flushBuffer() {
    const QString reason = writeAll(m_fd.get(), m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0); // keeps its capacity for the next writes
    return written(reason);
}

bool AtomicFile::written(const QString& reason) {
    if (reason.isEmpty()) return true;
    fail(reason);
    return false;
}

QString AtomicFile::commit() {
    if (!m_error.isEmpty()) return m_error;
    if (!m_fd.isOpen()) {
        fail(QStringLiteral("the file is not open"));
        return m_error;
    }
    if (!flushBuffer()) return m_error;
    if (m_device.error() != QFileDevice::NoError) {
        fail(m_device.errorString());
        return m_error;
    }
    if (!m_stream) {
        if (::fsync(m_fd.get()) != 0) {
            fail(systemReason(errno));
            return m_error;
        }
        if (!publish()) return m_error;
    }
    close();
    return m_error;
}

QString writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return QString::fromLocal8Bit(std::strerror(errno));
        }
        data += n;
        size -= n;
    }
    return {};
}

QString writeFileAtomically(const QString& fileName, const QByteArray& content) {
    AtomicFile file(fileName);
    if (!file.open()) return file.error();
    file.write(content);
    return file.commit();
}

QString wholePath(const QString& fileName) {
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

} // namespace zul
