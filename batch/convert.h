#pragma once
// One record through the entry converter: its texts are the entry of the job's form, and the
// output line is composed from the fields, as the main window would show them.
#include "batch/jobs.h"
#include "batch/records.h"
#include "workbench/entryconverter.h"

#include <QDateTime>

#include <array>
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

// A worker's converter: an entry converter of its own on the shared table with the main
// workbench's options, quiet for the quiet jobs, and the job's line made of what it shows.
class RecordConverter {
public:
    RecordConverter(std::shared_ptr<const RenotationTable> table, const Job& job,
                    const Workbench::Options& options);

    // Appends the record's output line to `out` (the palette record to `palette` for the
    // palette job). A failed record still gets its line, with empty results.
    RecordOutcome convert(const Record& record, std::int64_t recordNumber, std::string& out,
                          std::string& palette, std::string_view date, std::string_view time);

private:
    // False when the record did not convert; `extra` says why where no box of the chain does.
    bool enter(const Record& record, std::string& extra);
    void composeLine(const Record& record, std::int64_t recordNumber, bool ok, std::string& out);

    const Job& m_job;
    EntryConverter m_converter;
    bool m_ran = false;                   // the converter converted the last record
    std::array<std::string, 3> m_numbers; // X, Y, Z texts of a spectrum on their way in
};

} // namespace zul::batch
