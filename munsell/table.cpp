#include "munsell/table.h"

#include "text/errors.h"

#include <cerrno>
#include <charconv>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

namespace {

// Reads the next number of a list file: fields are separated by commas, blanks, tabs or line
// breaks; blanks and line breaks around a comma belong to it. Two commas with nothing between
// them, or a comma before the first number, stand for an empty field, which is returned as such
// so that the caller reports it instead of silently shifting every later number. Returns false at
// end of input.
bool nextField(std::istream& in, std::string& field, int& line, bool first) {
    field.clear();
    int ch;
    int commas = first ? 1 : 0;
    while ((ch = in.get()) != EOF) {
        if (ch == '\n') {
            ++line;
            continue;
        }
        if (ch == ' ' || ch == '\t' || ch == '\r') continue;
        if (ch == ',') {
            if (++commas == 2) return true;
            continue;
        }
        break;
    }
    if (ch == EOF) return false;
    do {
        field.push_back(static_cast<char>(ch));
        ch = in.peek();
        if (ch == EOF || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == ',') break;
        ch = in.get();
    } while (true);
    return true;
}

} // namespace

void RenotationTable::load(std::istream& in, const std::string& source) {
    RenotationTable fresh;
    std::string field;
    int line = 1;
    int count = 0;
    auto fail = [&](const std::string& what) {
        throw DataFileError(source + ", line " + std::to_string(line) + ": " + what);
    };
    for (int v = 0; v < kValues; ++v) {
        for (int h = 0; h < kFileHues; ++h) {
            for (int c = 0; c < kFileChromas; ++c) {
                for (int k = 0; k < 2; ++k) {
                    if (!nextField(in, field, line, count == 0)) {
                        if (in.bad()) fail("the file could not be read");
                        throw DataFileError(
                            source + " is too short: it ends after " + std::to_string(count) +
                            " of the " + std::to_string(kFileNumbers) +
                            " numbers expected (value " + std::to_string(v) + ", hue index " +
                            std::to_string(h) + ", chroma index " + std::to_string(c) + ")");
                    }
                    ++count;
                    int n = 0;
                    const char* first = field.data();
                    const char* last = first + field.size();
                    if (*first == '+') ++first;
                    const auto [ptr, ec] = std::from_chars(first, last, n);
                    if (ec != std::errc() || ptr != last || n < -32768 || n > 32767 ||
                        first == last) {
                        fail("number " + std::to_string(count) + " is \"" + field +
                             "\"; expected a whole number from -32768 to 32767");
                    }
                    fresh.set(v, h, c, k, static_cast<std::int16_t>(n));
                }
                if (c == 0) {
                    // Chroma 0 is the white point, whatever the file holds there.
                    fresh.set(v, h, 0, 0, kWhiteX4);
                    fresh.set(v, h, 0, 1, kWhiteY4);
                }
            }
        }
    }
    // Close the hue circle: hue 100 is hue 0.
    for (int v = 0; v < kValues; ++v)
        for (int c = 0; c < kFileChromas; ++c)
            for (int k = 0; k < 2; ++k)
                fresh.set(v, 40, c, k, fresh.at(v, 0, c, k));
    *this = fresh;
}

void RenotationTable::load(const std::filesystem::path& file) {
    // Non-blocking, and the descriptor looked at before a byte is read: a FIFO or a device put in
    // the table's place (a link to /dev/zero) is refused at once instead of hanging or filling
    // the memory; the read is bounded for the same reason.
    constexpr std::size_t kMaxTableBytes = 16 * 1024 * 1024;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const bool exists = errno != ENOENT;
        throw DataFileError(file.string() + (exists ? ": the file could not be opened for reading"
                                                    : ": file not found"));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw DataFileError(file.string() + ": not a regular file");
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxTableBytes) {
            ::close(fd);
            if (got == 0) break;
            throw DataFileError(file.string() + (got < 0 ? ": the file could not be read"
                                                         : ": larger than a renotation table"));
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    std::istringstream in(std::move(bytes));
    load(in, file.string());
}

std::shared_ptr<const RenotationTable> loadRenotationTable(const std::filesystem::path& file) {
    auto table = std::make_shared<RenotationTable>();
    table->load(file);
    return table;
}

} // namespace zul
