// Line reading on any bytes, delivered in pieces of varying size as a pipe delivers them.
// Property: the lines, their numbers and the final position are those of a plain split at
// LF, CR LF and CR after a byte order mark at the very start is dropped, whatever the pieces;
// a line longer than the bound comes as TooLong with its number. A first byte from 0x80 up sets
// a bound of 1 to 64 bytes, so that short inputs reach it.
#include "fuzzcheck.h"

#include "records/linesource.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> plainSplit(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) lines.push_back(current);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    if (size < 2) return 0;
    unsigned state = data[0];
    const std::size_t chunk = 16 + data[1];
    const std::size_t maxLine = data[0] & 0x80 ? 1 + (data[0] & 0x3f) : kMaxLineLength;
    const std::string_view text = fuzz::asText(data + 2, size - 2);

    std::size_t given = 0;
    const ChunkReader read = [&](char* buffer, std::size_t room) -> std::size_t {
        state = state * 1103515245u + 12345u;
        const std::size_t piece =
            std::min({room, text.size() - given, std::size_t(1) + (state >> 16) % 40});
        std::memcpy(buffer, text.data() + given, piece);
        given += piece;
        return piece;
    };
    LineSource source(read, chunk, maxLine);
    const std::vector<std::string> expected = plainSplit(text);
    std::size_t count = 0;
    std::string_view line;
    long number = 0;
    for (;;) {
        state = state * 1103515245u + 12345u;
        const LineSource::Got got = source.next(line, number, (state >> 20) % 4 != 0);
        if (got == LineSource::Got::End) break;
        if (got == LineSource::Got::NeedsRead) continue;
        FUZZ_CHECK(count < expected.size());
        const bool tooLong = expected[count].size() > maxLine;
        FUZZ_CHECK((got == LineSource::Got::TooLong) == tooLong);
        FUZZ_CHECK(line == (tooLong ? std::string() : expected[count]));
        FUZZ_CHECK(number == static_cast<long>(count) + 1);
        ++count;
    }
    FUZZ_CHECK(count == expected.size());
    FUZZ_CHECK(source.position() == static_cast<std::int64_t>(text.size()));
    return 0;
}
