#include "workbench/atomicfile.h"

#include <QFileInfo>

namespace zul {

AtomicFile::AtomicFile(const QString& fileName) : m_name(fileName), m_file(fileName) {}

AtomicFile::~AtomicFile() {
    if (m_file.isOpen()) m_file.cancelWriting(); // removes the temporary file
}

void AtomicFile::fail(const QString& reason) {
    if (!m_error.isEmpty()) return;
    const bool existed = QFileInfo::exists(m_name);
    m_error = QStringLiteral("Could not write \"%1\": %2. %3")
                  .arg(m_name, reason.isEmpty() ? QStringLiteral("unknown error") : reason,
                       existed ? QStringLiteral("The file was left as it was.")
                               : QStringLiteral("Nothing was written."));
    if (m_file.isOpen()) m_file.cancelWriting();
}

bool AtomicFile::open() {
    if (m_name.isEmpty()) {
        fail(QStringLiteral("no file name"));
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
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
    if (!m_file.isOpen()) {
        fail(QStringLiteral("the file is not open"));
        return false;
    }
    if (m_file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        fail(m_file.errorString());
        return false;
    }
    return true;
}

QString AtomicFile::commit() {
    if (!m_error.isEmpty()) return m_error;
    if (!m_file.isOpen()) {
        fail(QStringLiteral("the file is not open"));
        return m_error;
    }
    // Buffered bytes go out here: a full disk can show only now.
    if (!m_file.commit()) fail(m_file.errorString());
    return m_error;
}

QString writeFileAtomically(const QString& fileName, const QByteArray& content) {
    AtomicFile file(fileName);
    if (!file.open()) return file.error();
    file.write(content);
    return file.commit();
}

} // namespace zul
