// `zul table`: the window's "Make Table" without a window, the same bytes.
#include "app/cli_commands.h"
#include "app/cli_settings.h"
#include "batch/maketable.h"
#include "batch/output.h"
#include "text/errors.h"

#include <QCoreApplication>

#include <iostream>

namespace zul {

namespace {

constexpr const char* kTableSynopsis =
    "Usage: zul table [-o FILE|-] [--illuminant C|D50|D65] [--pwd] [--gamma G]\n";

constexpr const char* kTableHelp = R"(
Writes the Munsell reference table as the main window's "Make Table" does: values 1..9, hue
angles 0..97.5 and chromas 0..30 with X, Y, Z, L*, a*, b* and display R, G, B, tab-separated.

  -o FILE           the table file (default muntable2.prn; "-" standard output)
  --illuminant I    C (the default), D50 or D65
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 (default 2.2)
  -h, --help        this text

Exit status: 0 written; 2 bad usage; 3 nothing written (the previous file untouched).
)";

int usage(const std::string& message) {
    std::cerr << "zul table: " << message << '\n' << kTableSynopsis << "Try 'zul table --help'.\n";
    return 2;
}

} // namespace

int cli::runTable(const std::vector<std::string>& args, int& argc, char** argv) {
    cli::WindowSettings settings;
    std::string output = batch::kTableFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kTableSynopsis << kTableHelp;
            return 0;
        }
        std::string error;
        if (cli::takeWindowSetting(args, i, settings, error)) {
            if (!error.empty()) return usage(error);
            continue;
        }
        if (a == "-o") {
            if (i + 1 == args.size()) return usage("-o needs an argument");
            output = args[++i];
            continue;
        }
        return usage("unknown argument \"" + a + "\"");
    }

    QCoreApplication app(argc, argv);
    std::string tableError;
    const auto table = cli::loadTable(tableError);
    if (!table) {
        std::cerr << "zul table: " << tableError << '\n';
        return 3;
    }
    std::string bytes;
    try {
        bytes = batch::makeTable(*table, cli::windowOptions(table, settings));
    } catch (const Error& e) {
        std::cerr << "zul table: " << e.what() << "; nothing written\n";
        return 3;
    }
    std::unique_ptr<batch::ByteSink> sink;
    if (output == "-") {
        sink = std::make_unique<batch::StdoutSink>();
    } else {
        auto file = std::make_unique<batch::FileSink>(QString::fromStdString(output));
        if (!file->open()) {
            std::cerr << "zul table: " << output << ": " << file->error().toStdString()
                      << "; nothing written\n";
            return 3;
        }
        sink = std::move(file);
    }
    if (!sink->write(bytes) || !sink->commit()) {
        std::cerr << "zul table: " << output << ": " << sink->error().toStdString()
                  << "; nothing written\n";
        sink->discard();
        return 3;
    }
    return 0;
}

} // namespace zul
