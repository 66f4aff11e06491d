#pragma once
// `zul convert`: colours typed into one entry form of the workbench, one per line, converted as
// the main window converts them, and the pieces the command line is built from: per-line
// converters and the stream between them.
#include "cli/context.h"
#include "munsell/table.h"
#include "records/linesource.h"
#include "workbench/entryforms.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zul::cli {

// Entry forms of `--from`.
using Form = EntryForm;

struct ConvertOptions {
    Form from = Form::Munsell;
    WindowSettings settings;
    bool raw = false; // unrounded engine results instead of field texts
    // Files as spreadsheets keep them. `delimiter` separates the fields read and written; with
    // ';' a decimal comma is read as a point and numbers are written with a decimal comma.
    char delimiter = ',';
    // Input columns (0-based) holding the form's fields, in the form's order; empty: a line is
    // the form's fields alone. The other columns are copied before the results.
    std::vector<int> columns;
    std::vector<std::string> otherNames; // header names of the copied columns
    // Notes give the reason as the window's Messages field does (for files read with the
    // options above).
    bool explain = false;
};

inline const char* formName(Form form) {
    return entryForm(form).name;
}
// How many fields a line of `form` holds.
inline int fieldCount(Form form) {
    return static_cast<int>(entryForm(form).fields.size());
}

// The header line of the output (with its line break).
std::string outputHeader(const ConvertOptions& options);

// --- converting lines
class LineConverter {
public:
    virtual ~LineConverter() = default;
    // Appends the output line (line break included) for the fields of one input line; false
    // when the colour did not convert.
    virtual bool convert(const std::vector<std::string>& fields, std::string& out) = 0;
};

// One converter per worker: a workbench of its own on the shared table, or (--raw) the engine.
std::unique_ptr<LineConverter> makeConverter(std::shared_ptr<const RenotationTable> table,
                                             const ConvertOptions& options);

// The output columns copied from the input: every index below `count` not in `columns`.
std::vector<int> otherColumns(const std::vector<int>& columns, int count);

// --- files as spreadsheets keep them
// The first line of an input, read ahead: the reader it returns gives the whole input again.
struct FirstLine {
    std::string text;     // without its line break and a byte order mark
    bool tooLong = false; // longer than kMaxLineLength: `text` is empty, the line was not held
    ChunkReader again;
};
FirstLine readFirstLine(const ChunkReader& read);

// Resolves `--columns` ("id,X,Y,Z" names from the header, or 1-based numbers) against the first
// line, and decides whether that line is a header. Fills options.columns and otherNames; returns
// an error message for the user, empty on success.
std::string resolveColumns(const std::string& list, const std::string& firstLine,
                           ConvertOptions& options, bool& isHeader);

// --- the stream
struct StreamSummary {
    long lines = 0;                // colours read (header and blank lines not counted)
    long failed = 0;               // colours that did not convert
    std::vector<long> firstFailed; // input line numbers (1-based) of the first few failures
    long tooLong = 0;              // lines over kMaxLineLength, skipped (counted as failed too)
    long firstTooLong = 0;         // the first one's line number
    std::string error;             // set when the input could not be read or the output written
};

using ConverterFactory = std::function<std::unique_ptr<LineConverter>()>;

// Reads CSV lines and writes `header` and one converted line per colour to `out`, in input
// order, with `workers` threads each holding a converter made by `factory` in its own thread.
// At most a few batches of `batchLines` lines are held at any time, so memory stays the same
// whatever the input size; whatever has been read is converted and written before waiting for
// more input. With `skipHeader`, a first line that isHeaderLine is skipped.
// Fields are split at `delimiter`. With `headerKnown`, `skipHeader` is the caller's decision
// about the first line, taken without looking at it again.
StreamSummary convertStream(const ChunkReader& read, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers,
                            std::size_t batchLines = 4096, bool skipHeader = true,
                            char delimiter = ',', bool headerKnown = false);
StreamSummary convertStream(std::istream& in, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers,
                            std::size_t batchLines = 4096, bool skipHeader = true,
                            char delimiter = ',');

} // namespace zul::cli
