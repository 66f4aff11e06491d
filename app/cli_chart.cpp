// `zul chart`: any chart rendered without a window, as PNG, PDF or a CSV list of its chips.
#include "app/cli_commands.h"
#include "charts/chartpaint.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/datafiles.h"
#include "workbench/workbench.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cmath>
#include <fstream>
#include <iostream>
#include <optional>

namespace zul {

namespace {

constexpr const char* kChartSynopsis =
    R"(Usage: zul chart hue HUE | value VALUE | tolerance L A B | colorchecker
                 [--illuminant C|D50|D65] [--pwd] [--gamma G] [--tolerance T|TL,TA,TB]
                 [--ccnames FILE] [--scale S] [--png FILE] [--pdf FILE] [--csv FILE]
)";

constexpr const char* kChartHelp = R"(
Renders a chart as its window draws it, without a window:
  hue HUE           the hue page of HUE (5R, 10RP, ...)
  value VALUE       the value page of VALUE (1 to 9.5)
  tolerance L A B   the tolerance set around the CIELAB colour L*, a*, b*
  colorchecker      the 24 patches of ccnames.csv

  --illuminant I    C (the default), D50 or D65
  --pwd             luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G         display gamma 1 to 3 (default 2.2)
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

int usage(const std::string& message) {
    std::cerr << "zul chart: " << message << '\n' << kChartSynopsis << "Try 'zul chart --help'.\n";
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "zul chart: " << message << '\n';
    return 1;
}

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
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly)) return out.errorString();
    if (out.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !out.commit())
        return out.errorString();
    return {};
}

} // namespace

int cli::runChart(const std::vector<std::string>& args, int& argc, char** argv) {
    std::vector<std::string> positional;
    std::string illuminant, gamma, tolerance, ccnames, png, pdf, csv;
    double scale = 1;
    bool pwd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kChartSynopsis << kChartHelp;
            return 0;
        }
        if (a == "--pwd") {
            pwd = true;
            continue;
        }
        if (a.size() < 2 || a[0] != '-' || a[1] != '-') {
            positional.push_back(a);
            continue;
        }
        std::string name = a, arg;
        const std::size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            arg = a.substr(eq + 1);
        } else {
            if (i + 1 == args.size()) return usage(a + " needs an argument");
            arg = args[++i];
        }
        if (name == "--illuminant")
            illuminant = arg;
        else if (name == "--gamma")
            gamma = arg;
        else if (name == "--tolerance")
            tolerance = arg;
        else if (name == "--ccnames")
            ccnames = arg;
        else if (name == "--png")
            png = arg;
        else if (name == "--pdf")
            pdf = arg;
        else if (name == "--csv")
            csv = arg;
        else if (name == "--scale") {
            scale = isNumber(arg) ? parseStrict(arg) : 0;
            if (!(scale > 0 && scale <= 20)) return usage("--scale must be above 0 and at most 20");
        } else
            return usage("unknown option \"" + a + "\"");
    }
    if (positional.empty()) return usage("which chart: hue, value, tolerance or colorchecker");
    const std::string kind = positional[0];
    const std::size_t wanted = kind == "hue" || kind == "value" ? 2
                               : kind == "tolerance"            ? 4
                               : kind == "colorchecker"         ? 1
                                                                : 0;
    if (wanted == 0) return usage("unknown chart \"" + kind + "\"");
    if (positional.size() != wanted)
        return usage(kind + " takes " + std::to_string(wanted - 1) + " value(s)");
    int ill = 0;
    if (!illuminant.empty()) {
        std::string l = illuminant;
        for (char& c : l)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (l == "c")
            ill = 0;
        else if (l == "d50")
            ill = 1;
        else if (l == "d65")
            ill = 2;
        else
            return usage("unknown illuminant \"" + illuminant + "\" (C, D50 or D65)");
    }
    if (!gamma.empty() && !(isNumber(gamma) && gammaAccepted(parseStrict(gamma))))
        return usage("--gamma must be a number from 1 to 3, not \"" + gamma + "\"");
    std::array<float, 3> steps{5, 5, 5};
    if (!tolerance.empty()) {
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (;;) {
            const std::size_t comma = tolerance.find(',', from);
            parts.push_back(tolerance.substr(from, comma - from));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        if (parts.size() != 1 && parts.size() != 3)
            return usage("--tolerance takes one number or three (TL,TA,TB)");
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string& t = parts[parts.size() == 1 ? 0 : k];
            if (!isNumber(t) || !(parseStrict(t) >= 1 && parseStrict(t) <= 20))
                return usage("a tolerance must be a number from 1 to 20, not \"" + t + "\"");
            steps[k] = static_cast<float>(parseStrict(t));
        }
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(QFile::encodeName(findDataFile("Muncie.dat")).toStdString());
    } catch (const Error& e) {
        return failure(e.what());
    }
    NonInteractiveDialogs dialogs;
    Workbench wb(table, dialogs);
    wb.startUp();
    if (ill != 0) wb.selectIlluminant(ill);
    if (pwd) wb.setPwd(1);
    if (!gamma.empty()) wb.setText(Field::Gamma, QString::fromStdString(gamma));
    const ChartSettings settings{wb.conditions(), wb.rgbSettings()};

    ChartPicture picture;
    std::vector<ChipRow> rows;
    std::optional<HuePage> hue;
    std::optional<ValuePage> value;
    std::optional<ToleranceSet> set;
    std::optional<ColorChecker> checker;
    try {
        if (kind == "hue") {
            hue = fillbook(positional[1], *table, settings);
            if (!hue) return failure("\"" + positional[1] + "\" is not a Munsell hue (0 to 100)");
            for (const ChartChip& c : hue->chips)
                if (c.painted) rows.push_back({&c, c.notation, c.inReach && c.element != 9});
            picture = huePagePicture(*hue);
        } else if (kind == "value") {
            float v = static_cast<float>(parseStrictNamed("value", positional[1]));
            if (!(v >= 0 && v <= 10)) return failure("the value must be from 0 to 10");
            value = plotvalue(v, *table, settings);
            for (const ChartChip& c : value->dots)
                rows.push_back({&c, c.notation, true});
            picture = valuePagePicture(*value);
        } else if (kind == "tolerance") {
            const Lab centre{static_cast<float>(parseStrictNamed("L*", positional[1])),
                             static_cast<float>(parseStrictNamed("a*", positional[2])),
                             static_cast<float>(parseStrictNamed("b*", positional[3]))};
            set = MakeCTol(centre, steps, *table, settings);
            picture = tolerancePicture(*set, false);
        } else {
            const QString file =
                ccnames.empty() ? findDataFile("ccnames.csv") : QString::fromStdString(ccnames);
            std::ifstream in(QFile::encodeName(file).toStdString(), std::ios::binary);
            if (!in) return failure(file.toStdString() + ": cannot be opened");
            const CcNames names = readCcNames(in);
            if (!names.fault.empty())
                std::cerr << "zul chart: " << file.toStdString() << ": " << names.fault
                          << "; the patches without data show n/a\n";
            checker = fillCC(names, *table, settings);
            for (const ChartChip& c : checker->patches)
                rows.push_back({&c, c.inReach ? c.notation : std::string("n/a"), c.inReach});
            picture = colorCheckerPicture(*checker);
        }
    } catch (const Error& e) {
        return failure(e.what());
    }

    // The tolerance set's swatches are no chips: list them in the same columns.
    std::vector<ChartChip> swatchChips;
    if (set) {
        swatchChips.resize(7);
        for (int k = 0; k < 7; ++k) {
            const ToleranceSwatch& s = set->swatches[static_cast<std::size_t>(k)];
            ChartChip& c = swatchChips[static_cast<std::size_t>(k)];
            c.element = k;
            c.rgb = s.rgb;
            c.outOfRange = s.outOfRange;
            c.cx = s.cx;
            c.cy = s.cy;
            rows.push_back({&c, s.ok ? s.hue + " " + s.value + "/" + s.chroma : "n/a", s.ok});
        }
    }

    if (png.empty() && pdf.empty() && csv.empty()) csv = "-";
    if (!png.empty()) {
        const QString f = saveChartPng(QString::fromStdString(png), picture, scale);
        if (!f.isEmpty()) return failure(png + ": " + f.toStdString());
    }
    if (!pdf.empty()) {
        const QString f = saveChartPdf(QString::fromStdString(pdf), picture);
        if (!f.isEmpty()) return failure(pdf + ": " + f.toStdString());
    }
    if (!csv.empty()) {
        const QString f = writeWhole(csv, csvText(rows, picture.design, scale));
        if (!f.isEmpty()) return failure(csv + ": " + f.toStdString());
    }
    return 0;
}

} // namespace zul
