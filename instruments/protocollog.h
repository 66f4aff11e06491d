#pragma once
// Every byte sent and received during an exchange, with time offsets, as readable lines:
//   "   0.000 > R"            bytes sent
//   "   0.012 < CE7000\r\n>"  bytes received
//   "   0.013 - note"         what the exchange did or noticed
// Bytes outside printable ASCII are written as \r, \n or \xHH, so a wrong baud rate or a wrong
// cable shows at once as garbage.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace zul::instruments {

QString escapeBytes(const QByteArray& bytes);

class ProtocolLog {
public:
    using Sink = std::function<void(const QString& line)>;
    void setSink(Sink sink) { m_sink = std::move(sink); }
    // Offsets count from the first entry after start().
    void start(std::int64_t nowMs) { m_start = nowMs; }
    void sent(std::int64_t nowMs, const QByteArray& bytes) { add(nowMs, '>', escapeBytes(bytes)); }
    void received(std::int64_t nowMs, const QByteArray& bytes) {
        add(nowMs, '<', escapeBytes(bytes));
    }
    void note(std::int64_t nowMs, const QString& text) { add(nowMs, '-', text); }
    const QStringList& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    void add(std::int64_t nowMs, char kind, const QString& text);

    Sink m_sink;
    std::int64_t m_start = 0;
    QStringList m_lines;
};

} // namespace zul::instruments
