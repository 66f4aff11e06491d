#pragma once
// A tolerance of quality control: the formula the verdict uses, its limit and the warning
// fraction, and optional limits on the lightness, chroma and hue parts. Every sample is judged
// against one standard with every formula, so a report shows them side by side.
#include "colorimetry/difference.h"

#include <optional>
#include <string>
#include <string_view>

namespace zul {

enum class QcFormula { De76, De94, De94Textiles, Cmc, De00 };

// "de76", "de94", "de94t", "cmc", "de00" (any case); nullopt for anything else.
std::optional<QcFormula> qcFormulaNamed(std::string_view name);
const char* qcFormulaName(QcFormula f);
// For people: "ΔE*ab", "ΔE94 (graphic arts)", "ΔE CMC(2:1)", "ΔE2000".
std::string qcFormulaCaption(QcFormula f, const CmcRatio& lc);

struct QcTolerance {
    QcFormula formula = QcFormula::De00;
    CmcRatio lc = kCmc21;
    double limit = 1.0;
    double warn = 0.8; // a sample above warn x limit (and within the limit) is a WARN
    // Limits on |ΔL*|, |ΔC*ab|, |ΔH*ab|, judged as the total is (warn fraction included).
    std::optional<double> limitL, limitC, limitH;
};

enum class QcVerdict { Pass, Warn, Fail };
const char* verdictText(QcVerdict v); // "PASS", "WARN", "FAIL"

// A colour as the workbench shows it: its CIELAB and, when the Munsell search reached it, its
// Munsell hue step (0..100; over 100 for a neutral), value and chroma.
struct QcColour {
    LabD lab;
    bool hasMunsell = false;
    double hueStep = 0, value = 0, chroma = 0;
};

// How a sample differs from the standard, by every formula, and the verdict.
struct QcResult {
    LabParts lab;
    WeightedParts de94; // graphic arts, or textiles when the tolerance's formula is de94t
    WeightedParts cmc;  // at the tolerance's l:c
    Ciede2000Parts de00;
    bool hasMunsell = false; // both colours have Munsell notations
    MunsellParts munsell;
    double judged = 0; // ΔE of the tolerance's formula
    QcVerdict verdict = QcVerdict::Pass;
    std::string words;
};

QcResult evaluate(const QcColour& standard, const QcColour& sample, const QcTolerance& t);

// The verdict of a value against a limit: FAIL above it, WARN above warn x limit.
QcVerdict judge(double value, double limit, double warn);

} // namespace zul
