#pragma once
// A palette from a whole picture: the picture is cut into n x n blocks, each block's average
// colour runs through the RGB entry chain of an entry converter and becomes one palette record,
// exactly as the main window's "RGB, Enter, save with tag" would write it. Blocks are converted on
// the ordered pipeline, one converter per worker, and written in order to a temporary file that
// replaces the palette only when every record is in.
#include "imaging/blockaverage.h"
#include "workbench/palette.h"
#include "workbench/pipeline.h"
#include "workbench/workbench.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <memory>

namespace zul {

// The palette viewer keeps this many records of a palette.
inline constexpr std::int64_t kPaletteViewerLimit = 10000;
// The largest granularity the prompt takes (a 16-bit whole number).
inline constexpr int kMaxGranularity = 32767;

struct PaletteBuildJob {
    PixelView picture;
    int n = 10;
    QString fileName; // replaced whole at the end
    std::shared_ptr<const RenotationTable> table;
    Workbench::Options options; // the main workbench's
    int workers = 1;
    const std::atomic<bool>* cancel = nullptr;
    PipelineProgress* progress = nullptr; // items = records handed to the writer
    // A worker writes the record of an average it has converted before without running the
    // chain again: the chain depends on R, G, B and the options alone. Off only to measure.
    bool reuseRecords = true;
};

struct PaletteBuildResult {
    std::int64_t written = 0;
    std::int64_t failed = 0; // blocks whose conversion failed; they have no record
    QString firstFailure;    // "x0 y0: reason" of the first of them
    std::int64_t reused = 0; // records (or failures) repeated from an earlier block's colour
    bool cancelled = false;
    QString error; // the palette could not be written; an existing file is unchanged

    bool ok() const { return error.isEmpty() && !cancelled; }
};

PaletteBuildResult buildPalette(const PaletteBuildJob& job);

// The tag of the block at (x0, y0): both numbers with a leading blank, " 0 10".
QString blockTag(int x0, int y0);

// The palette file for a name typed at the prompt: its file-name part in upper case (the folders
// keep their case), ".CSV" appended unless it ends so already.
QString paletteFileFor(const QString& answer);

// The granularity typed at the prompt for a picture of width x height: a whole number from 1 to
// the picture's smaller side (and at most kMaxGranularity). Otherwise `problem` says why.
struct GranularityAnswer {
    int n = 0;
    QString problem;
};
GranularityAnswer readGranularity(const QString& answer, int width, int height);

} // namespace zul
