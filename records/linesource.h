#pragma once
// Lines of a text input read in large chunks: ended by LF, CR LF or CR, numbered from 1, a UTF-8
// byte order mark at the start dropped. Used by every reader of whole files that must not hold
// the file in memory: a line longer than the bound is reported by its number and skipped, never
// held whole.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

// The longest line a reader takes (without its line break).
inline constexpr std::size_t kMaxLineLength = std::size_t(1) << 20;
// The bound as messages give it: "1 MiB".
std::string maxLineLengthText();

// Fills up to `size` bytes of `buffer` with what the input has, waiting only when it has nothing
// yet; 0 at its end. Throws std::runtime_error when the input cannot be read.
using ChunkReader = std::function<std::size_t(char* buffer, std::size_t size)>;

class LineSource {
public:
    // TooLong: a line longer than the bound, skipped; `number` is its number, `line` empty.
    enum class Got { Line, TooLong, NeedsRead, End };

    // `read` must outlive the source. At most `maxLine` bytes of a line are held.
    explicit LineSource(const ChunkReader& read, std::size_t chunk = std::size_t(1) << 20,
                        std::size_t maxLine = kMaxLineLength);

    // The next line, without its line break; the view stays valid until the next call. With
    // `mayRead` false, answers NeedsRead instead of waiting for more input.
    Got next(std::string_view& line, long& number, bool mayRead);

    // Input bytes taken so far (line breaks and the byte order mark included): where the next
    // line starts.
    std::int64_t position() const { return m_readTotal - static_cast<std::int64_t>(m_end - m_pos); }

private:
    void refill();
    const char* lineEnd();

    static constexpr std::size_t kUnknown = std::size_t(-1);

    const ChunkReader& m_read;
    std::vector<char> m_buf;
    std::size_t m_pos = 0, m_end = 0;
    bool m_eof = false;
    bool m_first = true;
    bool m_skipLf = false;  // a CR ended the last chunk: an LF right after it belongs to it
    bool m_pending = false; // m_partial holds the start of a line that runs across chunks
    bool m_tooLong = false; // the pending line passed the bound: its bytes are dropped
    std::size_t m_maxLine;
    std::string m_partial;
    long m_line = 0;
    std::int64_t m_readTotal = 0;
    std::size_t m_nextLf = kUnknown, m_nextCr = kUnknown; // the next LF and CR in the chunk
};

} // namespace zul
