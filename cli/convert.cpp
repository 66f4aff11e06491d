// `zul convert`: colours typed into one entry form, converted as the main window converts them.
#include "cli/convert.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "munsell/notation.h"
#include "text/numtext.h"
#include "text/printable.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    R"(Usage: zul convert --from munsell|xyz|xy|lab|rgb|cmyk [--illuminant C|D50|D65] [--pwd]
                   [--gamma G] [--adapt] [--raw] [--] [VALUE...]
       zul convert --from FORM [OPTION...] [--columns LIST] [--delimiter ';'] [FILE | -]
)";

constexpr const char* kHelp = R"(
Converts colours as the main window does: the values go into the entry fields of FORM, Enter
runs that form's chain from the start-up state with the options below, and every form is read.

  --from FORM       the entry form; its values, in order:
                      munsell  hue notation, value, chroma   (5R, 4, 10), or the
                               notation in one ("5R 4/10", "N 5/")
                      xyz      X, Y, Z   (Y 0..100)
                      xy       x, y, Y
                      lab      L*, a*, b*
                      rgb      R, G, B   (0..255)
                      cmyk     C, M, Y, K   (percent)
  --illuminant I    C (illuminant C 2 deg, the default), D50 (2 deg) or D65 (10 deg)
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 in steps of 0.1, as the gamma slider (default 2.2)
  --adapt           XYZ, x y, CIELAB and RGB entries are colours under the --illuminant and are
                    adapted to C before the Munsell search ("Adapt entries to the illuminant");
                    without it they are read as illuminant C
  --columns LIST    the input columns holding FORM's values, in FORM's order, by header name
                    (--columns X,Y,Z) or number from 1 (--columns 2,3,4), or every column of
                    the header, FORM's found by their names (--columns id,X,Y,Z); the other
                    columns (sample IDs, ...) are copied to the output before the results
  --delimiter D     ',' (the default) or ';': a semicolon file, read and written; its numbers
                    may have a decimal comma, and are written with one
  --raw             the engine's unrounded results, 9 significant digits; munsell and xyz only:
                      munsell  hue,value,chroma,X,Y,Z,x,y,note (value clamped to 9.5)
                      xyz      hue,value,chroma,extrapolated,note (XYZ under illuminant C;
                               extrapolated: 0 none, 1 lower value level, 2 upper, 3 both)
  --                ends the options; negative numbers are taken as values anyway
  -h, --help        this text

With VALUEs, converts that one colour. Without, reads CSV from FILE, or from standard input
when FILE is - or missing, one colour a line; a first line whose first field (with --columns:
the first of FORM's columns) is neither a number nor a hue notation is a header and skipped,
blank lines are passed over. Writes CSV to standard output, in input order:
  hue,value,chroma,X,Y,Z,x,y,L*,a*,b*,R,G,B,C,M,Ye,K,note
with the texts the window shows; fields the chain did not fill are empty. note holds the
error, the extrapolation mark or the range warning; reading a FILE, --columns or --delimiter,
it gives the reason as the window's Messages field does (Value: "4,5" is not a number; use a
point). A text a spreadsheet would take for a formula (=, +, @, - before no number) gets a
leading apostrophe. A failing line does not stop the stream; with --columns its copied
columns and its values still stand in it.
Uses every core; memory stays the same whatever the input size. A line longer than 1 MiB is
not read: its row gives the reason, standard error its number.

Exit status: 0 every colour converted; 1 a colour failed (summary on standard error) or
Muncie.dat could not be read; 2 bad usage.
)";

// What the command line asks for.
struct Request {
    ConvertOptions options;
    bool formGiven = false;
    std::vector<std::string> values;
    std::string columnList;
    bool delimiterGiven = false;
    std::string fileName; // empty: the values, or standard input
    bool fileModes = false;
};

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The message for a bad value of an option of convert's own; empty when taken.
std::string takeOption(const Arg& a, Request& r) {
    if (a.is("--raw")) {
        r.options.raw = true;
    } else if (a.is("--from")) {
        const auto form = entryFormNamed(lowered(a.value));
        if (!form) return "unknown form \"" + a.value + "\" (munsell, xyz, xy, lab, rgb or cmyk)";
        r.options.from = *form;
        r.formGiven = true;
    } else if (a.is("--columns")) {
        if (a.value.empty()) return "--columns needs a list of columns";
        r.columnList = a.value;
    } else if (a.is("--delimiter")) {
        if (a.value == ";" || lowered(a.value) == "semicolon")
            r.options.delimiter = ';';
        else if (a.value == "," || lowered(a.value) == "comma")
            r.options.delimiter = ',';
        else
            return "--delimiter must be ',' or ';', not \"" + a.value + "\"";
        r.delimiterGiven = true;
    }
    return {};
}

// The options in order; -1 to go on, else the exit status.
int readArguments(const Invocation& inv, Request& r) {
    for (const Arg& a : inv.args) {
        std::string error;
        if (a.kind == Arg::Kind::Positional)
            r.values.push_back(a.value);
        else if (a.kind != Arg::Kind::Option)
            return inv.stop(a);
        else if (!r.options.settings.take(a, error))
            error = takeOption(a, r);
        if (!error.empty()) return inv.usageError(error);
    }
    return -1;
}

// Decides between values and a file, and checks the options fit; the usage error or empty.
std::string settle(Request& r) {
    if (!r.formGiven) return "--from is required";
    const Form form = r.options.from;
    // One argument where a colour takes three or four: the file to read, unless it is a whole
    // Munsell notation ("5R 4/14") and no file of that name exists.
    const bool notationValue = r.values.size() == 1 && form == Form::Munsell &&
                               splitMunsellNotation(r.values.front()) &&
                               !std::filesystem::exists(r.values.front());
    if (r.values.size() == 1 && !notationValue) {
        r.fileName = r.values.front();
        r.values.clear();
    }
    const bool fileOptions = !r.columnList.empty() || r.delimiterGiven;
    r.fileModes = fileOptions || !r.fileName.empty();
    if (r.options.raw && fileOptions) return "--raw takes neither --columns nor --delimiter";
    if (!r.values.empty() && fileOptions)
        return "--columns and --delimiter are for files, not VALUEs";
    r.options.explain = r.fileModes;
    if (r.options.raw && form != Form::Munsell && form != Form::Xyz)
        return "--raw is for --from munsell or xyz only";
    const bool oneNotation = form == Form::Munsell && r.values.size() == 1;
    if (!r.values.empty() && !oneNotation && static_cast<int>(r.values.size()) != fieldCount(form))
        return "--from " + std::string(formName(form)) + " takes " +
               std::to_string(fieldCount(form)) + " values (" + fieldNames(form) + "), got " +
               std::to_string(r.values.size());
    return {};
}

// Whatever the input holds, without waiting for a full buffer: a script that writes a line and
// waits for the answer gets it.
std::size_t readDescriptor(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const auto got = ::read(fd, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw std::runtime_error(std::strerror(errno));
    }
}

// The one colour of the VALUEs, each typed into its field as given, commas and line breaks
// included.
StreamSummary convertValues(const Request& r, const ConverterFactory& factory) {
    StreamSummary summary;
    std::string out = outputHeader(r.options);
    summary.lines = 1;
    if (!factory()->convert(r.values, out)) {
        summary.failed = 1;
        summary.firstFailed = {1};
    }
    std::cout << out << std::flush;
    if (!std::cout) summary.error = "the output could not be written";
    return summary;
}

// A Munsell argument that names no file and reads as a notation that went wrong ("7,5YR 5/6"):
// a notation has a blank between hue and value, a file name of colours an extension.
bool meantAsNotation(const Request& r) {
    if (r.options.from != Form::Munsell) return false;
    const std::string& t = r.fileName;
    return t.find(' ') != std::string::npos || t.find('.') == std::string::npos;
}

std::string inputName(const Request& r) {
    return r.fileName.empty() || r.fileName == "-" ? "standard input" : '"' + r.fileName + '"';
}

// The input, a file or standard input, converted line by line; -1 to go on, else the exit
// status of a failure before the stream ran.
int convertInput(const Invocation& inv, Request& r, const ConverterFactory& factory,
                 StreamSummary& summary) {
    int input = STDIN_FILENO;
    if (!r.fileName.empty() && r.fileName != "-") {
        input = ::open(r.fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (input < 0 && errno == ENOENT && meantAsNotation(r))
            return inv.fail("not a Munsell notation: \"" + r.fileName + "\"");
        if (input < 0)
            return inv.fail("cannot read \"" + r.fileName + "\": " + std::strerror(errno));
    } else if (::isatty(STDIN_FILENO)) {
        std::cerr << "zul convert: reading " << fieldNames(r.options.from)
                  << " from the terminal, one colour a line, Ctrl-D to end (zul convert "
                     "--help)\n";
    }
    const ChunkReader read = [input](char* buffer, std::size_t size) {
        return readDescriptor(input, buffer, size);
    };
    const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int status = -1;
    if (!r.fileModes) {
        summary = convertStream(read, std::cout, outputHeader(r.options), factory, workers);
    } else {
        // The first line decides the columns and whether it is a header.
        FirstLine first;
        std::string problem;
        bool isHeader = false;
        try {
            first = readFirstLine(read);
            problem = resolveColumns(r.columnList, first.text, r.options, isHeader);
        } catch (const std::exception& e) {
            status = inv.fail(e.what());
        }
        if (status < 0 && !problem.empty() && first.tooLong)
            status = inv.fail(inputName(r) + ": line 1 is longer than " + maxLineLengthText() +
                              "; no column names are read from it");
        if (status < 0 && !problem.empty()) status = inv.usageError(problem);
        if (status < 0)
            summary = convertStream(first.again, std::cout, outputHeader(r.options), factory,
                                    workers, 4096, isHeader, r.options.delimiter, true);
    }
    if (input != STDIN_FILENO) ::close(input);
    return status;
}

std::string failureSummary(const StreamSummary& s) {
    std::ostringstream msg;
    msg << "zul convert: " << s.failed << " of " << s.lines << (s.lines == 1 ? " line" : " lines")
        << " failed (" << (s.failed > static_cast<long>(s.firstFailed.size()) ? "first at " : "")
        << (s.firstFailed.size() == 1 ? "line " : "lines ");
    for (std::size_t i = 0; i < s.firstFailed.size(); ++i)
        msg << (i ? ", " : "") << s.firstFailed[i];
    msg << ")\n";
    return msg.str();
}

int exitStatus(const Invocation& inv, const Request& r, const StreamSummary& summary) {
    if (summary.tooLong > 0)
        std::cerr << "zul convert: "
                  << printable(inputName(r) + ": line " + std::to_string(summary.firstTooLong) +
                               (summary.tooLong > 1
                                    ? " and " + std::to_string(summary.tooLong - 1) + " more are"
                                    : " is") +
                               " longer than " + maxLineLengthText() + "; skipped")
                  << '\n';
    if (!summary.error.empty()) return inv.fail(summary.error);
    if (summary.failed > 0) {
        std::cerr << failureSummary(summary);
        return 1;
    }
    return 0;
}

int run(const Invocation& inv) {
    Request r;
    if (const int status = readArguments(inv, r); status >= 0) return status;
    if (const std::string problem = settle(r); !problem.empty()) return inv.usageError(problem);

    QCoreApplication app(inv.argc, inv.argv); // finds the data folder beside the executable
    const auto table = loadTable("convert");
    if (!table) return 1;
    const ConvertOptions& options = r.options;
    const ConverterFactory factory = [&] { return makeConverter(table, options); };
    StreamSummary summary;
    if (!r.values.empty())
        summary = convertValues(r, factory);
    else if (const int status = convertInput(inv, r, factory, summary); status >= 0)
        return status;
    return exitStatus(inv, r, summary);
}

} // namespace

Command convertCommand() {
    std::vector<OptionRule> options = settingOptions(true);
    options.insert(
        options.end(),
        {{"--from", true}, {"--raw", false}, {"--columns", true}, {"--delimiter", true}});
    return {"convert",
            "zul convert --from FORM [OPTION...] [--] [VALUE... | FILE]",
            "convert colours without a window",
            kSynopsis,
            kHelp,
            options,
            run};
}

} // namespace zul::cli
