#include "batch/output.h"

#include "records/safeopen.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace zul::batch {

FileSink::FileSink(const QString& fileName)
    : m_name(fileName), m_file(std::make_unique<AtomicFile>(fileName)) {}

// Written through AtomicFile, which keeps the system's reason for a failed write (a full disk, a
// size limit) and never reports a short write as success.
bool FileSink::open() {
    if (m_file && m_file->open()) return true;
    m_error = m_file ? m_file->reason() : QStringLiteral("the output was discarded");
    return false;
}

bool FileSink::write(std::string_view bytes) {
    if (m_file && m_file->write(bytes)) return true;
    m_error = m_file ? m_file->reason() : QStringLiteral("the output was discarded");
    return false;
}

bool FileSink::commit() {
    if (m_file && m_file->commit().isEmpty()) return true;
    m_error = m_file ? m_file->reason() : QStringLiteral("the output was discarded");
    return false;
}

void FileSink::discard() {
    m_file.reset(); // an uncommitted AtomicFile removes its temporary file
}

QString FileSink::error() const {
    return m_error;
}

bool StdoutSink::write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size()) return true;
    m_error = "standard output could not be written";
    return false;
}

bool StdoutSink::commit() {
    if (std::fflush(stdout) == 0) return true;
    m_error = "standard output could not be written";
    return false;
}

bool endsInsideLine(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) return false;
    char last = 0;
    if (!file.seek(file.size() - 1) || !file.getChar(&last)) return false;
    return last != '\n' && last != '\r';
}

PaletteAppender::PaletteAppender(const QString& fileName) : m_name(fileName) {}

bool PaletteAppender::open() {
    m_lock = std::make_unique<PaletteLock>(m_name);
    if (!m_lock->acquire()) {
        m_error = m_lock->busyMessage();
        m_lock.reset();
        return false;
    }
    // Opened once, through its folder, and checked by its descriptor (see openForAppend).
    m_target = openForAppend(m_name);
    if (!m_target.ok()) {
        m_error = m_target.error;
        m_lock.reset();
        return false;
    }
    m_startSize = m_target.place.existing.st_size;
    char last = '\n';
    m_repair = m_target.readable && m_startSize > 0 &&
               ::pread(m_target.fd.get(), &last, 1, m_startSize - 1) == 1 && last != '\n' &&
               last != '\r';
    return true;
}

bool PaletteAppender::write(std::string_view bytes) {
    if (bytes.empty()) return true;
    if (!m_target.fd.isOpen()) {
        m_error = QStringLiteral("the file is not open");
        return false;
    }
    struct stat st {};
    const qint64 before = ::fstat(m_target.fd.get(), &st) == 0 ? st.st_size : m_startSize;
    std::string block;
    if (m_repair) block = "\r\n";
    block.append(bytes);
    m_error = writeAll(m_target.fd.get(), block.data(), static_cast<qint64>(block.size()));
    if (!m_error.isEmpty()) {
        [[maybe_unused]] const int cut = ::ftruncate(m_target.fd.get(), before); // whole lines only
        return false;
    }
    m_repair = false;
    return true;
}

bool PaletteAppender::commit() {
    m_target.fd.reset();
    m_lock.reset();
    return true;
}

void PaletteAppender::discard() {
    if (!m_target.fd.isOpen()) return;
    [[maybe_unused]] const int cut = ::ftruncate(m_target.fd.get(), m_startSize);
    if (m_startSize == 0) removeCreated(m_target);
    m_target.fd.reset();
    m_lock.reset();
}

} // namespace zul::batch
