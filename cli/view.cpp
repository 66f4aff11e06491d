// `zul view`: a palette's 3D view drawn headless into a PNG picture, with the viewer's loader and
// renderer.
#include "cli/commands.h"
#include "cli/context.h"
#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "text/printable.h"
#include "viewer/paletteloader.h"
#include "viewer/renderer.h"
#include "workbench/dialogs.h"

#include <QGuiApplication>

#include <iostream>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    "Usage: zul view PALETTE --png FILE [--size N] [--rotation D] [--tilt D] [--zoom Z] "
    "[--numbers]\n";

constexpr const char* kHelp = R"(
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
read or holds lines that are not records (the picture still shows the records; a palette
that could not be read or holds no records writes no picture), or the picture could not be
written; 2 bad usage. Records without a notation are counted on standard error and not drawn.
)";

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

struct Request {
    std::string palette, png;
    int size = 600;
    ViewBars bars;
    bool numbers = false;
};

struct IntOption {
    const char* name;
    int min, max;
    int Request::*field;
    int ViewBars::*bar;
};
constexpr IntOption kIntOptions[] = {{"--size", 16, 8000, &Request::size, nullptr},
                                     {"--rotation", -180, 180, nullptr, &ViewBars::rotation},
                                     {"--tilt", 0, 90, nullptr, &ViewBars::tilt},
                                     {"--zoom", 1, 40, nullptr, &ViewBars::zoom}};

// The options in order; the usage error or empty.
std::string take(const Arg& a, Request& r) {
    if (a.kind == Arg::Kind::Positional) {
        if (!r.palette.empty()) return "only one palette file, not also \"" + a.value + "\"";
        r.palette = a.value;
    }
    if (a.is("--numbers")) r.numbers = true;
    if (a.is("--png")) r.png = a.value;
    for (const IntOption& o : kIntOptions) {
        if (!a.is(o.name)) continue;
        int& target = o.field ? r.*o.field : r.bars.*o.bar;
        if (!intOption(a.value, o.min, o.max, target))
            return a.name + " must be a whole number from " + std::to_string(o.min) + " to " +
                   std::to_string(o.max) + ", not \"" + a.value + "\"";
    }
    return {};
}

// What the loader found wrong with the palette on standard error; 1 when the palette was not
// read whole.
int reportLoad(const std::string& palette, const PaletteLoadResult& r) {
    int status = 0;
    if (!r.fileError.isEmpty()) {
        std::cerr << "zul view: " << printable(palette) << ": "
                  << printable(r.fileError.toStdString()) << '\n';
        status = 1;
    }
    if (r.formatErrors > 0) {
        std::cerr << "zul view: " << printable(palette) << ": line " << r.firstFormatLine << ": "
                  << printable(r.firstFormatReason);
        if (r.formatErrors > 1) std::cerr << " (" << r.formatErrors << " lines are not records)";
        std::cerr << '\n';
        status = 1;
    }
    if (r.withoutNotation > 0)
        std::cerr << "zul view: " << palette << ": " << withoutNotationText(r).toStdString()
                  << '\n';
    if (r.fileError.isEmpty() && r.points.empty() && r.formatErrors == 0) {
        std::cerr << "zul view: " << printable(palette) << ": no records\n";
        status = 1;
    }
    if (r.limited)
        std::cerr << "zul view: " << printable(palette) << ": palette limited to " << kPaletteLimit
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
    return status;
}

int run(const Invocation& inv) {
    Request r;
    for (const Arg& a : inv.args) {
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (const std::string error = take(a, r); !error.empty()) return inv.usageError(error);
    }
    if (r.palette.empty()) return inv.usageError("no palette file given");
    if (r.png.empty()) return inv.usageError("--png FILE is required");

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(inv.argc, inv.argv);
    const auto table = loadTable("view");
    if (!table) return 1;
    PaletteLoadRequest request;
    request.table = table;
    request.options = WindowSettings().options(table);
    request.limit = kPaletteLimit;
    const PaletteLoadResult loaded =
        loadPaletteFile(QString::fromLocal8Bit(r.palette.c_str()), request);
    const int status = reportLoad(r.palette, loaded);
    // A palette that could not be read draws nothing worth a picture; one with lines that are
    // not records still draws its records, as the help says.
    if (!loaded.fileError.isEmpty() || loaded.points.empty()) return status;

    QImage image(r.size, r.size, QImage::Format_RGB32);
    RenderOptions options;
    options.numbers = r.numbers;
    options.font = viewFont();
    renderView(image, loaded.points, viewFrom(r.bars), options);
    AtomicFile out(QString::fromLocal8Bit(r.png.c_str()));
    if (!out.open() || !image.save(&out.device(), "PNG") || !out.commit().isEmpty())
        return inv.fail(
            r.png + ": the picture could not be written: " +
            (out.reason().isEmpty() ? QString("the PNG could not be encoded") : out.reason())
                .toStdString());
    return status;
}

} // namespace

Command viewCommand() {
    return {"view",
            "zul view PALETTE --png FILE [--size N] [--rotation D] [--tilt D] [--zoom Z] "
            "[--numbers]",
            "draw a palette's 3D view into a PNG picture",
            kSynopsis,
            kHelp,
            {{"--png", true},
             {"--size", true},
             {"--rotation", true},
             {"--tilt", true},
             {"--zoom", true},
             {"--numbers", false}},
            run};
}

} // namespace zul::cli
