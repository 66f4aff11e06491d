#include "batch/runner.h"

#include "batch/convert.h"
#include "records/csvline.h"
#include "records/safefiles.h"
#include "workbench/datafiles.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include <unistd.h>

namespace zul::batch {

namespace {

constexpr std::size_t kProblemsListed = 10;

struct Line {
    std::size_t offset, length;
    long number;           // input line, from 1
    std::int64_t recordNo; // data line, from 1
    bool tooLong;          // longer than kMaxLineLength: skipped, not held
};

// Line 1 when it is a record (or too long to tell).
struct FirstRecord {
    std::string text;
    long number;
    bool tooLong;
};

std::string tooLongReason() {
    return "the line is longer than " + maxLineLengthText();
}

struct Batch {
    std::string text; // the lines back to back
    std::vector<Line> lines;
    std::int64_t bytes = 0;
    std::string out, palette, errors;
    std::int64_t converted = 0, failed = 0, skipped = 0, warnings = 0, notDisplayed = 0;
    std::int64_t tooLong = 0;
    long firstTooLong = 0;
    std::vector<long> problems;
    std::optional<Record> last;

    void clear() {
        text.clear();
        lines.clear();
        bytes = 0;
        out.clear();
        palette.clear();
        errors.clear();
        converted = failed = skipped = warnings = notDisplayed = tooLong = 0;
        firstTooLong = 0;
        problems.clear();
        last.reset();
    }
    std::size_t itemCount() const { return lines.size(); }
    std::int64_t byteCount() const { return bytes; }
};

// Reads data lines into batches; the first line has been dealt with before.
class Reader {
public:
    // `firstRecord` is line 1 when it is a record, `firstBytes` the input bytes it took.
    Reader(LineSource& source, std::size_t batchLines, std::optional<FirstRecord> firstRecord,
           std::int64_t firstBytes)
        : m_source(source), m_batchLines(std::max<std::size_t>(batchLines, 1)),
          m_first(std::move(firstRecord)), m_firstBytes(firstBytes) {}

    bool fill(Batch& b) {
        const std::int64_t start = m_source.position();
        if (m_first) {
            add(b, m_first->text, m_first->number, m_first->tooLong);
            b.bytes += m_firstBytes;
            m_first.reset();
        }
        std::string_view line;
        long number = 0;
        bool more = true;
        while (b.lines.size() < m_batchLines) {
            const LineSource::Got got = m_source.next(line, number, true);
            if (got == LineSource::Got::End) {
                more = false;
                break;
            }
            const bool tooLong = got == LineSource::Got::TooLong;
            if (!tooLong && isBlankLine(line)) continue;
            add(b, line, number, tooLong);
        }
        b.bytes += m_source.position() - start;
        return more;
    }

private:
    void add(Batch& b, std::string_view line, long number, bool tooLong) {
        b.lines.push_back({b.text.size(), line.size(), number, ++m_records, tooLong});
        b.text.append(line);
    }

    LineSource& m_source;
    const std::size_t m_batchLines;
    std::optional<FirstRecord> m_first;
    std::int64_t m_firstBytes;
    std::int64_t m_records = 0;
};

void appendErrorLine(std::string& errors, long line, std::string_view input,
                     const std::string& reason) {
    errors += std::to_string(line);
    errors += ',';
    appendCsvField(errors, input);
    errors += ',';
    appendCsvField(errors, std::string_view(reason));
    errors += "\r\n";
}

void noteProblem(std::vector<long>& problems, long line) {
    if (problems.size() < kProblemsListed + 1) problems.push_back(line);
}

} // namespace

int BatchReport::exitStatus() const {
    if (!written) return 3;
    return notConverted() > 0 ? 1 : 0;
}

QString BatchReport::failureSummary() const {
    if (notConverted() == 0) return {};
    QString lines;
    const std::size_t listed = std::min(problemLines.size(), kProblemsListed);
    for (std::size_t i = 0; i < listed; ++i)
        lines += (i ? ", " : "") + QString::number(problemLines[i]);
    if (problemLines.size() > listed) lines += ", ...";
    return QString("%1 of %2 records not converted (%3 %4)")
        .arg(notConverted())
        .arg(records)
        .arg(problemLines.size() == 1 ? "line" : "lines", lines);
}

QString BatchReport::tooLongSummary() const {
    if (tooLong == 0) return {};
    return QString("line %1%2 longer than %3; skipped")
        .arg(firstTooLong)
        .arg(tooLong > 1 ? QString(" and %1 more are").arg(tooLong - 1) : QString(" is"),
             QString::fromStdString(maxLineLengthText()));
}

QString BatchReport::countsText() const {
    // The counts with the leading blank of line writing.
    return QString("Total colors %1  Colors not displayed %2")
        .arg(converted + failed)
        .arg(notDisplayed);
}

BatchReport runBatchStream(const Job& job, std::shared_ptr<const RenotationTable> table,
                           const ChunkReader& read, ByteSink* out, ByteSink* palette,
                           ByteSink* errors, const RunSettings& settings) {
    BatchReport report;
    auto discardAll = [&] {
        for (ByteSink* s : {out, palette, errors})
            if (s) s->discard();
    };
    LineSource source(read);

    // Line 1: a heading, or a record, or (for some jobs) whichever it is.
    std::string heading;
    std::optional<FirstRecord> firstRecord;
    std::int64_t firstBytes = 0;
    try {
        std::string_view line;
        long number = 0;
        const LineSource::Got got = source.next(line, number, true);
        firstBytes = source.position();
        // Too long for a heading or a record: reported as a line that is no record.
        if (got == LineSource::Got::TooLong) firstRecord = FirstRecord{{}, number, true};
        if (got == LineSource::Got::Line) {
            const bool isHeading = job.firstLine == FirstLine::Heading ||
                                   (job.firstLine == FirstLine::SkipIfNotRecord &&
                                    !isBlankLine(line) && !isWellFormedRecord(job, line));
            if (isHeading)
                heading = std::string(line);
            else if (!isBlankLine(line))
                firstRecord = FirstRecord{std::string(line), number, false};
        }
    } catch (const std::exception& e) {
        report.error = QString::fromUtf8(e.what());
        discardAll();
        return report;
    }

    const std::string headingText = headingLines(job, heading, settings.options);
    if (out && !headingText.empty() && !out->write(headingText)) {
        report.error = out->error();
        discardAll();
        return report;
    }

    Reader reader(source, settings.batchLines, firstRecord, firstRecord ? firstBytes : 0);
    const std::optional<QDateTime> fixedTime = settings.time;
    const Workbench::Options options = settings.options;

    PipelineStages<Batch> stages;
    stages.read = [&reader](Batch& b) { return reader.fill(b); };
    stages.makeWorker = [&job, &table, options, fixedTime]() -> std::function<void(Batch&)> {
        auto converter = std::make_shared<RecordConverter>(table, job, options);
        return [converter, &job, fixedTime, record = Record()](Batch& b) mutable {
            const QDateTime when = fixedTime ? *fixedTime : QDateTime::currentDateTime();
            const std::string date = when.date().toString("MM-dd-yyyy").toStdString();
            const std::string time = when.time().toString("HH:mm:ss").toStdString();
            std::size_t lastConverted = b.lines.size();
            for (std::size_t i = 0; i < b.lines.size(); ++i) {
                const Line& l = b.lines[i];
                const std::string_view text = std::string_view(b.text).substr(l.offset, l.length);
                if (l.tooLong && b.tooLong++ == 0) b.firstTooLong = l.number;
                const std::string why = l.tooLong ? tooLongReason() : readRecord(job, text, record);
                if (!why.empty()) {
                    ++b.skipped;
                    noteProblem(b.problems, l.number);
                    appendErrorLine(b.errors, l.number, text, why);
                    continue;
                }
                const RecordOutcome o =
                    converter->convert(record, l.recordNo, b.out, b.palette, date, time);
                if (o.converted) {
                    ++b.converted;
                    if (o.warning) ++b.warnings;
                    if (o.notDisplayed) ++b.notDisplayed;
                    lastConverted = i;
                } else {
                    ++b.failed;
                    noteProblem(b.problems, l.number);
                    appendErrorLine(b.errors, l.number, text, o.reason);
                }
            }
            if (lastConverted < b.lines.size()) {
                const Line& l = b.lines[lastConverted];
                b.last.emplace();
                readRecord(job, std::string_view(b.text).substr(l.offset, l.length), *b.last);
            }
        };
    };
    QString writeError;
    stages.write = [&](Batch& b) {
        for (auto [sink, bytes] : {std::pair{out, &b.out}, std::pair{palette, &b.palette},
                                   std::pair{errors, &b.errors}}) {
            if (sink && !bytes->empty() && !sink->write(*bytes)) {
                writeError = sink->error();
                return false;
            }
        }
        report.records += static_cast<std::int64_t>(b.lines.size());
        report.converted += b.converted;
        report.failed += b.failed;
        report.skipped += b.skipped;
        report.warnings += b.warnings;
        report.notDisplayed += b.notDisplayed;
        if (b.tooLong > 0 && report.tooLong == 0) report.firstTooLong = b.firstTooLong;
        report.tooLong += b.tooLong;
        for (long n : b.problems)
            noteProblem(report.problemLines, n);
        if (b.last) report.last = std::move(b.last);
        return true;
    };

    PipelineConfig config;
    config.workers = settings.workers > 0
                         ? settings.workers
                         : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    config.cancel = settings.cancel;
    config.progress = settings.progress;
    const PipelineResult result = runPipeline(stages, config);

    if (result.cancelled || (settings.cancel && settings.cancel->load())) {
        report.cancelled = true;
        report.error = "Cancelled";
    } else if (!writeError.isEmpty()) {
        report.error = writeError;
    } else if (!result.error.empty()) {
        report.error = QString::fromStdString(result.error);
    } else if (report.records == 0 && !job.allowsEmpty) {
        report.error = "File not found";
    }
    if (!report.error.isEmpty()) {
        discardAll();
        return report;
    }
    // The palette first: a job whose records went to the palette is done once they are there.
    for (ByteSink* s : {palette, out, errors}) {
        if (s && !s->commit()) {
            report.error = s->error();
            discardAll();
            return report;
        }
    }
    report.written = true;
    return report;
}

QString defaultInput(const Job& job) {
    if (!job.input) return {};
    if (job.id == JobId::Checker) return findDataFile(job.input);
    return job.input;
}

namespace {

// A ChunkReader on a C stream; blocking reads, retried when interrupted.
class FileReader {
public:
    explicit FileReader(std::FILE* f) : m_file(f) {}
    std::size_t operator()(char* buffer, std::size_t size) const {
        const int fd = fileno(m_file);
        for (;;) {
            const auto got = ::read(fd, buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw std::runtime_error(std::strerror(errno));
        }
    }

private:
    std::FILE* m_file;
};

// Holds the whole output and hands it, converted, to the real sink on commit.
class ConvertingSink : public ByteSink {
public:
    ConvertingSink(std::unique_ptr<ByteSink> inner,
                   std::function<std::string(const std::string&)> convert)
        : m_inner(std::move(inner)), m_convert(std::move(convert)) {}
    bool write(std::string_view bytes) override {
        m_bytes.append(bytes);
        return true;
    }
    bool commit() override {
        try {
            const std::string converted = m_convert(m_bytes);
            if (m_inner->write(converted) && m_inner->commit()) return true;
            m_error = m_inner->error();
        } catch (const std::exception& e) {
            m_error = QString::fromUtf8(e.what());
        }
        m_inner->discard();
        return false;
    }
    void discard() override { m_inner->discard(); }
    QString error() const override { return m_error; }

private:
    std::unique_ptr<ByteSink> m_inner;
    std::function<std::string(const std::string&)> m_convert;
    std::string m_bytes;
    QString m_error;
};

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

// The largest CGATS input read whole; a spectral table of a million samples is far below it.
constexpr qint64 kMaxWholeInputBytes = qint64(256) << 20;

BatchReport runBatchFiles(const Job& job, std::shared_ptr<const RenotationTable> table,
                          const BatchFiles& files, const RunSettings& settings) {
    BatchReport report;
    const bool paletteJob = job.output == nullptr;
    if (paletteJob && files.input != "-" && sameFile(files.input, files.palette)) {
        report.error = "The input " + files.input +
                       " is the palette file itself: its records would be appended to it";
        return report;
    }
    // A CGATS input is converted whole, so it is read whole first: a regular file only, and
    // bounded (a FIFO or /dev/zero ends at once with a message).
    QByteArray wholeInput;
    const bool readWhole = files.convertInput && files.input != "-";
    if (readWhole) {
        if (!QFileInfo::exists(files.input) || QFileInfo(files.input).isDir()) {
            report.error = "File not found";
            return report;
        }
        FileBytes bytes = readRegularFile(files.input, kMaxWholeInputBytes);
        if (!bytes.ok()) {
            report.error =
                bytes.error.startsWith('"') ? bytes.error : files.input + ": " + bytes.error;
            return report;
        }
        wholeInput = std::move(bytes.bytes);
    }
    std::FILE* in = stdin;
    if (files.input != "-" && !readWhole) {
        in = std::fopen(QFile::encodeName(files.input).constData(), "rb");
        if (!in || QFileInfo(files.input).isDir()) {
            if (in) std::fclose(in);
            report.error = "File not found";
            return report;
        }
    }
    struct Closer {
        std::FILE* f;
        ~Closer() {
            if (f && f != stdin) std::fclose(f);
        }
    } closer{in};

    std::unique_ptr<ByteSink> out, palette, errors;
    auto openFile = [&](const QString& name) -> std::unique_ptr<ByteSink> {
        if (name == "-") return std::make_unique<StdoutSink>();
        auto sink = std::make_unique<FileSink>(name);
        if (!sink->open()) {
            report.error = name + ": " + sink->error();
            return nullptr;
        }
        return sink;
    };
    if (paletteJob) {
        auto appender = std::make_unique<PaletteAppender>(files.palette);
        if (!appender->open()) {
            report.error = files.palette + ": " + appender->error();
            return report;
        }
        palette = std::move(appender);
    } else if (!(out = openFile(files.output))) {
        return report;
    } else if (files.convertOutput) {
        out = std::make_unique<ConvertingSink>(std::move(out), files.convertOutput);
    }
    if (!files.errors.isEmpty() && !(errors = openFile(files.errors))) {
        if (palette) palette->discard();
        if (out) out->discard();
        return report;
    }
    const FileReader reader(in);
    ChunkReader read = [&reader](char* b, std::size_t n) { return reader(b, n); };
    std::string converted;
    std::size_t convertedPos = 0;
    if (files.convertInput) {
        try {
            std::string whole(wholeInput.constData(), std::size_t(wholeInput.size()));
            std::vector<char> chunk(1 << 16);
            for (std::size_t n; !readWhole && (n = reader(chunk.data(), chunk.size())) > 0;) {
                whole.append(chunk.data(), n);
                if (whole.size() > std::size_t(kMaxWholeInputBytes))
                    throw std::runtime_error("the input is larger than " +
                                             std::to_string(kMaxWholeInputBytes >> 20) + " MiB");
            }
            converted = files.convertInput(whole);
        } catch (const std::exception& e) {
            report.error = QString::fromUtf8(e.what());
            for (ByteSink* s : {out.get(), palette.get(), errors.get()})
                if (s) s->discard();
            return report;
        }
        read = [&converted, &convertedPos](char* b, std::size_t n) {
            n = std::min(n, converted.size() - convertedPos);
            std::memcpy(b, converted.data() + convertedPos, n);
            convertedPos += n;
            return n;
        };
    }
    return runBatchStream(job, std::move(table), read, out.get(), palette.get(), errors.get(),
                          settings);
}

} // namespace zul::batch
