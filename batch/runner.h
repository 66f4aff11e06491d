#pragma once
// A whole batch job on the ordered pipeline: the reader cuts the input into batches of lines,
// each worker converts whole batches with a workbench of its own, and the calling thread writes
// them in input order. Outputs are committed only when the job ran to its end.
#include "batch/jobs.h"
#include "batch/output.h"
#include "batch/records.h"
#include "records/linesource.h"
#include "workbench/pipeline.h"
#include "workbench/workbench.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zul::batch {

struct RunSettings {
    Workbench::Options options;    // the main workbench's
    std::optional<QDateTime> time; // palette date and time; now when unset
    int workers = 0;               // 0: one per core
    std::size_t batchLines = 2048; // lines a batch holds
    const std::atomic<bool>* cancel = nullptr;
    PipelineProgress* progress = nullptr;
};

struct BatchReport {
    std::int64_t records = 0;       // data lines read (blank lines and a heading not counted)
    std::int64_t converted = 0;     // records whose chain ran to its end
    std::int64_t failed = 0;        // records written with empty results (or not saved)
    std::int64_t skipped = 0;       // lines that are no record of the job, not written
    std::int64_t warnings = 0;      // converted records with a message ("Format Error")
    std::int64_t notDisplayed = 0;  // converted records with R, G or B at 0 or 255
    std::vector<long> problemLines; // input lines of failed and skipped records, the first few
    std::int64_t tooLong = 0;       // skipped lines longer than kMaxLineLength (in `skipped`)
    long firstTooLong = 0;          // the first one's input line
    bool written = false;           // the outputs were committed
    bool cancelled = false;
    QString error;              // why nothing was written
    std::optional<Record> last; // the last converted record, for the window to show

    std::int64_t notConverted() const { return failed + skipped; }
    // 0 every record converted; 1 written, but records failed or were skipped; 3 nothing written.
    int exitStatus() const;
    // "N of M records not converted (lines a, b, ...)"; empty when all converted.
    QString failureSummary() const;
    // "line N is longer than 1 MiB; skipped" ("line N and 2 more are ..."); empty when none.
    QString tooLongSummary() const;
    // "Total colors 24  Colors not displayed 3" (records written, converted ones not displayed).
    QString countsText() const;
};

// Runs `job` on `read`: the output lines go to `out` (nullptr for the palette job), palette
// records to `palette`, one line per failed or skipped record to `errors` (may be nullptr).
// Every sink is committed when the job ran to its end and discarded otherwise.
BatchReport runBatchStream(const Job& job, std::shared_ptr<const RenotationTable> table,
                           const ChunkReader& read, ByteSink* out, ByteSink* palette,
                           ByteSink* errors, const RunSettings& settings);

// Files of a job. "-" is standard input or output.
struct BatchFiles {
    QString input;
    QString output;  // unused by the palette job
    QString palette; // the palette job's, ".csv" already added
    QString errors;  // empty: none
    // Optional conversions of the whole input before reading (CGATS to the job's lines) and of
    // the whole output before it is committed (the table to CGATS). Throwing std::exception
    // writes nothing.
    std::function<std::string(const std::string&)> convertInput;
    std::function<std::string(const std::string&)> convertOutput;
};

// The job's default input as the program finds it: the working directory, and for
// "ccnames.csv" the program's data folder after it. Empty for the jobs whose input is chosen.
QString defaultInput(const Job& job);

// Opens the files and runs the job. A missing input is "File not found"; an input that is the
// palette itself is refused; neither writes anything.
BatchReport runBatchFiles(const Job& job, std::shared_ptr<const RenotationTable> table,
                          const BatchFiles& files, const RunSettings& settings);

} // namespace zul::batch
