#include "instruments/protocollog.h"

namespace zul::instruments {

QString escapeBytes(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == '\r')
            out += QStringLiteral("\\r");
        else if (u == '\n')
            out += QStringLiteral("\\n");
        else if (u == '\\')
            out += QStringLiteral("\\\\");
        else if (u >= 0x20 && u < 0x7f)
            out += QChar(u);
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QChar('0'));
    }
    return out;
}

void ProtocolLog::add(std::int64_t nowMs, char kind, const QString& text) {
    const QString line = QStringLiteral("%1 %2 %3")
                             .arg(static_cast<double>(nowMs - m_start) / 1000.0, 8, 'f', 3)
                             .arg(QChar(kind))
                             .arg(text);
    // A long exchange keeps its most recent lines.
    constexpr qsizetype kMaxLines = 5000;
    if (m_lines.size() >= kMaxLines) m_lines.removeFirst();
    m_lines << line;
    if (m_sink) m_sink(line);
}

} // namespace zul::instruments
