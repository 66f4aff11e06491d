#pragma once
// Loading a palette file into a point table on the ordered pipeline: the reader thread cuts the
// file into batches of lines, each worker reads the records and runs every one through the
// Munsell entry chain of a workbench of its own (given the main workbench's options), and the
// calling thread appends the batches in file order.
#include "records/linesource.h"
#include "viewer/pointtable.h"
#include "workbench/entryconverter.h"
#include "workbench/pipeline.h"

#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace zul {

class RenotationTable;

// The viewer keeps at most this many entries of a palette, in the window and in `zul view`.
inline constexpr std::size_t kPaletteLimit = 10000;

struct PaletteLoadRequest {
    std::shared_ptr<const RenotationTable> table;
    Workbench::Options options;
    std::size_t limit = kPaletteLimit; // records kept; reading stops when the table is full
    int workers = 2;
    const std::atomic<bool>* cancel = nullptr;
    PipelineProgress* progress = nullptr; // records read so far
};

struct PaletteLoadResult {
    PointTable points;
    QString fileError; // the file could not be opened or read
    bool cancelled = false;
    bool limited = false; // the table reached the limit
    // Lines that are not records: how many, the first one's number and why.
    long formatErrors = 0;
    long firstFormatLine = 0;
    std::string firstFormatReason;
    // Records without a notation (not drawn): how many and the first one's line.
    long withoutNotation = 0;
    long firstWithoutNotation = 0;
    // Records whose chain failed (kept, without a colour): how many and the first few lines.
    long unconverted = 0;
    std::vector<long> firstUnconverted;

    bool complete() const { return fileError.isEmpty() && !cancelled && formatErrors == 0; }
};

PaletteLoadResult loadPalette(const ChunkReader& read, const PaletteLoadRequest& request);
// "N of M records have no Munsell notation ..." for a load that skipped some, else empty.
QString withoutNotationText(const PaletteLoadResult& r);
PaletteLoadResult loadPaletteFile(const QString& fileName, const PaletteLoadRequest& request);

// One record's Munsell entry through `converter` into `table`, as the loader does it.
void convertPaletteRecord(EntryConverter& converter, const std::string& name,
                          const std::string& hue, const std::string& value,
                          const std::string& chroma, float valueNumber, float chromaNumber,
                          long line, PointTable& table, const RecordColour& own = {});

} // namespace zul
