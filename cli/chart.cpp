// `zul chart`: any chart rendered without a window, as PNG, PDF or a CSV list of its chips.
#include "charts/chartpaint.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "records/atomicfile.h"
#include "records/safefiles.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "text/printable.h"
#include "workbench/datafiles.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>

#include <cmath>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    R"(Usage: zul chart hue HUE | value VALUE | tolerance L A B | colorchecker
                 [--illuminant C|D50|D65] [--pwd] [--gamma G] [--adapt] [--tolerance T|TL,TA,TB]
                 [--ccnames FILE] [--scale S] [--png FILE] [--pdf FILE] [--csv FILE]
)";

constexpr const char* kHelp = R"(
Renders a chart as its window draws it, without a window:
  hue HUE           the hue page of HUE (5R, 10RP, ...)
  value VALUE       the value page of VALUE (1 to 9.5)
  tolerance L A B   the tolerance set around the CIELAB colour L*, a*, b*
  colorchecker      the 24 patches of ccnames.csv

  --illuminant I    C (the default), D50 or D65
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 (default 2.2)
  --adapt           the tolerance set's CIELAB colours are colours under the --illuminant,
                    adapted to C for the Munsell search ("Adapt entries to the illuminant")
  --tolerance T     tolerance set steps: one for L*, a*, b* or three as TL,TA,TB (default 5)
  --ccnames FILE    the patch file of the ColorChecker (default: ccnames.csv found as usual)
  --scale S         PNG scale and pixel positions, 1 = the size on screen (default 1)
  --png FILE        writes the chart as a PNG picture
  --pdf FILE        writes the chart as a one-page vector PDF
  --csv FILE        writes the chips: element,notation,R,G,B,in_reach,out_of_range,x,y
                    (x, y: the chip's centre pixel at the scale); "-" is standard output
  -h, --help        this text

Without --png, --pdf or --csv the CSV goes to standard output.
Exit status: 0 done; 1 the chart or a file could not be made (reason on standard error);
2 bad usage.
)";

struct ChipRow {
    const ChartChip* chip;
    std::string notation;
    bool inReach;
};

std::string csvText(const std::vector<ChipRow>& rows, QSize design, double scale) {
    const QSize pixels(static_cast<int>(std::ceil(design.width() / kTwipsPerPixel * scale)),
                       static_cast<int>(std::ceil(design.height() / kTwipsPerPixel * scale)));
    const QRect vp = fittedViewport(design, QRect(QPoint(0, 0), pixels));
    std::string out = "element,notation,R,G,B,in_reach,out_of_range,x,y\n";
    for (const ChipRow& r : rows) {
        const ChartChip& c = *r.chip;
        const long x = std::lround(std::floor(vp.x() + c.cx * vp.width() / design.width()));
        const long y = std::lround(std::floor(vp.y() + c.cy * vp.height() / design.height()));
        out += std::to_string(c.element) + "," + r.notation + "," + std::to_string(c.rgb[0]) + "," +
               std::to_string(c.rgb[1]) + "," + std::to_string(c.rgb[2]) + "," +
               (r.inReach ? "1" : "0") + "," + (r.inReach && c.outOfRange ? "1" : "0") + "," +
               std::to_string(x) + "," + std::to_string(y) + "\n";
    }
    return out;
}

QString writeWhole(const std::string& file, const std::string& text) {
    if (file == "-") {
        std::cout << text << std::flush;
        return std::cout ? QString() : QString("standard output could not be written");
    }
    AtomicFile out(QString::fromStdString(file));
    if (!out.open() || !out.write(text)) return out.reason();
    return out.commit().isEmpty() ? QString() : out.reason();
}

struct Request {
    std::vector<std::string> positional;
    std::string illuminant, gamma, tolerance, ccnames, png, pdf, csv;
    double scale = 1;
    WindowSettings settings;
    std::array<float, 3> steps{5, 5, 5};
};

// The options in order; the usage error or empty.
std::string take(const Arg& a, Request& r) {
    std::string* const targets[] = {&r.illuminant, &r.gamma, &r.tolerance, &r.ccnames,
                                    &r.png,        &r.pdf,   &r.csv};
    const char* const names[] = {"--illuminant", "--gamma", "--tolerance", "--ccnames",
                                 "--png",        "--pdf",   "--csv"};
    if (a.kind == Arg::Kind::Positional) r.positional.push_back(a.value);
    if (a.is("--pwd")) r.settings.pwd = true;
    if (a.is("--adapt")) r.settings.adapt = true;
    for (std::size_t k = 0; k < std::size(names); ++k)
        if (a.is(names[k])) *targets[k] = a.value;
    if (a.is("--scale")) {
        r.scale = isNumber(a.value) ? parseStrict(a.value) : 0;
        if (!(r.scale > 0 && r.scale <= 20)) return "--scale must be above 0 and at most 20";
    }
    return {};
}

// One number or three (TL,TA,TB) from 1 to 20; the usage error or empty.
std::string readSteps(const std::string& tolerance, std::array<float, 3>& steps) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = tolerance.find(',', from);
        parts.push_back(tolerance.substr(from, comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    if (parts.size() != 1 && parts.size() != 3)
        return "--tolerance takes one number or three (TL,TA,TB)";
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string& t = parts[parts.size() == 1 ? 0 : k];
        if (!isNumber(t) || !(parseStrict(t) >= 1 && parseStrict(t) <= 20))
            return "a tolerance must be a number from 1 to 20, not \"" + t + "\"";
        steps[k] = static_cast<float>(parseStrict(t));
    }
    return {};
}

// The chart and its settings; the usage error or empty.
std::string settle(Request& r) {
    if (r.positional.empty()) return "which chart: hue, value, tolerance or colorchecker";
    const std::string& kind = r.positional[0];
    const std::size_t wanted = kind == "hue" || kind == "value" ? 2
                               : kind == "tolerance"            ? 4
                               : kind == "colorchecker"         ? 1
                                                                : 0;
    if (wanted == 0) return "unknown chart \"" + kind + "\"";
    if (r.positional.size() != wanted)
        return kind + " takes " + std::to_string(wanted - 1) + " value(s)";
    std::string error;
    if (!r.illuminant.empty()) error = r.settings.setIlluminant(r.illuminant);
    if (error.empty() && !r.gamma.empty()) error = r.settings.setGamma(r.gamma);
    if (error.empty() && !r.tolerance.empty()) error = readSteps(r.tolerance, r.steps);
    return error;
}

// The chart drawn and its chips listed; the failure or empty.
struct Drawn {
    ChartPicture picture;
    std::vector<ChipRow> rows;
    std::optional<HuePage> hue;
    std::optional<ValuePage> value;
    std::optional<ToleranceSet> set;
    std::optional<ColorChecker> checker;
    std::vector<ChartChip> swatchChips; // the tolerance set's swatches as chips
};

std::string draw(const Invocation& inv, const Request& r, const RenotationTable& table,
                 const ChartSettings& settings, Drawn& d) {
    const std::vector<std::string>& p = r.positional;
    if (p[0] == "hue") {
        d.hue = fillbook(p[1], table, settings);
        if (!d.hue) return "\"" + p[1] + "\" is not a Munsell hue (0 to 100)";
        for (const ChartChip& c : d.hue->chips)
            if (c.painted) d.rows.push_back({&c, c.notation, c.inReach && c.element != 9});
        d.picture = huePagePicture(*d.hue);
    } else if (p[0] == "value") {
        float v = static_cast<float>(parseStrictNamed("value", p[1]));
        if (!(v >= 0 && v <= 10)) return "the value must be from 0 to 10";
        d.value = plotvalue(v, table, settings);
        for (const ChartChip& c : d.value->dots)
            d.rows.push_back({&c, c.notation, true});
        d.picture = valuePagePicture(*d.value);
    } else if (p[0] == "tolerance") {
        const Lab centre{static_cast<float>(parseStrictNamed("L*", p[1])),
                         static_cast<float>(parseStrictNamed("a*", p[2])),
                         static_cast<float>(parseStrictNamed("b*", p[3]))};
        d.set = MakeCTol(centre, r.steps, table, settings);
        d.picture = tolerancePicture(*d.set, false);
    } else {
        const QString file =
            r.ccnames.empty() ? findDataFile("ccnames.csv") : QString::fromStdString(r.ccnames);
        const FileBytes read = readRegularFile(file, kMaxCcNamesBytes);
        if (!read.ok())
            return read.error.startsWith('"') ? read.error.toStdString()
                                              : file.toStdString() + ": cannot be opened";
        std::istringstream in(read.bytes.toStdString());
        const CcNames names = readCcNames(in);
        if (!names.fault.empty())
            std::cerr << "zul " << inv.command.name << ": " << printable(file.toStdString()) << ": "
                      << printable(names.fault) << "; the patches without data show n/a\n";
        d.checker = fillCC(names, table, settings);
        for (const ChartChip& c : d.checker->patches)
            d.rows.push_back({&c, c.inReach ? c.notation : std::string("n/a"), c.inReach});
        d.picture = colorCheckerPicture(*d.checker);
    }
    d.picture.caption = chartCaption(settings, QDate::currentDate());
    if (d.set) {
        // The tolerance set's swatches are no chips: listed in the same columns.
        d.swatchChips.resize(7);
        for (int k = 0; k < 7; ++k) {
            const ToleranceSwatch& s = d.set->swatches[static_cast<std::size_t>(k)];
            ChartChip& c = d.swatchChips[static_cast<std::size_t>(k)];
            c.element = k;
            c.rgb = s.rgb;
            c.outOfRange = s.outOfRange;
            c.cx = s.cx;
            c.cy = s.cy;
            d.rows.push_back({&c, s.ok ? s.hue + " " + s.value + "/" + s.chroma : "n/a", s.ok});
        }
    }
    return {};
}

int save(const Invocation& inv, Request& r, const Drawn& d) {
    if (r.png.empty() && r.pdf.empty() && r.csv.empty()) r.csv = "-";
    if (!r.png.empty()) {
        const QString f = saveChartPng(QString::fromStdString(r.png), d.picture, r.scale);
        if (!f.isEmpty()) return inv.fail(r.png + ": " + f.toStdString());
    }
    if (!r.pdf.empty()) {
        const QString f = saveChartPdf(QString::fromStdString(r.pdf), d.picture);
        if (!f.isEmpty()) return inv.fail(r.pdf + ": " + f.toStdString());
    }
    if (!r.csv.empty()) {
        const QString f = writeWhole(r.csv, csvText(d.rows, d.picture.design, r.scale));
        if (!f.isEmpty()) return inv.fail(r.csv + ": " + f.toStdString());
    }
    return 0;
}

int run(const Invocation& inv) {
    Request r;
    for (const Arg& a : inv.args) {
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (const std::string error = take(a, r); !error.empty()) return inv.usageError(error);
    }
    if (const std::string error = settle(r); !error.empty()) return inv.usageError(error);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(inv.argc, inv.argv);
    const auto table = loadTable("chart");
    if (!table) return 1;
    NonInteractiveDialogs dialogs;
    Workbench wb(table, dialogs);
    r.settings.applyTo(wb);
    const ChartSettings settings{wb.conditions(), wb.rgbSettings(), wb.adaptEntries(),
                                 wb.text(Field::Gamma).toStdString()};
    Drawn drawn;
    try {
        if (const std::string f = draw(inv, r, *table, settings, drawn); !f.empty())
            return inv.fail(f);
    } catch (const Error& e) {
        return inv.fail(e.what());
    }
    return save(inv, r, drawn);
}

} // namespace

Command chartCommand() {
    return {"chart",
            "zul chart hue|value|tolerance|colorchecker ... [--png F] [--pdf F] [--csv F]",
            "render a chart without a window",
            kSynopsis,
            kHelp,
            settingOptions(true, {{"--tolerance", true},
                                  {"--ccnames", true},
                                  {"--scale", true},
                                  {"--png", true},
                                  {"--pdf", true},
                                  {"--csv", true}}),
            run};
}

} // namespace zul::cli
