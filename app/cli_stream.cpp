// The parallel stream of `zul convert`: the calling thread reads lines in batches and writes the
// results in input order; workers convert whole batches. A fixed number of batches circulates,
// so memory does not grow with the input.
#include "app/cli_convert.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace zul::cli {

namespace {

constexpr std::size_t kFailuresListed = 5;

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Lines of a stream, ended by LF, CR LF or CR, numbered from 1; a UTF-8 byte order mark at the
// start is dropped.
class LineSource {
public:
    explicit LineSource(std::istream& in) : m_in(in), m_buf(1 << 20) {}

    // The view stays valid until the next call.
    bool next(std::string_view& line, long& number) {
        m_partial.clear();
        bool pending = false; // m_partial holds the start of the line
        for (;;) {
            if (m_pos == m_end && !refill()) {
                if (!pending) return false;
                line = m_partial;
                number = ++m_line;
                return true;
            }
            if (m_skipLf) {
                m_skipLf = false;
                if (m_buf[m_pos] == '\n' && ++m_pos == m_end) continue;
            }
            const char* begin = m_buf.data() + m_pos;
            const char* end = m_buf.data() + m_end;
            const char* p = begin;
            while (p != end && *p != '\n' && *p != '\r') ++p;
            if (p == end) {
                m_partial.append(begin, end);
                pending = true;
                m_pos = m_end;
                continue;
            }
            m_pos = static_cast<std::size_t>(p - m_buf.data()) + 1;
            if (*p == '\r') {
                if (m_pos < m_end) {
                    if (m_buf[m_pos] == '\n') ++m_pos;
                } else {
                    m_skipLf = true;
                }
            }
            if (pending) {
                m_partial.append(begin, p);
                line = m_partial;
            } else {
                line = std::string_view(begin, static_cast<std::size_t>(p - begin));
            }
            number = ++m_line;
            return true;
        }
    }

private:
    bool refill() {
        if (!m_in) return false;
        m_in.read(m_buf.data(), static_cast<std::streamsize>(m_buf.size()));
        m_pos = 0;
        m_end = static_cast<std::size_t>(m_in.gcount());
        if (m_first && m_end >= 3 && m_buf[0] == '\xEF' && m_buf[1] == '\xBB' &&
            m_buf[2] == '\xBF')
            m_pos = 3;
        m_first = false;
        return m_pos < m_end;
    }

    std::istream& m_in;
    std::vector<char> m_buf;
    std::size_t m_pos = 0, m_end = 0;
    bool m_first = true;
    bool m_skipLf = false; // a CR ended the last buffer: an LF right after it belongs to it
    long m_line = 0;
    std::string m_partial; // a line that runs across buffers
};

struct LineRef {
    std::size_t offset, length;
    long number;
};

struct Batch {
    std::string text; // the lines back to back
    std::vector<LineRef> lines;
    std::string out;
    long failed = 0;
    std::vector<long> failedLines; // the first few
    bool done = false;

    void reset() {
        text.clear();
        lines.clear();
        out.clear();
        failed = 0;
        failedLines.clear();
        done = false;
    }
};

class Pipeline {
public:
    Pipeline(const ConverterFactory& factory, int workers, int columns)
        : m_factory(factory), m_columns(columns) {
        for (int i = 0; i < workers; ++i) m_threads.emplace_back([this] { work(); });
    }
    ~Pipeline() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_workCv.notify_all();
        for (std::thread& t : m_threads) t.join();
    }

    void submit(Batch* b) {
        {
            std::lock_guard lock(m_mutex);
            m_todo.push_back(b);
        }
        m_workCv.notify_one();
    }

    void waitFor(const Batch* b) {
        std::unique_lock lock(m_mutex);
        m_doneCv.wait(lock, [b] { return b->done; });
    }

private:
    void work() {
        std::unique_ptr<LineConverter> converter;
        std::string setupError;
        try {
            converter = m_factory();
        } catch (const std::exception& e) {
            setupError = e.what();
        }
        std::vector<std::string> fields;
        for (;;) {
            Batch* b;
            {
                std::unique_lock lock(m_mutex);
                m_workCv.wait(lock, [this] { return m_stopping || !m_todo.empty(); });
                if (m_todo.empty()) return;
                b = m_todo.front();
                m_todo.pop_front();
            }
            for (const LineRef& ref : b->lines) {
                const std::size_t mark = b->out.size();
                bool ok = false;
                if (converter) {
                    try {
                        splitCsvLine(std::string_view(b->text).substr(ref.offset, ref.length),
                                     fields);
                        ok = converter->convert(fields, b->out);
                    } catch (const std::exception& e) {
                        b->out.resize(mark);
                        failRow(b->out, e.what());
                    }
                } else {
                    failRow(b->out, setupError);
                }
                if (!ok) {
                    ++b->failed;
                    if (b->failedLines.size() < kFailuresListed)
                        b->failedLines.push_back(ref.number);
                }
            }
            {
                std::lock_guard lock(m_mutex);
                b->done = true;
            }
            m_doneCv.notify_all();
        }
    }

    void failRow(std::string& out, std::string_view note) const {
        out.append(static_cast<std::size_t>(m_columns), ',');
        appendCsvField(out, note);
        out += '\n';
    }

    const ConverterFactory& m_factory;
    const int m_columns;
    std::mutex m_mutex;
    std::condition_variable m_workCv, m_doneCv;
    std::deque<Batch*> m_todo;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace

StreamSummary convertStream(std::istream& in, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers,
                            std::size_t batchLines, bool skipHeader) {
    workers = std::max(workers, 1);
    batchLines = std::max<std::size_t>(batchLines, 1);
    StreamSummary summary;
    out.write(header.data(), static_cast<std::streamsize>(header.size()));

    // Enough batches to keep every worker busy while the finished ones are written.
    const std::size_t inFlightMax = 2 * static_cast<std::size_t>(workers) + 2;
    std::vector<std::unique_ptr<Batch>> batches;
    std::vector<Batch*> spare;
    for (std::size_t i = 0; i < inFlightMax; ++i) {
        batches.push_back(std::make_unique<Batch>());
        spare.push_back(batches.back().get());
    }
    const int columns = static_cast<int>(std::count(header.begin(), header.end(), ','));

    LineSource source(in);
    bool firstLine = skipHeader;
    bool inputLeft = true;
    bool writing = true;
    std::deque<Batch*> inFlight;
    {
        Pipeline pipeline(factory, workers, columns);
        for (;;) {
            while (inputLeft && writing && !spare.empty()) {
                Batch* b = spare.back();
                b->reset();
                std::string_view line;
                long number = 0;
                while (b->lines.size() < batchLines && (inputLeft = source.next(line, number))) {
                    if (isBlankLine(line)) continue;
                    if (std::exchange(firstLine, false) && isHeaderLine(line)) continue;
                    b->lines.push_back({b->text.size(), line.size(), number});
                    b->text.append(line);
                }
                if (b->lines.empty()) break;
                spare.pop_back();
                inFlight.push_back(b);
                pipeline.submit(b);
            }
            if (inFlight.empty()) break;
            Batch* b = inFlight.front();
            inFlight.pop_front();
            pipeline.waitFor(b);
            spare.push_back(b);
            if (!writing) continue;
            out.write(b->out.data(), static_cast<std::streamsize>(b->out.size()));
            if (!out) {
                writing = false; // let the batches under way finish, read no more
                summary.error = "the output could not be written";
                continue;
            }
            summary.lines += static_cast<long>(b->lines.size());
            summary.failed += b->failed;
            for (long n : b->failedLines)
                if (summary.firstFailed.size() < kFailuresListed) summary.firstFailed.push_back(n);
        }
    }
    out.flush();
    if (!out && summary.error.empty()) summary.error = "the output could not be written";
    return summary;
}

} // namespace zul::cli
