#include "imaging/palettebuilder.h"

#include "colorimetry/rgb.h"
#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/entryconverter.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <string>
#include <vector>

namespace zul {

namespace {

// Blocks per batch: enough to keep a worker busy for a while, small enough that cancelling and
// the progress display stay prompt. A batch holds whole columns of blocks where it can, at least
// 512 bytes of each picture row, so that its pixels are read row after row (see sumGridBlocks).
std::int64_t blocksPerBatch(const PaletteGrid& grid) {
    const std::int64_t columns = (128 + grid.n - 1) / grid.n;
    return std::clamp<std::int64_t>(columns * grid.rows, 64, 2048);
}

// The most colours a worker remembers; a picture cut finer than that has repeats close together.
constexpr std::size_t kMaxRemembered = std::size_t(1) << 15;

struct BlockBatch {
    std::int64_t first = 0; // index of the first block in writing order
    std::int64_t count = 0;
    std::string lines; // the records of the converted blocks, in order
    std::int64_t records = 0;
    std::int64_t failed = 0;
    std::int64_t reused = 0;
    QString firstFailure;

    void clear() {
        count = 0;
        lines.clear();
        records = 0;
        failed = 0;
        reused = 0;
        firstFailure.clear();
    }
    std::int64_t itemCount() const { return count; }
    std::int64_t byteCount() const { return static_cast<std::int64_t>(lines.size()); }
};

// The decimal text of `v`.
std::string_view decimal(int v, char (&buffer)[12]) {
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

// A coordinate as signedText writes a whole number: a blank, then its digits. Up to seven
// digits directly (the same text), larger ones through signedText.
void appendCoordinate(std::string& out, int v) {
    if (v < 0 || v >= 10'000'000) {
        appendSignedText(out, static_cast<double>(v));
        return;
    }
    char digits[12];
    out += ' ';
    out += decimal(v, digits);
}

// One worker's conversions: an entry converter of its own on the shared table, and the
// records of the colours it has converted.
class BlockConverter {
public:
    BlockConverter(const PaletteBuildJob& job, std::int64_t blocks)
        : m_converter(job.table, job.options), m_reuse(job.reuseRecords) {
        if (m_reuse) {
            const auto wanted = static_cast<std::size_t>(std::max<std::int64_t>(blocks, 64));
            m_remembered.resize(std::min(std::bit_ceil(wanted), kMaxRemembered));
            m_shift = 32 - std::countr_zero(m_remembered.size());
        }
    }

    // Appends to `out` what follows the tag in the record of a block of average `c`, from the
    // comma to the CR LF. False when the colour has no record; `failure` says why.
    bool appendRecord(const Rgb8& c, std::string& out, QString& failure, bool& reused) {
        const std::uint32_t key = static_cast<std::uint32_t>(c.r) << 16 |
                                  static_cast<std::uint32_t>(c.g) << 8 |
                                  static_cast<std::uint32_t>(c.b);
        Remembered* slot = nullptr;
        if (m_reuse) {
            slot = &m_remembered[(key * 0x9E3779B1u) >> m_shift];
            reused = slot->key == key;
            if (reused) {
                if (!slot->ok) {
                    failure = slot->failure;
                    return false;
                }
                out += slot->text;
                return true;
            }
        }
        const std::size_t start = out.size();
        const bool ok = convert(c, out, failure);
        if (slot) {
            slot->key = key;
            slot->ok = ok;
            if (ok)
                slot->text.assign(out, start);
            else
                slot->failure = failure;
        }
        return ok;
    }

private:
    struct Remembered {
        std::uint32_t key = 0xffffffffu; // R << 16 | G << 8 | B; all ones while empty
        bool ok = false;
        std::string text;
        QString failure;
    };

    bool convert(const Rgb8& c, std::string& out, QString& failure) {
        char digits[3][12];
        if (!m_converter.convert(EntryForm::Rgb, {decimal(c.r, digits[0]), decimal(c.g, digits[1]),
                                                  decimal(c.b, digits[2])})) {
            failure = m_converter.boxes().join("; ");
            return false;
        }
        const std::string reason = m_converter.appendPaletteRecord(out);
        if (!reason.empty()) failure = QString::fromStdString(reason);
        return reason.empty();
    }

    EntryConverter m_converter;
    bool m_reuse;
    std::vector<Remembered> m_remembered;
    int m_shift = 32;
};

} // namespace

QString blockTag(int x0, int y0) {
    std::string tag;
    appendCoordinate(tag, x0);
    appendCoordinate(tag, y0);
    return QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
}

QString paletteFileFor(const QString& answer) {
    const QString name = QDir::fromNativeSeparators(answer);
    const qsizetype slash = name.lastIndexOf('/');
    QString out = name.left(slash + 1) + name.mid(slash + 1).toUpper();
    if (!out.endsWith(".CSV")) out += ".CSV";
    return out;
}

GranularityAnswer readGranularity(const QString& answer, int width, int height) {
    GranularityAnswer g;
    const QString text = answer.trimmed();
    bool whole = false;
    const qlonglong n = text.toLongLong(&whole);
    const int limit = std::min({width, height, kMaxGranularity});
    if (!whole)
        g.problem = "The granularity must be a whole number of pixels, not \"" + answer + "\"";
    else if (n < 1)
        g.problem = "The granularity must be at least 1";
    else if (n > limit)
        g.problem = QString("The granularity must be at most %1: the picture is %2 x %3 pixels")
                        .arg(limit)
                        .arg(width)
                        .arg(height);
    else
        g.n = static_cast<int>(n);
    return g;
}

PaletteBuildResult buildPalette(const PaletteBuildJob& job) {
    PaletteBuildResult result;
    const PaletteGrid grid = paletteGrid(job.picture.width, job.picture.height, job.n);
    if (job.picture.empty() || grid.blocks() == 0) {
        result.error = "The picture holds no whole block of " + QString::number(job.n) + " x " +
                       QString::number(job.n) + " pixels";
        return result;
    }

    AtomicFile file(job.fileName);
    if (!file.open()) {
        result.error = "Cannot write palette file " + job.fileName + ": " + file.reason();
        return result;
    }

    const std::int64_t total = grid.blocks();
    const std::int64_t perBatch = blocksPerBatch(grid);
    std::int64_t next = 0;
    PipelineStages<BlockBatch> stages;
    stages.read = [&](BlockBatch& batch) {
        batch.first = next;
        batch.count = std::min(perBatch, total - next);
        next += batch.count;
        return next < total;
    };
    stages.makeWorker = [&job, grid, total]() -> std::function<void(BlockBatch&)> {
        auto converter = std::make_shared<BlockConverter>(job, total);
        auto sums = std::make_shared<std::vector<BlockSums>>();
        return [converter, sums, grid, &job](BlockBatch& batch) {
            // One clock reading a batch: its records share the date and time.
            std::string stamp;
            appendPaletteDateTime(stamp, QDateTime::currentDateTime());
            const std::int64_t end = batch.first + batch.count;
            batch.lines.reserve(static_cast<std::size_t>(batch.count) * 160);
            sums->resize(static_cast<std::size_t>(batch.count));
            sumGridBlocks(job.picture, grid, batch.first, batch.count, sums->data());
            QString failure;
            for (std::int64_t k = batch.first; k < end; ++k) {
                const int x0 = grid.x0(k), y0 = grid.y0(k);
                const Rgb8 avg =
                    averageHalfEven((*sums)[static_cast<std::size_t>(k - batch.first)]);
                const std::size_t lineStart = batch.lines.size();
                batch.lines += stamp;
                batch.lines += ",\"";
                appendCoordinate(batch.lines, x0);
                appendCoordinate(batch.lines, y0);
                batch.lines += '"';
                bool reused = false;
                const bool ok = converter->appendRecord(avg, batch.lines, failure, reused);
                if (reused) ++batch.reused;
                if (!ok) {
                    batch.lines.resize(lineStart);
                    if (batch.failed++ == 0)
                        batch.firstFailure = QString("%1 %2: %3").arg(x0).arg(y0).arg(failure);
                    continue;
                }
                ++batch.records;
            }
        };
    };
    stages.write = [&](BlockBatch& batch) {
        if (batch.failed) {
            if (result.failed == 0) result.firstFailure = batch.firstFailure;
            result.failed += batch.failed;
        }
        if (!batch.lines.empty() && !file.write(std::string_view(batch.lines))) return false;
        result.written += batch.records;
        result.reused += batch.reused;
        return true;
    };

    PipelineConfig config;
    config.workers = job.workers;
    config.cancel = job.cancel;
    config.progress = job.progress;
    const PipelineResult run = runPipeline(stages, config);

    // A cancel before the first batch stops the pipeline without a word; a palette short of a
    // block for any reason is never committed.
    if (run.cancelled || (job.cancel && job.cancel->load())) {
        result.cancelled = true;
        result.written = 0;
        return result;
    }
    QString reason;
    if (!run.error.empty())
        reason = QString::fromStdString(run.error);
    else if (run.writerStopped)
        reason = file.reason();
    else if (result.written + result.failed != total)
        reason = QString("only %1 of %2 blocks were converted")
                     .arg(result.written + result.failed)
                     .arg(total);
    else if (!file.commit().isEmpty())
        reason = file.reason();
    if (!reason.isEmpty()) {
        result.written = 0;
        result.error = "Cannot write palette file " + job.fileName + ": " + reason;
    }
    return result;
}

} // namespace zul
