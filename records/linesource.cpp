#include "records/linesource.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zul {

std::string maxLineLengthText() {
    return std::to_string(kMaxLineLength >> 20) + " MiB";
}

LineSource::LineSource(const ChunkReader& read, std::size_t chunk, std::size_t maxLine)
    : m_read(read), m_buf(chunk < 16 ? 16 : chunk), m_maxLine(maxLine) {}

LineSource::Got LineSource::next(std::string_view& line, long& number, bool mayRead) {
    for (;;) {
        if (m_pos == m_end) {
            if (m_eof) {
                if (!m_pending) return Got::End;
                m_pending = false;
                line = m_tooLong ? std::string_view() : std::string_view(m_partial);
                number = ++m_line;
                return m_tooLong ? Got::TooLong : Got::Line;
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
        const char* p = lineEnd();
        if (p == end) {
            if (!m_pending) {
                m_partial.clear();
                m_tooLong = false;
            }
            m_pending = true;
            m_pos = m_end;
            if (m_tooLong) continue;
            if (m_partial.size() + static_cast<std::size_t>(end - begin) > m_maxLine) {
                // Dropped up to the line's end: memory stays bounded whatever the line.
                m_tooLong = true;
                m_partial.clear();
            } else {
                m_partial.append(begin, end);
            }
            continue;
        }
        m_pos = static_cast<std::size_t>(p - m_buf.data()) + 1;
        if (*p == '\r') {
            if (m_pos == m_end)
                m_skipLf = true;
            else if (m_buf[m_pos] == '\n')
                ++m_pos;
        }
        const auto length = static_cast<std::size_t>(p - begin);
        bool tooLong = length > m_maxLine;
        if (std::exchange(m_pending, false)) {
            tooLong = m_tooLong || m_partial.size() + length > m_maxLine;
            if (!tooLong) m_partial.append(begin, p);
            line = m_partial;
        } else {
            line = std::string_view(begin, length);
        }
        number = ++m_line;
        if (!tooLong) return Got::Line;
        line = {};
        return Got::TooLong;
    }
}

// Where the line from m_pos ends: the next CR or LF, or the end of the chunk. Each is looked for
// with memchr and remembered while it lies ahead, so that a chunk of CR-only or LF-only lines is
// searched for the other break once, not once a line.
const char* LineSource::lineEnd() {
    const char* const data = m_buf.data();
    const auto next = [&](std::size_t& at, char c) {
        if (at < m_pos || at == kUnknown) {
            const void* found = std::memchr(data + m_pos, c, m_end - m_pos);
            at = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : m_end;
        }
        return at;
    };
    return data + std::min(next(m_nextLf, '\n'), next(m_nextCr, '\r'));
}

void LineSource::refill() {
    m_nextLf = m_nextCr = kUnknown;
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
