// `zul qc`: samples judged against a standard within a tolerance, the samples read exactly as
// `zul convert` reads them.
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/convert.h"
#include "munsell/hue.h"
#include "qc/reading.h"
#include "qc/report.h"
#include "records/csvline.h"
#include "text/numtext.h"
#include "workbench/dialogs.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace zul::cli {

namespace {

constexpr const char* kUsage =
    R"(Usage: zul qc --standard TEXT --from FORM [--columns LIST] [--delimiter ';'] [FILE | -]
              [--formula de76|de94|de94t|cmc|de00] [--lc L:C] [--limit X] [--warn F]
              [--limit-l X] [--limit-c X] [--limit-h X]
              [--illuminant C|D50|D65] [--pwd] [--gamma G] [--adapt]
)";

constexpr const char* kHelp = R"(
Judges samples against a standard: every sample's CIELAB differences by every formula, its
Munsell differences, and a verdict by the chosen formula.

  --standard TEXT   the standard: a Munsell notation ("5R 4/14"), CIELAB as three numbers
                    ("52.1,40.5,20.2"), or any entry form by name ("xyz:41.2,21.3,1.9",
                    "rgb:200,40,40"); read as the main window reads that form
  --from FORM       the samples' entry form, as for zul convert: munsell, xyz, xy, lab, rgb,
                    cmyk
  --columns LIST    the input columns holding FORM's values, as for zul convert; the other
                    columns (sample IDs, ...) are copied before the results
  --delimiter D     ',' (the default) or ';' with decimal commas, as for zul convert
  --formula F       the formula of the verdict: de76 (CIE 1976), de94 (CIE 94, graphic arts),
                    de94t (CIE 94, textiles), cmc (CMC l:c), de00 (CIEDE2000, the default)
  --lc L:C          the CMC weights (default 2:1)
  --limit X         the tolerance (default 1.0)
  --warn F          the warning fraction of the limit (default 0.8)
  --limit-l X, --limit-c X, --limit-h X
                    limits on |dL*|, |dC*|, |dH*| as well (CIELAB units)
  --illuminant, --pwd, --gamma, --adapt   the window's settings, as for zul convert
  -h, --help        this text

Reads CSV from FILE, or from standard input when FILE is - or missing, as zul convert does.
Writes CSV to standard output, one line a sample in input order:
  id,L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict
Differences are sample minus standard; dH* is signed (positive: anticlockwise in a*b*). dE94
is for graphic arts unless --formula de94t, dECMC is 2:1 unless --lc. The verdict is PASS,
WARN (above F x X) or FAIL (above X); a line that gave no colour has "ERROR: reason". Without
--columns, id is the sample's number. L*, a*, b* are the values the window shows (two
decimals) and the verdict judges them unrounded.

Exit status: 0 every sample PASS or WARN; 1 a sample FAIL or a line not read (summary on
standard error) or Muncie.dat could not be read; 2 bad usage or a standard that does not read.
)";

constexpr int kResultFields = 19; // the columns of a converted line after the copied ones

struct Request {
    ConvertOptions options;
    bool formGiven = false;
    std::string standard;
    std::string columnList;
    std::string fileName;
    bool delimiterGiven = false;
    QcTolerance tolerance;
};

std::string positiveNumber(const Arg& a, double& out) {
    if (isNumber(a.value)) {
        const double v = parseStrict(a.value);
        if (v > 0 && std::isfinite(v)) {
            out = v;
            return {};
        }
    }
    return a.name + " must be a number above 0, not \"" + a.value + "\"";
}

std::string takeOption(const Arg& a, Request& r) {
    QcTolerance& t = r.tolerance;
    double v = 0;
    std::string error;
    if (a.is("--standard")) {
        r.standard = a.value;
    } else if (a.is("--from")) {
        const auto form = formNamed(a.value);
        if (!form) return "unknown form \"" + a.value + "\" (munsell, xyz, xy, lab, rgb or cmyk)";
        r.options.from = *form;
        r.formGiven = true;
    } else if (a.is("--columns")) {
        if (a.value.empty()) return "--columns needs a list of columns";
        r.columnList = a.value;
    } else if (a.is("--delimiter")) {
        const std::string word = a.value == ";" ? "semicolon" : a.value == "," ? "comma" : a.value;
        if (word != "semicolon" && word != "comma")
            return "--delimiter must be ',' or ';', not \"" + a.value + "\"";
        r.options.delimiter = word == "semicolon" ? ';' : ',';
        r.delimiterGiven = true;
    } else if (a.is("--formula")) {
        const auto f = qcFormulaNamed(a.value);
        if (!f) return "unknown formula \"" + a.value + "\" (de76, de94, de94t, cmc or de00)";
        t.formula = *f;
    } else if (a.is("--lc")) {
        const std::size_t colon = a.value.find(':');
        const std::string l = a.value.substr(0, colon);
        const std::string c = colon == std::string::npos ? "" : a.value.substr(colon + 1);
        if (!isNumber(l) || !isNumber(c) || !(parseStrict(l) > 0) || !(parseStrict(c) > 0) ||
            !std::isfinite(parseStrict(l)) || !std::isfinite(parseStrict(c)))
            return "--lc must be two numbers above 0 as L:C (2:1), not \"" + a.value + "\"";
        t.lc = {parseStrict(l), parseStrict(c)};
    } else if (a.is("--limit")) {
        error = positiveNumber(a, t.limit);
    } else if (a.is("--warn")) {
        error = positiveNumber(a, t.warn);
        if (error.empty() && t.warn > 1)
            error = "--warn must be a fraction of the limit, 0 to 1, not \"" + a.value + "\"";
    } else if (a.is("--limit-l") || a.is("--limit-c") || a.is("--limit-h")) {
        error = positiveNumber(a, v);
        (a.is("--limit-l") ? t.limitL : a.is("--limit-c") ? t.limitC : t.limitH) = v;
    }
    return error;
}

// Each line through `zul convert`'s converter, its CIELAB and Munsell texts judged. One worker:
// without --columns a sample's number is its ID.
class QcConverter : public LineConverter {
public:
    QcConverter(std::unique_ptr<LineConverter> inner, const QcReport& report,
                const ConvertOptions& options, std::atomic<long>& failing)
        : m_inner(std::move(inner)), m_report(report), m_options(options), m_failing(failing) {}

    bool convert(const std::vector<std::string>& fields, std::string& out) override {
        std::string line;
        m_inner->convert(fields, line);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        splitCsvLine(line, m_parts, m_options.delimiter);
        QcSample s;
        std::size_t first = 0;
        if (m_options.columns.empty()) {
            s.ids = {std::to_string(++m_number)};
        } else {
            first = otherColumns(m_options.columns, static_cast<int>(fields.size())).size();
            s.ids.assign(m_parts.begin(),
                         m_parts.begin() + static_cast<long>(std::min(first, m_parts.size())));
        }
        m_parts.resize(std::max(m_parts.size(), first + kResultFields));
        auto number = [&](int i) -> std::optional<double> {
            const std::string text =
                decimalPointText(m_parts[first + static_cast<std::size_t>(i)], m_options.delimiter);
            if (!isNumber(text)) return std::nullopt;
            return parseStrict(text);
        };
        const auto l = number(8), a = number(9), b = number(10);
        if (l && a && b) {
            QcColour c;
            c.lab = {*l, *a, *b};
            std::string hue = m_parts[first];
            bool formatError = hue.empty();
            const float step = formatError ? 0 : converth(hue, &formatError);
            if (const auto v = number(1), ch = number(2); v && ch && !formatError) {
                c.hasMunsell = true;
                c.hueStep = step;
                c.value = *v;
                c.chroma = *ch;
            }
            s.colour = c;
            s.result = evaluate(m_report.standard, c, m_report.tolerance);
            if (s.result.verdict == QcVerdict::Fail) ++m_failing;
        } else {
            s.error = m_parts[first + kResultFields - 1];
            if (s.error.empty()) s.error = "no CIELAB values";
        }
        appendQcRow(out, s, m_options.delimiter);
        return s.colour.has_value();
    }

private:
    std::unique_ptr<LineConverter> m_inner;
    const QcReport& m_report;
    const ConvertOptions& m_options;
    std::atomic<long>& m_failing;
    std::vector<std::string> m_parts;
    long m_number = 0;
};

std::size_t readAll(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const auto got = ::read(fd, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw std::runtime_error(std::strerror(errno));
    }
}

int run(const Invocation& inv) {
    Request r;
    for (const Arg& a : inv.args) {
        std::string error;
        if (a.kind == Arg::Kind::Positional) {
            if (!r.fileName.empty()) return inv.usageError("one FILE at most");
            r.fileName = a.value;
        } else if (a.kind != Arg::Kind::Option) {
            return inv.stop(a);
        } else if (!r.options.settings.take(a, error)) {
            error = takeOption(a, r);
        }
        if (!error.empty()) return inv.usageError(error);
    }
    if (r.standard.empty()) return inv.usageError("--standard is required");
    if (!r.formGiven) return inv.usageError("--from is required");
    const auto standardText = splitColourText(r.standard);
    if (!standardText)
        return inv.usageError("--standard \"" + r.standard +
                              "\" is neither a Munsell notation, three CIELAB numbers nor "
                              "FORM:values");

    QCoreApplication app(inv.argc, inv.argv);
    const auto table = loadTable("qc");
    if (!table) return 1;

    QcReport report;
    report.tolerance = r.tolerance;
    {
        EntryConverter converter(table, r.options.settings.options(table));
        const QcReading standard = readColour(converter, standardText->form, standardText->fields);
        if (!standard.colour)
            return inv.usageError("--standard \"" + r.standard + "\": " + standard.error);
        report.standard = *standard.colour;
    }

    int input = STDIN_FILENO;
    if (!r.fileName.empty() && r.fileName != "-") {
        input = ::open(r.fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (input < 0)
            return inv.fail("cannot read \"" + r.fileName + "\": " + std::strerror(errno));
    }
    const ChunkReader read = [input](char* b, std::size_t n) { return readAll(input, b, n); };
    // As zul convert: a file, --columns or --delimiter read the first line ahead and give the
    // reasons in the Messages field's words.
    const bool fileModes = !r.columnList.empty() || r.delimiterGiven || !r.fileName.empty();
    r.options.explain = fileModes;
    std::atomic<long> failing = 0;
    StreamSummary summary;
    int status = -1;
    const ConverterFactory factory = [&] {
        return std::make_unique<QcConverter>(makeConverter(table, r.options), report, r.options,
                                             failing);
    };
    try {
        if (!fileModes) {
            summary = convertStream(read, std::cout, qcHeader({"id"}), factory, 1);
        } else {
            FirstLine first = readFirstLine(read);
            bool isHeader = false;
            const std::string problem =
                resolveColumns(r.columnList, first.text, r.options, isHeader);
            const std::vector<std::string> ids =
                r.options.columns.empty() ? std::vector<std::string>{"id"} : r.options.otherNames;
            if (!problem.empty())
                status = inv.usageError(problem);
            else
                summary = convertStream(first.again, std::cout, qcHeader(ids, r.options.delimiter),
                                        factory, 1, 4096, isHeader, r.options.delimiter, true);
        }
    } catch (const std::exception& e) {
        status = inv.fail(e.what());
    }
    if (input != STDIN_FILENO) ::close(input);
    if (status >= 0) return status;
    if (!summary.error.empty()) return inv.fail(summary.error);
    if (failing == 0 && summary.failed == 0) return 0;
    std::ostringstream msg;
    msg << failing << " of " << summary.lines << " samples failed the tolerance";
    if (summary.failed > 0) {
        msg << "; " << summary.failed << (summary.failed == 1 ? " line" : " lines")
            << " not read (line";
        for (std::size_t i = 0; i < summary.firstFailed.size(); ++i)
            msg << (i ? ", " : " ") << summary.firstFailed[i];
        msg << ')';
    }
    return inv.fail(msg.str());
}

} // namespace

Command qcCommand() {
    return {"qc",
            "zul qc --standard TEXT --from FORM [OPTION...] [FILE | -]",
            "judge samples against a standard within a colour-difference tolerance",
            kUsage,
            kHelp,
            settingOptions(true, {{"--standard", true},
                                  {"--from", true},
                                  {"--columns", true},
                                  {"--delimiter", true},
                                  {"--formula", true},
                                  {"--lc", true},
                                  {"--limit", true},
                                  {"--warn", true},
                                  {"--limit-l", true},
                                  {"--limit-c", true},
                                  {"--limit-h", true}}),
            run};
}

} // namespace zul::cli
