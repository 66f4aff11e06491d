// `zul table`: the window's "Make Table" without a window, the same bytes.
#include "batch/maketable.h"
#include "batch/output.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "text/errors.h"

#include <QCoreApplication>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    "Usage: zul table [-o FILE|-] [--illuminant C|D50|D65] [--pwd] [--gamma G]\n";

constexpr const char* kHelp = R"(
Writes the Munsell reference table as the main window's "Make Table" does: values 1..9, hue
angles 0..97.5 and chromas 0..30 with X, Y, Z, L*, a*, b* and display R, G, B, tab-separated.

  -o FILE           the table file (default muntable2.prn; "-" standard output)
  --illuminant I    C (the default), D50 or D65
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 (default 2.2)
  -h, --help        this text

Exit status: 0 written; 2 bad usage; 3 nothing written (the previous file untouched).
)";

// Where the table goes: standard output or the file, replaced only when written whole.
int write(const Invocation& inv, const std::string& output, const std::string& bytes) {
    std::unique_ptr<batch::ByteSink> sink;
    if (output == "-") {
        sink = std::make_unique<batch::StdoutSink>();
    } else {
        auto file = std::make_unique<batch::FileSink>(QString::fromStdString(output));
        if (!file->open())
            return inv.fail(output + ": " + file->error().toStdString() + "; nothing written", 3);
        sink = std::move(file);
    }
    if (!sink->write(bytes) || !sink->commit()) {
        const int status =
            inv.fail(output + ": " + sink->error().toStdString() + "; nothing written", 3);
        sink->discard();
        return status;
    }
    return 0;
}

int run(const Invocation& inv) {
    WindowSettings settings;
    std::string output = batch::kTableFile;
    for (const Arg& a : inv.args) {
        std::string error;
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (a.kind == Arg::Kind::Positional)
            error = "unknown argument \"" + a.value + "\"";
        else if (a.is("-o"))
            output = a.value;
        else
            settings.take(a, error);
        if (!error.empty()) return inv.usageError(error);
    }

    QCoreApplication app(inv.argc, inv.argv);
    const auto table = loadTable("table");
    if (!table) return 3;
    std::string bytes;
    try {
        bytes = batch::makeTable(*table, settings.options(table));
    } catch (const Error& e) {
        return inv.fail(std::string(e.what()) + "; nothing written", 3);
    }
    return write(inv, output, bytes);
}

} // namespace

Command tableCommand() {
    std::vector<OptionRule> options = settingOptions();
    options.push_back({"-o", true});
    return {"table",
            "zul table [-o FILE|-] [--illuminant C|D50|D65] [--pwd] [--gamma G]",
            "write the Munsell reference table muntable2.prn",
            kSynopsis,
            kHelp,
            options,
            run,
            {"unknown argument"}};
}

} // namespace zul::cli
