#include "batch/output.h"

#include "records/safefiles.h"

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

PaletteAppender::PaletteAppender(const QString& fileName) : m_file(fileName) {}

bool PaletteAppender::open() {
    m_error = refusedOutputLink(m_file.fileName());
    if (!m_error.isEmpty()) return false;
    m_lock = std::make_unique<PaletteLock>(m_file.fileName());
    if (!m_lock->acquire()) {
        m_error = m_lock->busyMessage();
        m_lock.reset();
        return false;
    }
    m_existed = m_file.exists();
    m_repair = endsInsideLine(m_file.fileName());
    // Unbuffered: a failed write leaves nothing in a buffer to reach the file later.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    m_startSize = m_file.size();
    return true;
}

bool PaletteAppender::write(std::string_view bytes) {
    if (bytes.empty()) return true;
    const qint64 before = m_file.size();
    std::string block;
    if (m_repair) block = "\r\n";
    block.append(bytes);
    const auto n = static_cast<qint64>(block.size());
    if (m_file.write(block.data(), n) != n) {
        m_error = m_file.errorString();
        m_file.resize(before); // whole lines or nothing
        return false;
    }
    m_repair = false;
    return true;
}

bool PaletteAppender::commit() {
    m_file.close();
    m_lock.reset();
    return true;
}

void PaletteAppender::discard() {
    if (!m_file.isOpen()) return;
    m_file.resize(m_startSize);
    m_file.close();
    if (!m_existed && m_startSize == 0) m_file.remove();
    m_lock.reset();
}

} // namespace zul::batch
