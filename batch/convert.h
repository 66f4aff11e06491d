#pragma once
// One record through the workbench: its texts go into the entry fields of a cleared workbench,
// the job's chain runs, and the output line is composed from the fields, as the main window
// would show them.
#include "batch/jobs.h"
#include "batch/records.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QDateTime>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zul::batch {

struct RecordOutcome {
    bool converted = false;
    bool notDisplayed = false; // R, G or B at 0 or 255
    bool warning = false;      // a message ("Format Error") on a record that still converted
    std::string reason;        // the chain's messages, for a failed record or a warning
};

// The heading lines of `job`'s output (each ended by CR LF). `inputHeading` is line 1 of the
// input for the jobs that reuse it.
std::string headingLines(const Job& job, std::string_view inputHeading,
                         const Workbench::Options& options);

// The illuminant and observer of `options` as a note names them, with PWD when it is set:
// "illuminant D65 and the 10 degree observer".
std::string illuminantNote(const Workbench::Options& options);

// Appends `text` as a line-written number: a blank (or "-"), the shortest text, a blank.
void appendNumber(std::string& out, float value);

// The palette record of a workbench's current colour, as SaveData writes it, ended by CR LF.
// Returns false (nothing appended) when the RGB fields do not hold numbers.
bool appendPaletteRecord(std::string& out, const Workbench& wb, std::string_view tag,
                         std::string_view date, std::string_view time);

// A worker's converter: a workbench of its own on the shared table with the main workbench's
// options, quiet for the quiet jobs.
class RecordConverter {
public:
    RecordConverter(std::shared_ptr<const RenotationTable> table, const Job& job,
                    const Workbench::Options& options);

    // Appends the record's output line to `out` (the palette record to `palette` for the
    // palette job). A failed record still gets its line, with empty results.
    RecordOutcome convert(const Record& record, std::int64_t recordNumber, std::string& out,
                          std::string& palette, std::string_view date, std::string_view time);

    Workbench& workbench() { return m_wb; }

private:
    bool enter(const Record& record);
    void composeLine(const Record& record, std::int64_t recordNumber, bool ok, std::string& out);

    const Job& m_job;
    NonInteractiveDialogs m_dialogs;
    Workbench m_wb;
    std::string m_number; // a number's text on its way into a field
};

} // namespace zul::batch
