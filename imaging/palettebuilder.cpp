#include "imaging/palettebuilder.h"

#include "colorimetry/rgb.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/atomicfile.h"
#include "workbench/dialogs.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace zul {

namespace {

// Blocks per batch: enough to keep a worker busy for a while, small enough that cancelling and
// the progress display stay prompt.
constexpr std::int64_t kBlocksPerBatch = 64;

struct BlockBatch {
    std::int64_t first = 0; // index of the first block in writing order
    std::int64_t count = 0;
    QByteArray lines; // the records of the converted blocks, in order
    std::int64_t records = 0;
    std::int64_t failed = 0;
    QString firstFailure;

    void clear() {
        count = 0;
        lines.clear();
        records = 0;
        failed = 0;
        firstFailure.clear();
    }
    std::int64_t itemCount() const { return count; }
    std::int64_t byteCount() const { return lines.size(); }
};

} // namespace

QString blockTag(int x0, int y0) {
    return QString::fromStdString(signedText(static_cast<double>(x0)) +
                                  signedText(static_cast<double>(y0)));
}

bool currentPaletteRecord(const Workbench& wb, const QDateTime& when, PaletteRecord& record,
                          QString& failure) {
    try {
        record.linear = displayToLinear(fieldRgb(wb), wb.rgbSettings());
    } catch (const Error& e) {
        failure = QString::fromStdString(e.what());
        return false;
    }
    record.when = when;
    record.tag = wb.tag();
    record.fields.clear();
    for (Field f : {Field::Hue, Field::Value, Field::Chroma, Field::X, Field::Y, Field::Z, Field::L,
                    Field::A, Field::B})
        record.fields << wb.text(f);
    record.rgbCmyk.clear();
    for (Field f : {Field::R, Field::G, Field::Bl, Field::C, Field::M, Field::Ye, Field::K})
        record.rgbCmyk << wb.text(f);
    return true;
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
    std::int64_t next = 0;
    PipelineStages<BlockBatch> stages;
    stages.read = [&](BlockBatch& batch) {
        batch.first = next;
        batch.count = std::min(kBlocksPerBatch, total - next);
        next += batch.count;
        return next < total;
    };
    stages.makeWorker = [&job, grid]() -> std::function<void(BlockBatch&)> {
        auto dialogs = std::make_shared<NonInteractiveDialogs>();
        auto wb = std::make_shared<Workbench>(job.table, *dialogs);
        wb->applyOptions(job.options);
        return [dialogs, wb, grid, &job](BlockBatch& batch) {
            const QDateTime now = QDateTime::currentDateTime();
            PaletteRecord record;
            for (std::int64_t k = batch.first; k < batch.first + batch.count; ++k) {
                const int x0 = grid.x0(k), y0 = grid.y0(k);
                const Rgb8 avg = averageHalfEven(sumBlock(job.picture, x0, y0, grid.n, grid.n));
                // Every block from empty fields: nothing of the previous block can show through.
                wb->clearEntries();
                dialogs->clear();
                wb->setText(Field::R, QString::number(avg.r));
                wb->setText(Field::G, QString::number(avg.g));
                wb->setText(Field::Bl, QString::number(avg.b));
                QString failure;
                bool ok = wb->rgbChain();
                if (!ok) failure = dialogs->messages().join("; ");
                if (ok) {
                    wb->setTag(blockTag(x0, y0));
                    ok = currentPaletteRecord(*wb, now, record, failure);
                }
                if (!ok) {
                    if (batch.failed++ == 0)
                        batch.firstFailure = QString("%1 %2: %3").arg(x0).arg(y0).arg(failure);
                    continue;
                }
                batch.lines += paletteLine(record);
                ++batch.records;
            }
        };
    };
    stages.write = [&](BlockBatch& batch) {
        if (batch.failed) {
            if (result.failed == 0) result.firstFailure = batch.firstFailure;
            result.failed += batch.failed;
        }
        if (!batch.lines.isEmpty() && !file.write(batch.lines)) return false;
        result.written += batch.records;
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
