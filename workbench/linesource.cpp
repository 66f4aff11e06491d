#include "workbench/linesource.h"

#include <algorithm>
#include <utility>

namespace zul {

LineSource::LineSource(const ChunkReader& read, std::size_t chunk)
    : m_read(read), m_buf(chunk < 16 ? 16 : chunk) {}

LineSource::Got LineSource::next(std::string_view& line, long& number, bool mayRead) {
    for (;;) {
        if (m_pos == m_end) {
            if (m_eof) {
                if (!m_pending) return Got::End;
                m_pending = false;
                line = m_partial;
                number = ++m_line;
                return Got::Line;
            }
            if (!mayRead) return Got::NeedsRead;
            refill();
            continue;
        }
        if (std::exchange(m_skipLf, false) && m_buf[m_pos] == '\n') {
            ++m_pos;
            continue;
        }
        const char* begin = m_buf.data() + m_pos;
        const char* end = m_buf.data() + m_end;
        const char* p = begin;
        while (p != end && *p != '\n' && *p != '\r')
            ++p;
        if (p == end) {
            if (!m_pending) m_partial.clear();
            m_partial.append(begin, end);
            m_pending = true;
            m_pos = m_end;
            continue;
        }
        m_pos = static_cast<std::size_t>(p - m_buf.data()) + 1;
        if (*p == '\r') {
            if (m_pos == m_end)
                m_skipLf = true;
            else if (m_buf[m_pos] == '\n')
                ++m_pos;
        }
        if (m_pending) {
            m_pending = false;
            m_partial.append(begin, p);
            line = m_partial;
        } else {
            line = std::string_view(begin, static_cast<std::size_t>(p - begin));
        }
        number = ++m_line;
        return Got::Line;
    }
}

void LineSource::refill() {
    m_pos = 0;
    m_end = m_read(m_buf.data(), m_buf.size());
    if (m_first) {
        // A pipe may hand over the byte order mark in pieces: read on while what came so far is
        // the start of one (input that is not waits for nothing more).
        static constexpr char kBom[] = "\xEF\xBB\xBF";
        const auto bomSoFar = [&] { return std::equal(m_buf.data(), m_buf.data() + m_end, kBom); };
        while (m_end > 0 && m_end < 3 && bomSoFar()) {
            const std::size_t more = m_read(m_buf.data() + m_end, m_buf.size() - m_end);
            if (more == 0) break;
            m_end += more;
        }
        if (m_end >= 3 && std::equal(m_buf.data(), m_buf.data() + 3, kBom)) m_pos = 3;
        m_first = false;
    }
    m_readTotal += static_cast<std::int64_t>(m_end);
    if (m_end == 0) m_eof = true;
}

} // namespace zul
