#include "qc/tolerance.h"

#include "text/numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace zul {

namespace {

struct FormulaName {
    QcFormula formula;
    const char* name;
};
constexpr FormulaName kNames[] = {{QcFormula::De76, "de76"},
                                  {QcFormula::De94, "de94"},
                                  {QcFormula::De94Textiles, "de94t"},
                                  {QcFormula::Cmc, "cmc"},
                                  {QcFormula::De00, "de00"}};

} // namespace

std::optional<QcFormula> qcFormulaNamed(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormulaName& f : kNames)
        if (lower == f.name) return f.formula;
    return std::nullopt;
}

const char* qcFormulaName(QcFormula f) {
    for (const FormulaName& n : kNames)
        if (n.formula == f) return n.name;
    return "";
}

std::string qcFormulaCaption(QcFormula f, const CmcRatio& lc) {
    switch (f) {
    case QcFormula::De76:
        return "\u0394E*ab";
    case QcFormula::De94:
        return "\u0394E94 (graphic arts)";
    case QcFormula::De94Textiles:
        return "\u0394E94 (textiles)";
    case QcFormula::Cmc:
        return "\u0394E CMC(" + plainText(lc.l) + ":" + plainText(lc.c) + ")";
    case QcFormula::De00:
        return "\u0394E2000";
    }
    return {};
}

const char* verdictText(QcVerdict v) {
    switch (v) {
    case QcVerdict::Pass:
        return "PASS";
    case QcVerdict::Warn:
        return "WARN";
    case QcVerdict::Fail:
        return "FAIL";
    }
    return "";
}

QcVerdict judge(double value, double limit, double warn) {
    if (!(value <= limit)) return QcVerdict::Fail; // a NaN fails too
    if (value > warn * limit) return QcVerdict::Warn;
    return QcVerdict::Pass;
}

QcResult evaluate(const QcColour& standard, const QcColour& sample, const QcTolerance& t) {
    QcResult r;
    r.lab = labParts(standard.lab, sample.lab);
    r.de94 = deltaE94(standard.lab, sample.lab,
                      t.formula == QcFormula::De94Textiles ? kCie94Textiles : kCie94GraphicArts);
    r.cmc = deltaECmc(standard.lab, sample.lab, t.lc);
    r.de00 = ciede2000(standard.lab, sample.lab);
    r.hasMunsell = standard.hasMunsell && sample.hasMunsell;
    if (r.hasMunsell) {
        r.munsell = munsellParts(standard.hueStep, standard.value, standard.chroma, sample.hueStep,
                                 sample.value, sample.chroma);
        // A neutral has no hue: only its value and chroma differ.
        if (standard.hueStep > 100 || sample.hueStep > 100) r.munsell.dHue = 0;
    }
    switch (t.formula) {
    case QcFormula::De76:
        r.judged = r.lab.dE;
        break;
    case QcFormula::De94:
    case QcFormula::De94Textiles:
        r.judged = r.de94.dE;
        break;
    case QcFormula::Cmc:
        r.judged = r.cmc.dE;
        break;
    case QcFormula::De00:
        r.judged = r.de00.dE;
        break;
    }
    r.verdict = judge(r.judged, t.limit, t.warn);
    const std::pair<const std::optional<double>&, double> parts[] = {
        {t.limitL, r.lab.dL}, {t.limitC, r.lab.dC}, {t.limitH, r.lab.dH}};
    for (const auto& [limit, part] : parts)
        if (limit) r.verdict = std::max(r.verdict, judge(std::abs(part), *limit, t.warn));
    r.words = differenceWords(r.lab);
    return r;
}

} // namespace zul
