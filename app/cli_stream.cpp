// The parallel stream of `zul convert`. A reader thread cuts the input into batches of lines,
// workers convert whole batches, and the calling thread writes them out in input order. A fixed
// set of batches circulates, so memory does not grow with the input. A batch goes out as soon as
// the input pauses, so a script that writes one colour and waits for its line gets it.
#include "app/cli_convert.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace zul::cli {

namespace {

constexpr std::size_t kFailuresListed = 5;

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Lines of the input, ended by LF, CR LF or CR, numbered from 1; a UTF-8 byte order mark at the
// start is dropped.
class LineSource {
public:
    enum class Got { Line, NeedsRead, End };

    explicit LineSource(const ChunkReader& read) : m_read(read), m_buf(1 << 20) {}

    // The next line; its view stays valid until the next call. With `mayRead` false, answers
    // NeedsRead instead of waiting for more input.
    Got next(std::string_view& line, long& number, bool mayRead) {
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

private:
    void refill() {
        m_pos = 0;
        m_end = m_read(m_buf.data(), m_buf.size());
        if (m_end == 0) m_eof = true;
        if (m_first && m_end >= 3 && m_buf[0] == '\xEF' && m_buf[1] == '\xBB' && m_buf[2] == '\xBF')
            m_pos = 3;
        m_first = false;
    }

    const ChunkReader& m_read;
    std::vector<char> m_buf;
    std::size_t m_pos = 0, m_end = 0;
    bool m_eof = false;
    bool m_first = true;
    bool m_skipLf = false;  // a CR ended the last chunk: an LF right after it belongs to it
    bool m_pending = false; // m_partial holds the start of a line that runs across chunks
    std::string m_partial;
    long m_line = 0;
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
    bool converted = false;

    void reset() {
        text.clear();
        lines.clear();
        out.clear();
        failed = 0;
        failedLines.clear();
        converted = false;
    }
};

class Stream {
public:
    Stream(const ChunkReader& read, const ConverterFactory& factory, int workers,
           std::size_t batchLines, bool skipHeader, int columns)
        : m_source(read), m_factory(factory), m_batchLines(std::max<std::size_t>(batchLines, 1)),
          m_firstLine(skipHeader), m_columns(columns) {
        // Enough batches to keep every worker busy while finished ones are written.
        const std::size_t count = 2 * static_cast<std::size_t>(workers) + 2;
        for (std::size_t i = 0; i < count; ++i) {
            m_batches.push_back(std::make_unique<Batch>());
            m_spare.push_back(m_batches.back().get());
        }
        for (int i = 0; i < workers; ++i)
            m_workers.emplace_back([this] { work(); });
        m_reader = std::thread([this] { readInput(); });
    }

    ~Stream() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_cv.notify_all();
        m_reader.join();
        for (std::thread& t : m_workers)
            t.join();
    }

    // The next batch in input order once it is converted; nullptr after the last.
    Batch* nextConverted() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return !m_ordered.empty() || m_inputDone; });
        if (m_ordered.empty()) return nullptr;
        Batch* b = m_ordered.front();
        m_ordered.pop_front();
        m_cv.wait(lock, [b] { return b->converted; });
        return b;
    }

    void recycle(Batch* b) {
        {
            std::lock_guard lock(m_mutex);
            m_spare.push_back(b);
        }
        m_cv.notify_all();
    }

    // Why the input could not be read to its end; empty when it was. Valid after the last batch.
    std::string readError() {
        std::lock_guard lock(m_mutex);
        return m_readError;
    }

    // Reads no more input; batches under way still arrive.
    void stopReading() {
        {
            std::lock_guard lock(m_mutex);
            m_stopReading = true;
        }
        m_cv.notify_all();
    }

private:
    void readInput() {
        for (bool more = true; more;) {
            Batch* b;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [this] { return !m_spare.empty() || m_stopReading || m_stopping; });
                if (m_stopReading || m_stopping) break;
                b = m_spare.back();
                m_spare.pop_back();
            }
            b->reset();
            try {
                more = fill(*b);
            } catch (const std::exception& e) {
                more = false; // what was read before the fault still goes out
                std::lock_guard lock(m_mutex);
                m_readError = e.what();
            }
            std::lock_guard lock(m_mutex);
            if (b->lines.empty()) {
                m_spare.push_back(b);
            } else {
                m_ordered.push_back(b);
                m_todo.push_back(b);
            }
            m_cv.notify_all();
        }
        std::lock_guard lock(m_mutex);
        m_inputDone = true;
        m_cv.notify_all();
    }

    // Lines up to a full batch, or until the input pauses with at least one line taken. False
    // at the end of the input.
    bool fill(Batch& b) {
        std::string_view line;
        long number = 0;
        while (b.lines.size() < m_batchLines) {
            switch (m_source.next(line, number, b.lines.empty())) {
            case LineSource::Got::End:
                return false;
            case LineSource::Got::NeedsRead:
                return true;
            case LineSource::Got::Line:
                break;
            }
            if (isBlankLine(line)) continue;
            if (std::exchange(m_firstLine, false) && isHeaderLine(line)) continue;
            b.lines.push_back({b.text.size(), line.size(), number});
            b.text.append(line);
        }
        return true;
    }

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
                m_cv.wait(lock, [this] { return m_stopping || !m_todo.empty(); });
                if (m_todo.empty()) return;
                b = m_todo.front();
                m_todo.pop_front();
            }
            for (const LineRef& ref : b->lines) {
                const std::size_t mark = b->out.size();
                bool ok = false;
                try {
                    if (!converter) throw std::runtime_error(setupError);
                    splitCsvLine(std::string_view(b->text).substr(ref.offset, ref.length), fields);
                    ok = converter->convert(fields, b->out);
                } catch (const std::exception& e) {
                    b->out.resize(mark);
                    b->out.append(static_cast<std::size_t>(m_columns), ',');
                    appendCsvField(b->out, std::string_view(e.what()));
                    b->out += '\n';
                }
                if (!ok) {
                    ++b->failed;
                    if (b->failedLines.size() < kFailuresListed)
                        b->failedLines.push_back(ref.number);
                }
            }
            {
                std::lock_guard lock(m_mutex);
                b->converted = true;
            }
            m_cv.notify_all();
        }
    }

    LineSource m_source;
    const ConverterFactory& m_factory;
    const std::size_t m_batchLines;
    bool m_firstLine; // reader thread only
    const int m_columns;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::unique_ptr<Batch>> m_batches;
    std::vector<Batch*> m_spare;  // free for the reader
    std::deque<Batch*> m_ordered; // read, in input order, for the writer
    std::deque<Batch*> m_todo;    // read, for the workers
    bool m_inputDone = false;
    bool m_stopReading = false;
    bool m_stopping = false;
    std::string m_readError;
    std::thread m_reader;
    std::vector<std::thread> m_workers;
};

} // namespace

StreamSummary convertStream(const ChunkReader& read, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers, std::size_t batchLines,
                            bool skipHeader) {
    StreamSummary summary;
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    const int columns = static_cast<int>(std::count(header.begin(), header.end(), ','));
    {
        Stream stream(read, factory, std::max(workers, 1), batchLines, skipHeader, columns);
        bool writing = true;
        while (Batch* b = stream.nextConverted()) {
            if (writing) {
                out.write(b->out.data(), static_cast<std::streamsize>(b->out.size()));
                out.flush();
                if (out) {
                    summary.lines += static_cast<long>(b->lines.size());
                    summary.failed += b->failed;
                    for (long n : b->failedLines)
                        if (summary.firstFailed.size() < kFailuresListed)
                            summary.firstFailed.push_back(n);
                } else {
                    writing = false;
                    stream.stopReading();
                }
            }
            stream.recycle(b);
        }
        if (const std::string e = stream.readError(); !e.empty())
            summary.error = "the input could not be read: " + e;
    }
    out.flush();
    if (!out) summary.error = "the output could not be written";
    return summary;
}

StreamSummary convertStream(std::istream& in, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers, std::size_t batchLines,
                            bool skipHeader) {
    const ChunkReader read = [&in](char* buffer, std::size_t size) -> std::size_t {
        const std::streamsize got =
            in.rdbuf() ? in.rdbuf()->sgetn(buffer, static_cast<std::streamsize>(size)) : 0;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    };
    return convertStream(read, out, header, factory, workers, batchLines, skipHeader);
}

} // namespace zul::cli
