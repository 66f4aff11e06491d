#include "records/atomicfile.h"

#include "records/safefiles.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zul {

AtomicFile::AtomicFile(const QString& fileName) : m_name(fileName), m_file(fileName) {}

AtomicFile::~AtomicFile() {
    if (m_file.isOpen()) m_file.cancelWriting(); // removes the temporary file
}

void AtomicFile::failWith(const QString& message, const QString& reason) {
    if (!m_error.isEmpty()) return;
    m_error = message;
    m_reason = reason;
}

int AtomicFile::handle() {
    return m_stream.isOpen() ? m_stream.handle() : m_file.handle();
}

QIODevice& AtomicFile::device() {
    if (m_stream.isOpen()) return m_stream;
    return m_file;
}

void AtomicFile::fail(const QString& reason) {
    if (!m_error.isEmpty()) return;
    m_reason = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    const bool existed = QFileInfo::exists(m_name);
    m_error = QStringLiteral("Could not write \"%1\": %2. %3")
                  .arg(m_name, m_reason,
                       existed ? QStringLiteral("The file was left as it was.")
                               : QStringLiteral("Nothing was written."));
    if (m_file.isOpen()) m_file.cancelWriting();
    if (m_stream.isOpen()) m_stream.close();
}

bool AtomicFile::open() {
    if (m_name.isEmpty()) {
        fail(QStringLiteral("no file name"));
        return false;
    }
    const QString link = refusedOutputLink(m_name);
    if (!link.isEmpty()) {
        failWith(link, QStringLiteral("it is a link owned by another user"));
        return false;
    }
    if (isSpecialFile(m_name)) {
        // Written in place: a rename would replace the FIFO or the device with a regular file.
        const int fd =
            ::open(QFile::encodeName(m_name).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0 || !m_stream.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                     QFileDevice::AutoCloseHandle)) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            if (fd >= 0) ::close(fd);
            fail(reason);
            return false;
        }
        return true;
    }
    // Unbuffered: the bytes go out through writeAll below, which keeps the system's reason
    // for a failure (a full disk, a size limit) where a buffered device would lose it.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(m_file.errorString());
        return false;
    }
    return true;
}

bool AtomicFile::write(const QByteArray& bytes) {
    return write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool AtomicFile::write(std::string_view bytes) {
    if (!m_error.isEmpty()) return false;
    if (!m_file.isOpen() && !m_stream.isOpen()) {
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
    return written(writeAll(handle(), bytes.data(), size));
}

bool AtomicFile::flushBuffer() {
    const QString reason = writeAll(handle(), m_buffer.constData(), m_buffer.size());
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
    if (!m_file.isOpen() && !m_stream.isOpen()) {
        fail(QStringLiteral("the file is not open"));
        return m_error;
    }
    if (!flushBuffer()) return m_error;
    if (m_stream.isOpen()) {
        if (m_stream.error() != QFileDevice::NoError) fail(m_stream.errorString());
        m_stream.close();
        return m_error;
    }
    if (!m_file.commit()) fail(m_file.errorString());
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
