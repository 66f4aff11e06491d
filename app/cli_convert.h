#pragma once
// `zul convert`: colours typed into one entry form of the workbench, one per line, converted as
// the main window converts them, and the pieces the command line is built from: CSV lines,
// per-line converters and the parallel stream between them.
#include "munsell/table.h"

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
enum class Form { Munsell, Xyz, Xy, Lab, Rgb, Cmyk };

struct ConvertOptions {
    Form from = Form::Munsell;
    int illuminant = 0; // option button 0..2
    bool pwd = false;   // "PWD" ticked
    QString gamma;      // gamma field text; empty keeps the start-up 2.2
    bool raw = false;   // unrounded engine results instead of field texts
};

// "munsell", "xyz", ...; nullopt for anything else.
std::optional<Form> formNamed(std::string_view name);
// How many fields a line of `form` holds and what they are, for messages: "X, Y, Z".
int fieldCount(Form form);
std::string fieldNames(Form form);

// The header line of the output (with its line break).
std::string outputHeader(const ConvertOptions& options);

// --- CSV lines
// Splits one line into fields: a field ends at a comma; blanks and tabs around it are dropped; a
// field in double quotes may hold commas and doubled quotes ("" for "), and anything after its
// closing quote up to the next comma is ignored. A line of blanks holds no field. Reuses the
// strings already in `fields`.
void splitCsvLine(std::string_view line, std::vector<std::string>& fields);
// Appends a field, in double quotes (quotes doubled) only when it holds a comma, a quote or a
// line break.
void appendCsvField(std::string& out, std::string_view text);
void appendCsvField(std::string& out, const QString& text);
// A number followed by a hue family ("5R", "6.4 yr", "10RP").
bool isHueNotation(std::string_view text);
// The first line of the input is a header when its first field is neither a number nor a hue
// notation.
bool isHeaderLine(std::string_view line);

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

// --- the stream
struct StreamSummary {
    long lines = 0;                // colours read (header and blank lines not counted)
    long failed = 0;               // colours that did not convert
    std::vector<long> firstFailed; // input line numbers (1-based) of the first few failures
    std::string error;             // set when the input could not be read or the output written
};

using ConverterFactory = std::function<std::unique_ptr<LineConverter>()>;
// Fills up to `size` bytes of `buffer` with what the input has, waiting only when it has nothing
// yet; 0 at its end. Throws std::runtime_error when the input cannot be read.
using ChunkReader = std::function<std::size_t(char* buffer, std::size_t size)>;

// Reads CSV lines and writes `header` and one converted line per colour to `out`, in input
// order, with `workers` threads each holding a converter made by `factory` in its own thread.
// At most a few batches of `batchLines` lines are held at any time, so memory stays the same
// whatever the input size; whatever has been read is converted and written before waiting for
// more input. With `skipHeader`, a first line that isHeaderLine is skipped.
StreamSummary convertStream(const ChunkReader& read, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers,
                            std::size_t batchLines = 4096, bool skipHeader = true);
StreamSummary convertStream(std::istream& in, std::ostream& out, const std::string& header,
                            const ConverterFactory& factory, int workers,
                            std::size_t batchLines = 4096, bool skipHeader = true);

} // namespace zul::cli
