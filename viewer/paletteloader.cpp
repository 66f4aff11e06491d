#include "viewer/paletteloader.h"

#include "records/csvline.h"
#include "records/paletterecord.h"
#include "records/safefiles.h"

#include <QFile>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace zul {

namespace {

// Lines per batch: small enough that both workers start soon after the first lines are read and
// finish close together on a palette of the viewer's 10,000 entries.
constexpr std::size_t kBatchLines = 256;
constexpr std::size_t kFirstUnconvertedListed = 5;
// Bytes read at a time: the first batch is on its way after one chunk, and a small buffer is
// not cleared and mapped anew on every load.
constexpr std::size_t kReadChunk = 64 * 1024;

struct LineRef {
    std::size_t offset, length;
    long number;
    bool tooLong;
};

struct FormatError {
    long line;
    std::string reason;
};

struct Batch {
    std::string text;
    std::vector<LineRef> lines;
    std::int64_t bytes = 0;
    PointTable points;
    std::vector<FormatError> errors;
    std::vector<long> withoutNotation; // lines of records without a notation

    void clear() {
        withoutNotation.clear();
        text.clear();
        lines.clear();
        bytes = 0;
        points.clear();
        errors.clear();
    }
    std::size_t itemCount() const { return lines.size(); }
    std::int64_t byteCount() const { return bytes; }
};

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

class BatchReader {
public:
    explicit BatchReader(const ChunkReader& read) : m_source(read, kReadChunk) {}

    bool fill(Batch& b) {
        const std::int64_t start = m_source.position();
        std::string_view line;
        long number = 0;
        bool more = true;
        while (b.lines.size() < kBatchLines) {
            const LineSource::Got got = m_source.next(line, number, true);
            if (got == LineSource::Got::End) {
                more = false;
                break;
            }
            if (got == LineSource::Got::TooLong) { // not held: a format error like any long line
                m_first = false;
                b.lines.push_back({b.text.size(), 0, number, true});
                continue;
            }
            if (isBlankLine(line)) continue;
            if (m_first) {
                m_first = false;
                splitCsvLine(line.substr(0, kMaxPaletteLine), m_fields);
                if (line.size() <= kMaxPaletteLine && isPaletteHeader(m_fields)) continue;
            }
            const bool tooLong = line.size() > kMaxPaletteLine;
            b.lines.push_back({b.text.size(), tooLong ? 0 : line.size(), number, tooLong});
            if (!tooLong) b.text.append(line);
        }
        b.bytes = m_source.position() - start;
        return more;
    }

private:
    LineSource m_source;
    bool m_first = true;
    std::vector<std::string> m_fields;
};

} // namespace

void convertPaletteRecord(EntryConverter& converter, const std::string& name,
                          const std::string& hue, const std::string& value,
                          const std::string& chroma, float valueNumber, float chromaNumber,
                          long line, PointTable& t, const RecordColour& own) {
    const std::optional<Workbench::EntryColour> colour =
        converter.munsellColour(hue, value, chroma, valueNumber, chromaNumber);

    const float step = paletteHueStep(hue);
    const float angle = paletteHueAngle(step);
    t.names.push_back(name);
    t.hueTexts.push_back(hue);
    t.valueTexts.push_back(value);
    t.chromaTexts.push_back(chroma);
    t.lines.push_back(line);
    t.hueSteps.push_back(step);
    t.angles.push_back(angle);
    t.values.push_back(valueNumber);
    t.chromas.push_back(chromaNumber);
    t.baseX.push_back(chromaNumber * std::cos(angle));
    t.baseY.push_back(chromaNumber * std::sin(angle));
    t.converted.push_back(colour ? 1 : 0);
    t.own.push_back(own);
    if (colour) {
        const auto& rgb = colour->rgb;
        t.colours.push_back(0xff000000u | static_cast<std::uint32_t>(rgb[0]) << 16 |
                            static_cast<std::uint32_t>(rgb[1]) << 8 |
                            static_cast<std::uint32_t>(rgb[2]));
        t.labL.push_back(colour->lab[0]);
        t.labA.push_back(colour->lab[1]);
        t.labB.push_back(colour->lab[2]);
    } else {
        t.colours.push_back(0xff000000u);
        t.labL.push_back(0);
        t.labA.push_back(0);
        t.labB.push_back(0);
    }
}

PaletteLoadResult loadPalette(const ChunkReader& read, const PaletteLoadRequest& request) {
    PaletteLoadResult result;
    BatchReader reader(read);
    const std::size_t limit = request.limit;

    PipelineStages<Batch> stages;
    stages.read = [&](Batch& b) { return reader.fill(b); };
    stages.makeWorker = [&]() -> std::function<void(Batch&)> {
        struct Worker {
            EntryConverter converter;
            PaletteFields fields;
            std::vector<std::string> scratch;
            explicit Worker(const PaletteLoadRequest& r) : converter(r.table, r.options) {}
        };
        auto w = std::make_shared<Worker>(request);
        return [w](Batch& b) {
            b.points.reserve(b.lines.size());
            for (const LineRef& l : b.lines) {
                std::string reason;
                if (l.tooLong) {
                    reason = "the line is longer than " + std::to_string(kMaxPaletteLine / 1024) +
                             " KiB";
                } else {
                    reason = readPaletteRecord(std::string_view(b.text).substr(l.offset, l.length),
                                               w->scratch, w->fields);
                }
                if (!reason.empty()) {
                    b.errors.push_back({l.number, std::move(reason)});
                    continue;
                }
                const PaletteFields& f = w->fields;
                if (f.noNotation) {
                    b.withoutNotation.push_back(l.number);
                    continue;
                }
                convertPaletteRecord(w->converter, f.name, f.hue, f.value, f.chroma, f.valueNumber,
                                     f.chromaNumber, l.number, b.points, f.own);
            }
        };
    };
    stages.write = [&](Batch& b) {
        PointTable& t = result.points;
        // Lines past the limit are neither loaded nor judged.
        const std::size_t room = limit > t.size() ? limit - t.size() : 0;
        long lastLine = std::numeric_limits<long>::max();
        if (b.points.size() >= room) lastLine = room ? b.points.lines[room - 1] : 0;
        for (const FormatError& e : b.errors) {
            if (e.line > lastLine) break;
            if (result.formatErrors++ == 0) {
                result.firstFormatLine = e.line;
                result.firstFormatReason = e.reason;
            }
        }
        for (long line : b.withoutNotation) {
            if (line > lastLine) break;
            if (result.withoutNotation++ == 0) result.firstWithoutNotation = line;
        }
        const std::size_t before = t.size();
        t.append(b.points, limit);
        for (std::size_t i = before; i < t.size(); ++i) {
            if (t.converted[i]) continue;
            if (result.unconverted++ < static_cast<long>(kFirstUnconvertedListed))
                result.firstUnconverted.push_back(t.lines[i]);
        }
        if (request.progress)
            request.progress->items.store(static_cast<std::int64_t>(t.size()),
                                          std::memory_order_relaxed);
        if (t.size() >= limit) {
            result.limited = true;
            return false;
        }
        return true;
    };

    PipelineConfig config;
    config.workers = request.workers;
    config.cancel = request.cancel;
    const PipelineResult r = runPipeline(stages, config);
    result.cancelled = r.cancelled;
    if (!r.error.empty()) result.fileError = QString::fromStdString(r.error);
    return result;
}

QString withoutNotationText(const PaletteLoadResult& r) {
    if (r.withoutNotation == 0) return {};
    return QStringLiteral("%1 of %2 records have no Munsell notation and are not drawn (first at "
                          "line %3)")
        .arg(r.withoutNotation)
        .arg(static_cast<long long>(r.points.size()) + r.withoutNotation)
        .arg(r.firstWithoutNotation);
}

PaletteLoadResult loadPaletteFile(const QString& fileName, const PaletteLoadRequest& request) {
    QFile file(fileName);
    // A FIFO or a device would keep the load waiting where no Cancel reaches it.
    const QString special = fileName.isEmpty() ? QString() : notRegularFile(fileName);
    if (fileName.isEmpty() || !special.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        PaletteLoadResult result;
        result.fileError = fileName.isEmpty()  ? QStringLiteral("no file name")
                           : special.isEmpty() ? file.errorString()
                                               : special;
        return result;
    }
    const ChunkReader read = [&file](char* buffer, std::size_t size) -> std::size_t {
        const qint64 got = file.read(buffer, static_cast<qint64>(size));
        if (got < 0) throw std::runtime_error(file.errorString().toStdString());
        return static_cast<std::size_t>(got);
    };
    return loadPalette(read, request);
}

} // namespace zul
