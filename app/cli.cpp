// The command-line face: `zul convert` and the help texts. Runs without any window or display.
#include "app/cli_commands.h"
#include "app/cli_convert.h"
#include "app/entrypoints.h"
#include "munsell/notation.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/datafiles.h"

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

namespace zul {

namespace {

constexpr const char* kUsageHead =
    "Usage: zul                          open the workbench window\n";
constexpr const char* kUsageTail = "       zul --help | zul --version | zul COMMAND --help\n";

std::string usageText() {
    std::string text = kUsageHead;
    for (const cli::Command& c : cli::commands())
        text += std::string("       ") + c.synopsis + "\n                                   " +
                c.summary + "\n";
    return text + kUsageTail;
}

constexpr const char* kConvertSynopsis =
    R"(Usage: zul convert --from munsell|xyz|xy|lab|rgb|cmyk [--illuminant C|D50|D65] [--pwd]
                   [--gamma G] [--adapt] [--raw] [--] [VALUE...]
       zul convert --from FORM [OPTION...] [--columns LIST] [--delimiter ';'] [FILE | -]
)";

constexpr const char* kConvertHelp = R"(
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
Uses every core; memory stays the same whatever the input size.

Exit status: 0 every colour converted; 1 a colour failed (summary on standard error) or
Muncie.dat could not be read; 2 bad usage.
)";

// Whatever the input holds, without waiting for a full buffer: a script that writes a line and
// waits for the answer gets it.
std::size_t readDescriptor(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const auto got = ::read(fd, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw std::runtime_error(std::strerror(errno));
    }
}

int usageError(const std::string& message, const char* usage) {
    std::cerr << message << '\n' << usage;
    return 2;
}

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string failureSummary(const cli::StreamSummary& s) {
    std::ostringstream msg;
    msg << "zul convert: " << s.failed << " of " << s.lines << (s.lines == 1 ? " line" : " lines")
        << " failed (" << (s.failed > static_cast<long>(s.firstFailed.size()) ? "first at " : "")
        << (s.firstFailed.size() == 1 ? "line " : "lines ");
    for (std::size_t i = 0; i < s.firstFailed.size(); ++i)
        msg << (i ? ", " : "") << s.firstFailed[i];
    msg << ")\n";
    return msg.str();
}

} // namespace

int cli::runConvert(const std::vector<std::string>& args, int& argc, char** argv) {
    const std::string usage = std::string(kConvertSynopsis) + "Try 'zul convert --help'.\n";
    cli::ConvertOptions options;
    std::string formText; // as given, for messages
    std::vector<std::string> values;
    bool optionsEnded = false;
    std::string columnList;
    bool delimiterGiven = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || isNumber(a) || a == "-") {
            values.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "-h" || a == "--help") {
            std::cout << kConvertSynopsis << kConvertHelp;
            return 0;
        }
        if (a == "--pwd") {
            options.pwd = true;
            continue;
        }
        if (a == "--raw") {
            options.raw = true;
            continue;
        }
        if (a == "--adapt") {
            options.adapt = true;
            continue;
        }
        // Options with an argument: "--from xyz" or "--from=xyz".
        std::string name = a, arg;
        const std::size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            arg = a.substr(eq + 1);
        }
        if (name != "--from" && name != "--illuminant" && name != "--gamma" &&
            name != "--columns" && name != "--delimiter")
            return usageError("zul convert: unknown option \"" + a + "\"", usage.c_str());
        if (eq == std::string::npos) {
            if (i + 1 == args.size())
                return usageError("zul convert: " + name + " needs an argument", usage.c_str());
            arg = args[++i];
        }
        if (name == "--from") {
            const auto form = cli::formNamed(lowered(arg));
            if (!form)
                return usageError("zul convert: unknown form \"" + arg +
                                      "\" (munsell, xyz, xy, lab, rgb or cmyk)",
                                  usage.c_str());
            options.from = *form;
            formText = lowered(arg);
        } else if (name == "--columns") {
            if (arg.empty())
                return usageError("zul convert: --columns needs a list of columns", usage.c_str());
            columnList = arg;
        } else if (name == "--delimiter") {
            if (arg == ";" || lowered(arg) == "semicolon")
                options.delimiter = ';';
            else if (arg == "," || lowered(arg) == "comma")
                options.delimiter = ',';
            else
                return usageError("zul convert: --delimiter must be ',' or ';', not \"" + arg +
                                      "\"",
                                  usage.c_str());
            delimiterGiven = true;
        } else if (name == "--illuminant") {
            const std::string ill = lowered(arg);
            if (ill == "c")
                options.illuminant = 0;
            else if (ill == "d50")
                options.illuminant = 1;
            else if (ill == "d65")
                options.illuminant = 2;
            else
                return usageError("zul convert: unknown illuminant \"" + arg + "\" (C, D50 or D65)",
                                  usage.c_str());
        } else {
            double gamma = 0;
            try {
                gamma = parseStrict(arg);
            } catch (const Error&) {
                gamma = 0;
            }
            if (!(gamma >= 1 && gamma <= 3))
                return usageError("zul convert: --gamma must be a number from 1 to 3, not \"" +
                                      arg + "\"",
                                  usage.c_str());
            options.gamma = QString::fromStdString(arg);
        }
    }
    if (formText.empty()) return usageError("zul convert: --from is required", usage.c_str());
    // One argument where a colour takes three or four: the file to read, unless it is a whole
    // Munsell notation ("5R 4/14") and no file of that name exists.
    std::string fileName;
    const bool notationValue = values.size() == 1 && options.from == cli::Form::Munsell &&
                               splitMunsellNotation(values.front()) &&
                               !std::filesystem::exists(values.front());
    if (values.size() == 1 && !notationValue) {
        fileName = values.front();
        values.clear();
    }
    const bool fileModes = !columnList.empty() || delimiterGiven || !fileName.empty();
    if (options.raw && fileModes && (!columnList.empty() || delimiterGiven))
        return usageError("zul convert: --raw takes neither --columns nor --delimiter",
                          usage.c_str());
    if (!values.empty() && (!columnList.empty() || delimiterGiven))
        return usageError("zul convert: --columns and --delimiter are for files, not VALUEs",
                          usage.c_str());
    options.explain = fileModes;
    if (options.raw && options.from != cli::Form::Munsell && options.from != cli::Form::Xyz)
        return usageError("zul convert: --raw is for --from munsell or xyz only", usage.c_str());
    const bool oneNotation = options.from == cli::Form::Munsell && values.size() == 1;
    if (!values.empty() && !oneNotation &&
        static_cast<int>(values.size()) != cli::fieldCount(options.from))
        return usageError("zul convert: --from " + formText + " takes " +
                              std::to_string(cli::fieldCount(options.from)) + " values (" +
                              cli::fieldNames(options.from) + "), got " +
                              std::to_string(values.size()),
                          usage.c_str());

    QCoreApplication app(argc, argv); // finds the data folder beside the executable
    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(findDataFile("Muncie.dat").toStdString());
    } catch (const Error& e) {
        std::cerr << "zul convert: " << e.what() << '\n';
        return 1;
    }
    const cli::ConverterFactory factory = [&] { return cli::makeConverter(table, options); };
    const std::string header = cli::outputHeader(options);

    cli::StreamSummary summary;
    if (!values.empty()) {
        // Each value goes into its field as typed, commas and line breaks included.
        std::string out = header;
        summary.lines = 1;
        if (!factory()->convert(values, out)) {
            summary.failed = 1;
            summary.firstFailed = {1};
        }
        std::cout << out << std::flush;
        if (!std::cout) summary.error = "the output could not be written";
    } else {
        int input = STDIN_FILENO;
        if (!fileName.empty() && fileName != "-") {
            input = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
            if (input < 0) {
                std::cerr << "zul convert: cannot read \"" << fileName
                          << "\": " << std::strerror(errno) << '\n';
                return 1;
            }
        } else if (::isatty(STDIN_FILENO)) {
            std::cerr << "zul convert: reading " << cli::fieldNames(options.from)
                      << " from the terminal, one colour a line, Ctrl-D to end (zul convert "
                         "--help)\n";
        }
        const ChunkReader read = [input](char* buffer, std::size_t size) {
            return readDescriptor(input, buffer, size);
        };
        const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        if (!fileModes) {
            summary = cli::convertStream(read, std::cout, header, factory, workers);
        } else {
            // The first line decides the columns and whether it is a header.
            cli::FirstLine first;
            try {
                first = cli::readFirstLine(read);
            } catch (const std::exception& e) {
                std::cerr << "zul convert: " << e.what() << '\n';
                return 1;
            }
            bool isHeader = false;
            const std::string problem =
                cli::resolveColumns(columnList, first.text, options, isHeader);
            if (!problem.empty()) return usageError("zul convert: " + problem, usage.c_str());
            summary = cli::convertStream(first.again, std::cout, cli::outputHeader(options),
                                         factory, workers, 4096, isHeader, options.delimiter, true);
        }
        if (input != STDIN_FILENO) ::close(input);
    }
    if (!summary.error.empty()) {
        std::cerr << "zul convert: " << summary.error << '\n';
        return 1;
    }
    if (summary.failed > 0) {
        std::cerr << failureSummary(summary);
        return 1;
    }
    return 0;
}

int runCli(int argc, char** argv) {
    // Large writes, no synchronisation with C stdio.
    std::ios::sync_with_stdio(false);

    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string& command = args.front();
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << usageText();
        return 0;
    }
    if (command == "--version") {
        std::cout << "zul " ZUL_VERSION "\n";
        return 0;
    }
    for (const cli::Command& c : cli::commands())
        if (command == c.name)
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()), argc, argv);
    return usageError("zul: unknown command \"" + command + "\"", usageText().c_str());
}

} // namespace zul
