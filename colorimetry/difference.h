#pragma once
// Colour differences of a sample from a standard, with the parts a colourist reads: CIE 1976
// ΔE*ab, CIE 94 (CIE 116-1995), CMC(l:c) (Clarke, McDonald and Rigg 1984) and CIEDE2000
// (CIE 142-2001, as Sharma, Wu and Dalal 2005 spell it out). Every difference is sample minus
// standard. The weighted formulas ΔE94 and CMC weight by the standard alone, so swapping the
// two colours changes them; ΔE*ab and ΔE2000 are symmetric.
#include "colorimetry/deltae.h"

#include <string>

namespace zul {

// The CIELAB parts of sample minus standard. ΔH*ab carries the sign of the hue-angle difference
// taken on the short arc (positive: the sample lies anticlockwise of the standard in a*b*), as
// CIE 15 gives it: ΔH*ab = 2 sqrt(C*1 C*2) sin(Δh/2).
struct LabParts {
    double dL = 0, da = 0, db = 0;
    double dC = 0, dH = 0;
    double dE = 0; // ΔE*ab
};
LabParts labParts(const LabD& standard, const LabD& sample);

// The weighted terms of a weighted formula: ΔL/(kL SL), ΔC/(kC SC), ΔH/(kH SH), and the total.
struct WeightedParts {
    double l = 0, c = 0, h = 0;
    double dE = 0;
};

// CIE 94 constants: kL, K1, K2 (kC = kH = 1).
struct Cie94Constants {
    double kL, k1, k2;
};
inline constexpr Cie94Constants kCie94GraphicArts{1, 0.045, 0.015};
inline constexpr Cie94Constants kCie94Textiles{2, 0.048, 0.014};
WeightedParts deltaE94(const LabD& standard, const LabD& sample,
                       const Cie94Constants& k = kCie94GraphicArts);

// CMC(l:c); 2:1 for acceptability, 1:1 for perceptibility.
struct CmcRatio {
    double l, c;
};
inline constexpr CmcRatio kCmc21{2, 1};
inline constexpr CmcRatio kCmc11{1, 1};
WeightedParts deltaECmc(const LabD& standard, const LabD& sample, const CmcRatio& lc = kCmc21);

// CIEDE2000 with its parametric factors; `rt` is the rotation term R_T (ΔC'/SC)(ΔH'/SH) adds.
struct Ciede2000Weights {
    double kL = 1, kC = 1, kH = 1;
};
struct Ciede2000Parts : WeightedParts {
    double rt = 0;
};
Ciede2000Parts ciede2000(const LabD& standard, const LabD& sample, const Ciede2000Weights& k = {});

// The Munsell differences of sample minus standard: hue steps on the short arc (-50, 50], value
// and chroma.
struct MunsellParts {
    double dHue = 0, dValue = 0, dChroma = 0;
};
MunsellParts munsellParts(double standardHueStep, double standardValue, double standardChroma,
                          double sampleHueStep, double sampleValue, double sampleChroma);

// The words a colourist reads off the parts: "lighter"/"darker", "stronger"/"weaker",
// "redder"/"greener", "yellower"/"bluer", in that order, each only where its part reaches
// kWordThreshold, joined by ", "; empty when none does.
inline constexpr double kWordThreshold = 0.1; // CIELAB units
std::string differenceWords(const LabParts& p);

} // namespace zul
