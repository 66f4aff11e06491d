// The stream of `zul convert` on the ordered pipeline: the reader cuts the input into batches of
// lines, workers convert whole batches, and the calling thread writes them out in input order. A
// batch goes out as soon as the input pauses, so a script that writes one colour and waits for
// its line gets it.
#include "cli/convert.h"
#include "records/csvline.h"
#include "records/linesource.h"
#include "text/printable.h"
#include "workbench/pipeline.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

namespace zul::cli {

namespace {

constexpr std::size_t kFailuresListed = 5;

std::string tooLongNote() {
    return "the line is longer than " + maxLineLengthText() + "; skipped";
}

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

struct LineRef {
    std::size_t offset, length;
    long number;
    bool tooLong; // skipped, not held: its row gives the reason
};

struct Batch {
    std::string text; // the lines back to back
    std::vector<LineRef> lines;
    std::int64_t bytes = 0; // input bytes the lines came from
    std::string out;
    long failed = 0;
    std::vector<long> failedLines;  // the first few
    std::vector<long> tooLongLines; // in order

    void clear() {
        text.clear();
        lines.clear();
        bytes = 0;
        out.clear();
        failed = 0;
        failedLines.clear();
        tooLongLines.clear();
    }
    std::size_t itemCount() const { return lines.size(); }
    std::int64_t byteCount() const { return bytes; }
};

// Lines up to a full batch, or until the input pauses with at least one line taken. False at
// the end of the input.
class BatchReader {
public:
    BatchReader(const ChunkReader& read, std::size_t batchLines, bool skipHeader, bool headerKnown)
        : m_source(read), m_batchLines(std::max<std::size_t>(batchLines, 1)),
          m_firstLine(skipHeader), m_headerKnown(headerKnown) {}

    bool fill(Batch& b) {
        const std::int64_t start = m_source.position();
        const bool more = take(b);
        b.bytes = m_source.position() - start;
        return more;
    }

private:
    bool take(Batch& b) {
        std::string_view line;
        long number = 0;
        while (b.lines.size() < m_batchLines) {
            switch (m_source.next(line, number, b.lines.empty())) {
            case LineSource::Got::End:
                return false;
            case LineSource::Got::NeedsRead:
                return true;
            case LineSource::Got::TooLong:
                m_firstLine = false; // no header is that long
                b.lines.push_back({b.text.size(), 0, number, true});
                b.tooLongLines.push_back(number);
                continue;
            case LineSource::Got::Line:
                break;
            }
            if (isBlankLine(line)) continue;
            if (std::exchange(m_firstLine, false) && (m_headerKnown || isHeaderLine(line)))
                continue;
            b.lines.push_back({b.text.size(), line.size(), number, false});
            b.text.append(line);
        }
        return true;
    }

    LineSource m_source;
    const std::size_t m_batchLines;
    bool m_firstLine;
    bool m_headerKnown;
};

} // namespace

StreamSummary convertStream(const ChunkReader& read, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers, std::size_t batchLines,
                            bool skipHeader, char delimiter, bool headerKnown) {
    StreamSummary summary;
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    const int columns = static_cast<int>(std::count(header.begin(), header.end(), delimiter));
    BatchReader reader(read, batchLines, skipHeader, headerKnown);

    PipelineStages<Batch> stages;
    stages.read = [&reader](Batch& b) { return reader.fill(b); };
    stages.makeWorker = [&factory, columns, delimiter]() -> std::function<void(Batch&)> {
        // A converter that cannot be made fails each line with the reason, as a line that does
        // not convert does.
        std::shared_ptr<LineConverter> converter;
        std::string setupError;
        try {
            converter = factory();
        } catch (const std::exception& e) {
            setupError = e.what();
        }
        return [converter, setupError, columns, delimiter,
                fields = std::vector<std::string>()](Batch& b) mutable {
            for (const LineRef& ref : b.lines) {
                const std::size_t mark = b.out.size();
                bool ok = false;
                try {
                    if (ref.tooLong) throw std::runtime_error(tooLongNote());
                    if (!converter) throw std::runtime_error(setupError);
                    splitCsvLine(std::string_view(b.text).substr(ref.offset, ref.length), fields,
                                 delimiter);
                    ok = converter->convert(fields, b.out);
                } catch (const std::exception& e) {
                    b.out.resize(mark);
                    b.out.append(static_cast<std::size_t>(columns), delimiter);
                    appendCsvField(b.out, std::string_view(printable(e.what())), delimiter);
                    b.out += '\n';
                }
                if (!ok) {
                    ++b.failed;
                    if (b.failedLines.size() < kFailuresListed) b.failedLines.push_back(ref.number);
                }
            }
        };
    };
    stages.write = [&out, &summary](Batch& b) {
        out.write(b.out.data(), static_cast<std::streamsize>(b.out.size()));
        out.flush();
        if (!out) return false;
        summary.lines += static_cast<long>(b.lines.size());
        summary.failed += b.failed;
        for (long n : b.failedLines)
            if (summary.firstFailed.size() < kFailuresListed) summary.firstFailed.push_back(n);
        for (long n : b.tooLongLines)
            if (summary.tooLong++ == 0) summary.firstTooLong = n;
        return true;
    };

    PipelineConfig config;
    config.workers = std::max(workers, 1);
    const PipelineResult result = runPipeline(stages, config);
    summary.error = result.error;
    out.flush();
    if (!out) summary.error = "the output could not be written";
    return summary;
}

StreamSummary convertStream(std::istream& in, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers, std::size_t batchLines,
                            bool skipHeader, char delimiter) {
    const ChunkReader read = [&in](char* buffer, std::size_t size) -> std::size_t {
        const std::streamsize got =
            in.rdbuf() ? in.rdbuf()->sgetn(buffer, static_cast<std::streamsize>(size)) : 0;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    };
    return convertStream(read, out, header, factory, workers, batchLines, skipHeader, delimiter);
}

} // namespace zul::cli
