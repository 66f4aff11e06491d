// `zul view`: a palette's 3D view drawn headless into a PNG picture, with the viewer's loader and
// renderer.
#include "app/cli_commands.h"

#include "munsell/table.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "viewer/paletteloader.h"
#include "viewer/renderer.h"
#include "workbench/datafiles.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <iostream>

namespace zul {

namespace {

constexpr const char* kViewSynopsis =
    "Usage: zul view PALETTE --png FILE [--size N] [--rotation D] [--tilt D] [--zoom Z] "
    "[--numbers]\n";

constexpr const char* kViewHelp = R"(
Draws the palette file PALETTE as the palette viewer shows it (the view area alone, without
the window) into the PNG picture FILE, N x N pixels. Each record goes through the Munsell
entry chain with the start-up settings (illuminant C, gamma 2.2); at most 10000 records.

  --png FILE      the picture to write (replaced whole)
  --size N        width and height in pixels, 16 to 8000 (default 600)
  --rotation D    the rotation bar, -180 to 180 degrees (default 0)
  --tilt D        the tilt bar, 0 (side view) to 90 (from above) (default 15)
  --zoom Z        the zoom bar, 1 to 40: half the visible width in chroma units (default 20)
  --numbers       number every dot, as "Display sample #" does
  -h, --help      this text

Records out of Munsell range are drawn as rings and named on standard error.

Exit status: 0 the picture was written from the whole palette; 1 the palette could not be
read or holds lines that are not records (the picture still shows the records), or the
picture could not be written; 2 bad usage.
)";

int usage(const std::string& message) {
    std::cerr << "zul view: " << message << '\n' << kViewSynopsis << "Try 'zul view --help'.\n";
    return 2;
}

bool intOption(const std::string& text, int min, int max, int& out) {
    try {
        const double v = parseStrict(text);
        if (v != static_cast<int>(v) || v < min || v > max) return false;
        out = static_cast<int>(v);
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace

int cli::runView(const std::vector<std::string>& args, int& argc, char** argv) {
    std::string palette, png;
    int size = 600;
    ViewBars bars;
    bool numbers = false;
    struct IntOption {
        const char* name;
        int min, max;
        int* target;
    };
    const IntOption intOptions[] = {{"--size", 16, 8000, &size},
                                    {"--rotation", -180, 180, &bars.rotation},
                                    {"--tilt", 0, 90, &bars.tilt},
                                    {"--zoom", 1, 40, &bars.zoom}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kViewSynopsis << kViewHelp;
            return 0;
        }
        if (a == "--numbers") {
            numbers = true;
            continue;
        }
        if (a.empty() || a[0] != '-' || isNumber(a)) {
            if (!palette.empty()) return usage("only one palette file, not also \"" + a + "\"");
            palette = a;
            continue;
        }
        std::string name = a, arg;
        const std::size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            arg = a.substr(eq + 1);
        }
        const IntOption* option = nullptr;
        for (const IntOption& o : intOptions)
            if (name == o.name) option = &o;
        if (!option && name != "--png") return usage("unknown option \"" + a + "\"");
        if (eq == std::string::npos) {
            if (i + 1 == args.size()) return usage(name + " needs an argument");
            arg = args[++i];
        }
        if (!option) {
            png = arg;
        } else if (!intOption(arg, option->min, option->max, *option->target)) {
            return usage(name + " must be a whole number from " + std::to_string(option->min) +
                         " to " + std::to_string(option->max) + ", not \"" + arg + "\"");
        }
    }
    if (palette.empty()) return usage("no palette file given");
    if (png.empty()) return usage("--png FILE is required");

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(findDataFile("Muncie.dat").toStdString());
    } catch (const Error& e) {
        std::cerr << "zul view: " << e.what() << '\n';
        return 1;
    }
    NonInteractiveDialogs dialogs;
    Workbench wb(table, dialogs);
    wb.startUp();
    PaletteLoadRequest request;
    request.table = table;
    request.options = wb.options();
    request.limit = kPaletteLimit;
    const QString paletteName = QString::fromLocal8Bit(palette.c_str());
    const PaletteLoadResult r = loadPaletteFile(paletteName, request);

    int status = 0;
    if (!r.fileError.isEmpty()) {
        std::cerr << "zul view: " << palette << ": " << r.fileError.toStdString() << '\n';
        status = 1;
    }
    if (r.formatErrors > 0) {
        std::cerr << "zul view: " << palette << ": line " << r.firstFormatLine << ": "
                  << r.firstFormatReason;
        if (r.formatErrors > 1) std::cerr << " (" << r.formatErrors << " lines are not records)";
        std::cerr << '\n';
        status = 1;
    }
    if (r.fileError.isEmpty() && r.points.empty() && r.formatErrors == 0) {
        std::cerr << "zul view: " << palette << ": no records\n";
        status = 1;
    }
    if (r.limited)
        std::cerr << "zul view: " << palette << ": palette limited to " << kPaletteLimit
                  << " records\n";
    if (r.unconverted > 0) {
        std::cerr << "zul view: " << r.unconverted
                  << " record(s) out of Munsell range, drawn as "
                     "rings (line";
        for (std::size_t i = 0; i < r.firstUnconverted.size(); ++i)
            std::cerr << (i ? ", " : " ") << r.firstUnconverted[i];
        std::cerr << (r.unconverted > static_cast<long>(r.firstUnconverted.size()) ? ", ...)\n"
                                                                                   : ")\n");
    }

    QImage image(size, size, QImage::Format_RGB32);
    RenderOptions options;
    options.numbers = numbers;
    options.font = viewFont();
    renderView(image, r.points, viewFrom(bars), options);
    QSaveFile out(QString::fromLocal8Bit(png.c_str()));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        std::cerr << "zul view: " << png
                  << ": the picture could not be written: " << out.errorString().toStdString()
                  << '\n';
        return 1;
    }
    return status;
}

} // namespace zul
