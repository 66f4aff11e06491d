// `zul batch JOB`: the window's "Import" jobs without a window, same files, same bytes.
#include "app/cli_commands.h"
#include "app/cli_settings.h"
#include "batch/cgats.h"
#include "batch/runner.h"

#include <QCoreApplication>

#include <iostream>

namespace zul {

namespace {

constexpr const char* kBatchSynopsis =
    R"(Usage: zul batch JOB [-i FILE|-] [-o FILE|-] [--palette NAME] [--errors FILE]
                 [--illuminant C|D50|D65] [--pwd] [--gamma G] [--time YYYY-MM-DDTHH:MM:SS]
                 [--format csv|cgats]
)";

constexpr const char* kBatchHelp = R"(
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
  --time T          date and time of the palette records, YYYY-MM-DDTHH:MM:SS
  --format F        csv (the default) or cgats: CGATS.17 input for xyz (SAMPLE_ID, XYZ_X..Z),
                    lab (LAB_L..B) and spectral (SAMPLE_ID, SPECTRAL_NM360..750); CGATS.17
                    output (SAMPLE_ID, XYZ_X..Z, LAB_L..B, RGB_R..B of the converted records)
                    for lab, munsell, steps, checker and chart
  -h, --help        this text

Names without a folder are in the working directory; ccnames.csv is also looked up in the
program's data folder. An output is replaced only when the job ran to its end.

Exit status: 0 every record converted; 1 written, but records failed or were skipped (summary
on standard error); 2 bad usage; 3 nothing written (the previous output untouched).
)";

int usage(const std::string& message) {
    std::cerr << "zul batch: " << message << '\n' << kBatchSynopsis << "Try 'zul batch --help'.\n";
    return 2;
}

} // namespace

int cli::runBatch(const std::vector<std::string>& args, int& argc, char** argv) {
    const batch::Job* job = nullptr;
    cli::WindowSettings settings;
    std::string input, output, palette, errors, time, format = "csv";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kBatchSynopsis << kBatchHelp;
            return 0;
        }
        std::string error;
        if (cli::takeWindowSetting(args, i, settings, error)) {
            if (!error.empty()) return usage(error);
            continue;
        }
        std::string* target = nullptr;
        if (a == "-i") target = &input;
        if (a == "-o") target = &output;
        if (a == "--palette") target = &palette;
        if (a == "--errors") target = &errors;
        if (a == "--time") target = &time;
        if (a == "--format") target = &format;
        if (target) {
            if (i + 1 == args.size()) return usage(a + " needs an argument");
            *target = args[++i];
            continue;
        }
        if (a.size() > 1 && a[0] == '-') return usage("unknown option \"" + a + "\"");
        if (job) return usage("one JOB only, got \"" + a + "\" as well");
        job = batch::jobNamed(a);
        if (!job)
            return usage("unknown job \"" + a +
                         "\" (xyz, 0 munsell, 1 spectral, 2 chart, 3 steps, 4 checker, 6 lab)");
    }
    if (!job) return usage("JOB is required");
    if (format != "csv" && format != "cgats")
        return usage("--format is csv or cgats, not \"" + format + "\"");
    const bool cgats = format == "cgats";
    if (cgats && !batch::readsCgats(*job) && !batch::writesCgats(*job))
        return usage(std::string("job ") + job->name + " neither reads nor writes CGATS");

    batch::RunSettings run;
    if (!time.empty()) {
        const QDateTime t =
            QDateTime::fromString(QString::fromStdString(time), "yyyy-MM-dd'T'HH:mm:ss");
        if (!t.isValid()) return usage("--time takes YYYY-MM-DDTHH:MM:SS, not \"" + time + "\"");
        run.time = t;
    }
    if (!job->output && !output.empty()) return usage("the xyz job writes to --palette, not -o");
    if (job->output && !palette.empty()) return usage("--palette is for the xyz job");

    QCoreApplication app(argc, argv); // finds the data folder beside the executable
    batch::BatchFiles files;
    files.input = input.empty() ? batch::defaultInput(*job) : QString::fromStdString(input);
    if (files.input.isEmpty()) return usage(std::string("job ") + job->name + " needs -i FILE");
    files.output = output.empty() ? QString(job->output) : QString::fromStdString(output);
    if (!job->output) {
        files.palette = palette.empty() ? QString("ZULpalette") : QString::fromStdString(palette);
        if (files.palette.right(4).toLower() != ".csv") files.palette += ".csv";
    }
    files.errors = QString::fromStdString(errors);
    if (cgats && batch::readsCgats(*job))
        files.convertInput = [job](const std::string& in) {
            return batch::cgatsToRecords(*job, in);
        };
    if (cgats && batch::writesCgats(*job))
        files.convertOutput = [job](const std::string& out) {
            return batch::recordsToCgats(*job, out);
        };

    std::string tableError;
    const auto table = cli::loadTable(tableError);
    if (!table) {
        std::cerr << "zul batch: " << tableError << '\n';
        return 3;
    }
    run.options = cli::windowOptions(table, settings);
    const batch::BatchReport report = batch::runBatchFiles(*job, table, files, run);
    if (!report.written) {
        std::cerr << "zul batch: "
                  << (report.error == "File not found" ? files.input.toStdString() + ": " : "")
                  << report.error.toStdString() << "; nothing written\n";
        return report.exitStatus();
    }
    if (job->counts) std::cerr << "zul batch: " << report.countsText().toStdString() << '\n';
    if (report.warnings > 0)
        std::cerr << "zul batch: " << report.warnings
                  << " converted with a message such as \"Format Error\"\n";
    if (report.notConverted() > 0)
        std::cerr << "zul batch: " << report.failureSummary().toStdString() << '\n';
    return report.exitStatus();
}

} // namespace zul
