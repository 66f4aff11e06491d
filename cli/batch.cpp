// `zul batch JOB`: the window's "Import" jobs without a window, same files, same bytes.
#include "batch/cgatsjob.h"
#include "batch/runner.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "text/printable.h"

#include <QCoreApplication>

#include <iostream>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    R"(Usage: zul batch JOB [-i FILE|-] [-o FILE|-] [--palette NAME] [--errors FILE]
                 [--illuminant C|D50|D65] [--pwd] [--gamma G] [--adapt]
                 [--time YYYY-MM-DDTHH:MM:SS] [--format csv|cgats]
)";

constexpr const char* kHelp = R"(
Converts a whole file of colours as the main window's "Import" does, record by record through
the window's entry chains, and writes the job's output table (or, for xyz, palette records).

  JOB               code or name:
                      xyz   xyz       tag,X,Y,Z            -> palette (--palette, ZULpalette.csv)
                      6     lab       L*,a*,b*             lab_sRGB.csv  -> lab_sRGB.txt
                      0     munsell   hue,value,chroma     (-i needed)   -> tempOUT.txt
                      3     steps     hue TAB value TAB chroma  steps.txt -> stepsMUNSELL.txt
                      4     checker   2 texts,hue,value,chroma  ccnames.csv -> cchecker.csv
                      2     chart     3 texts,hue,value,chroma  RHScolors.txt
                                                           -> RHScolorsMUNSELL.txt
                      1     spectral  3 texts, 40 reflectances 360..750 nm, rest of line
                                                           munfile1.txt  -> munout.txt
                    a Munsell colour may also be one field: "5R 4/14", "N 5/"
  -i FILE           input instead of the default ("-" standard input)
  -o FILE           output instead of the default ("-" standard output)
  --palette NAME    palette file of the xyz job (".csv" added when missing)
  --errors FILE     one line per failed or skipped record: line,input,reason
  --illuminant I    C (the default), D50 or D65
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 (default 2.2)
  --adapt           XYZ, CIELAB and RGB entries are colours under the --illuminant, adapted to C
                    before the Munsell search ("Adapt entries to the illuminant")
  --time T          date and time of the palette records, YYYY-MM-DDTHH:MM:SS
  --format F        csv (the default) or cgats: CGATS.17 input for xyz (SAMPLE_ID, XYZ_X..Z),
                    lab (LAB_L..B) and spectral (SAMPLE_ID, SPECTRAL_NM360..750); CGATS.17
                    output (SAMPLE_ID, XYZ_X..Z, LAB_L..B, RGB_R..B of the converted records)
                    for lab, munsell, steps, checker and chart
  -h, --help        this text

Names without a folder are in the working directory; ccnames.csv is also looked up in the
program's data folder. An output is replaced only when the job ran to its end. A line longer
than 1 MiB is not read: it is a skipped record, its number on standard error.

Exit status: 0 every record converted; 1 written, but records failed or were skipped (summary
on standard error); 2 bad usage; 3 nothing written (the previous output untouched).
)";

struct Request {
    const batch::Job* job = nullptr;
    WindowSettings settings;
    std::string input, output, palette, errors, time, format = "csv";
};

// The message for an argument that is not right; empty when taken.
std::string take(const Arg& a, Request& r) {
    if (a.kind == Arg::Kind::Positional) {
        if (r.job) return "one JOB only, got \"" + a.value + "\" as well";
        r.job = batch::jobNamed(a.value);
        if (!r.job)
            return "unknown job \"" + a.value +
                   "\" (xyz, 0 munsell, 1 spectral, 2 chart, 3 steps, 4 checker, 6 lab)";
        return {};
    }
    std::string error;
    if (r.settings.take(a, error)) return error;
    std::string* const targets[] = {&r.input, &r.output, &r.palette, &r.errors, &r.time, &r.format};
    const char* const names[] = {"-i", "-o", "--palette", "--errors", "--time", "--format"};
    for (std::size_t k = 0; k < std::size(names); ++k)
        if (a.is(names[k])) *targets[k] = a.value;
    return {};
}

// The files of the job; the usage error or empty.
std::string files(const Request& r, batch::BatchFiles& files) {
    const batch::Job& job = *r.job;
    files.input = r.input.empty() ? batch::defaultInput(job) : QString::fromStdString(r.input);
    if (files.input.isEmpty()) return std::string("job ") + job.name + " needs -i FILE";
    files.output = r.output.empty() ? QString(job.output) : QString::fromStdString(r.output);
    if (!job.output) {
        files.palette =
            r.palette.empty() ? QString("ZULpalette") : QString::fromStdString(r.palette);
        if (files.palette.right(4).toLower() != ".csv") files.palette += ".csv";
    }
    files.errors = QString::fromStdString(r.errors);
    const bool cgats = r.format == "cgats";
    if (cgats && batch::readsCgats(job))
        // A refusal names the file it refuses.
        files.convertInput = [&job, name = files.input.toStdString()](const std::string& in) {
            try {
                return batch::cgatsToRecords(job, in);
            } catch (const batch::CgatsError& e) {
                throw batch::CgatsError(name + ": " + e.what());
            }
        };
    if (cgats && batch::writesCgats(job))
        files.convertOutput = [&job](const std::string& out) {
            return batch::recordsToCgats(job, out);
        };
    return {};
}

int report(const Invocation& inv, const batch::Job& job, const batch::BatchFiles& files,
           const batch::BatchReport& report) {
    if (!report.written)
        return inv.fail(
            (report.error == "File not found" ? files.input.toStdString() + ": " : std::string()) +
                report.error.toStdString() + "; nothing written",
            report.exitStatus());
    if (job.counts) std::cerr << "zul batch: " << report.countsText().toStdString() << '\n';
    if (report.warnings > 0)
        std::cerr << "zul batch: " << report.warnings
                  << " converted with a message such as \"Format Error\"\n";
    if (report.tooLong > 0)
        std::cerr << "zul batch: "
                  << printable(
                         (files.input == "-" ? QString("standard input") : '"' + files.input + '"')
                             .toStdString() +
                         ": " + report.tooLongSummary().toStdString())
                  << '\n';
    if (report.notConverted() > 0)
        std::cerr << "zul batch: " << printable(report.failureSummary().toStdString()) << '\n';
    return report.exitStatus();
}

int run(const Invocation& inv) {
    Request r;
    for (const Arg& a : inv.args) {
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (const std::string error = take(a, r); !error.empty()) return inv.usageError(error);
    }
    if (!r.job) return inv.usageError("JOB is required");
    const batch::Job& job = *r.job;
    if (r.format != "csv" && r.format != "cgats")
        return inv.usageError("--format is csv or cgats, not \"" + r.format + "\"");
    if (r.format == "cgats" && !batch::readsCgats(job) && !batch::writesCgats(job))
        return inv.usageError(std::string("job ") + job.name + " neither reads nor writes CGATS");

    batch::RunSettings run;
    if (!r.time.empty()) {
        const QDateTime t =
            QDateTime::fromString(QString::fromStdString(r.time), "yyyy-MM-dd'T'HH:mm:ss");
        if (!t.isValid())
            return inv.usageError("--time takes YYYY-MM-DDTHH:MM:SS, not \"" + r.time + "\"");
        run.time = t;
    }
    if (!job.output && !r.output.empty())
        return inv.usageError("the xyz job writes to --palette, not -o");
    if (job.output && !r.palette.empty()) return inv.usageError("--palette is for the xyz job");

    QCoreApplication app(inv.argc, inv.argv); // finds the data folder beside the executable
    batch::BatchFiles batchFiles;
    if (const std::string error = files(r, batchFiles); !error.empty())
        return inv.usageError(error);
    const auto table = loadTable("batch");
    if (!table) return 3;
    run.options = r.settings.options(table);
    return report(inv, job, batchFiles, batch::runBatchFiles(job, table, batchFiles, run));
}

} // namespace

Command batchCommand() {
    return {"batch",
            "zul batch JOB [-i FILE|-] [-o FILE|-] [--palette NAME] [OPTION...]",
            "convert a whole file as the window's Import does",
            kSynopsis,
            kHelp,
            settingOptions(true, {{"-i", true},
                                  {"-o", true},
                                  {"--palette", true},
                                  {"--errors", true},
                                  {"--time", true},
                                  {"--format", true}}),
            run};
}

} // namespace zul::cli
