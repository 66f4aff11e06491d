#include "charts/colorchecker.h"

#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "text/seqfile.h"

#include <cmath>

namespace zul {

namespace {

// One record's fields, or the reason it is bad.
std::string parseRecord(const std::vector<std::string>& f, CcRecord& r) {
    if (f.size() < 5)
        return "holds " + std::to_string(f.size()) + " fields, not 5 (No,Name,Hue,Value,Chroma)";
    std::string hue = f[2];
    bool formatError = false;
    converth(hue, &formatError);
    if (formatError || f[2].empty()) return "hue \"" + f[2] + "\" is not a Munsell hue";
    double value = 0, chroma = 0;
    try {
        value = parseStrictNamed("value", f[3]);
        chroma = parseStrictNamed("chroma", f[4]);
    } catch (const Error& e) {
        return e.what();
    }
    if (!(value >= 0 && value <= 10)) return "value " + f[3] + " is outside 0..10";
    if (!(chroma >= 0 && chroma < 60)) return "chroma " + f[4] + " is outside 0..60";
    r.name = f[1];
    r.hue = f[2];
    r.value = static_cast<float>(value);
    r.chroma = static_cast<float>(chroma);
    r.valid = true;
    return {};
}

} // namespace

CcNames readCcNames(std::istream& in) {
    CcNames out;
    std::string line;
    int lineNo = 0;
    int patch = 0;
    bool header = true;
    while (patch < ColorCheckerGeometry::kPatches && std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (header) {
            header = false;
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        CcRecord& r = out.records[static_cast<std::size_t>(patch++)];
        const std::string fault = parseRecord(splitFields(line), r);
        if (fault.empty())
            ++out.read;
        else if (out.fault.empty())
            out.fault = "line " + std::to_string(lineNo) + ": " + fault;
    }
    if (patch < ColorCheckerGeometry::kPatches && out.fault.empty())
        out.fault = "line " + std::to_string(lineNo + 1) + ": " + std::to_string(patch) +
                    " of 24 patches found";
    return out;
}

const ChartChip* ColorChecker::chipAt(double x, double y) const {
    for (const ChartChip& p : patches)
        if (std::abs(x - p.cx) <= p.half && std::abs(y - p.cy) <= p.half) return &p;
    return nullptr;
}

ColorChecker fillCC(const CcNames& names, const RenotationTable& table,
                    const ChartSettings& settings) {
    using G = ColorCheckerGeometry;
    ColorChecker cc;
    for (int i = 0; i < G::kPatches; ++i) {
        ChartChip& p = cc.patches[static_cast<std::size_t>(i)];
        const CcRecord& r = names.records[static_cast<std::size_t>(i)];
        p.element = i;
        p.half = G::kPatch / 2;
        p.cx = G::kLeft + G::kPitch * (i % 6) + G::kPatch / 2;
        p.cy = G::kTop + G::kPitch * (i / 6) + G::kPatch / 2;
        p.painted = true;
        cc.names[static_cast<std::size_t>(i)] = r.valid ? r.name : std::string("n/a");
        if (!r.valid) continue;
        std::string hueText = r.hue;
        float hue = converth(hueText);
        if (hue >= 100) hue -= 100;
        p.notation = r.hue + " " + plainText(r.value) + "/" + plainText(r.chroma);
        try {
            computeChip(p, hue, r.value, r.chroma, table, settings);
        } catch (const Error&) {
            p.inReach = false;
        }
    }
    return cc;
}

} // namespace zul
