#include "colorimetry/difference.h"

#include <cmath>
#include <numbers>

namespace zul {

namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr double k25pow7 = 6103515625.0; // 25^7

// Hue angle in degrees, 0..360; 0 for a colour without chroma.
double hueAngle(double b, double a) {
    if (a == 0 && b == 0) return 0;
    const double h = std::atan2(b, a) / kDeg;
    return h < 0 ? h + 360 : h;
}

// h2 - h1 on the short arc, -180..180.
double hueDifference(double h1, double h2) {
    double dh = h2 - h1;
    if (dh > 180)
        dh -= 360;
    else if (dh < -180)
        dh += 360;
    return dh;
}

WeightedParts weighted(double l, double c, double h) {
    return {l, c, h, std::sqrt(l * l + c * c + h * h)};
}

} // namespace

LabParts labParts(const LabD& standard, const LabD& sample) {
    LabParts p;
    p.dL = sample.l - standard.l;
    p.da = sample.a - standard.a;
    p.db = sample.b - standard.b;
    const double c1 = std::hypot(standard.a, standard.b);
    const double c2 = std::hypot(sample.a, sample.b);
    p.dC = c2 - c1;
    const double dh = hueDifference(hueAngle(standard.b, standard.a), hueAngle(sample.b, sample.a));
    p.dH = 2 * std::sqrt(c1 * c2) * std::sin(dh / 2 * kDeg);
    p.dE = std::sqrt(p.dL * p.dL + p.da * p.da + p.db * p.db);
    return p;
}

WeightedParts deltaE94(const LabD& standard, const LabD& sample, const Cie94Constants& k) {
    const LabParts p = labParts(standard, sample);
    const double c1 = std::hypot(standard.a, standard.b);
    const double sc = 1 + k.k1 * c1;
    const double sh = 1 + k.k2 * c1;
    return weighted(p.dL / k.kL, p.dC / sc, p.dH / sh);
}

WeightedParts deltaECmc(const LabD& standard, const LabD& sample, const CmcRatio& lc) {
    const LabParts p = labParts(standard, sample);
    const double l1 = standard.l;
    const double c1 = std::hypot(standard.a, standard.b);
    const double h1 = hueAngle(standard.b, standard.a);
    const double sl = l1 < 16 ? 0.511 : 0.040975 * l1 / (1 + 0.01765 * l1);
    const double sc = 0.0638 * c1 / (1 + 0.0131 * c1) + 0.638;
    const double c14 = c1 * c1 * c1 * c1;
    const double f = std::sqrt(c14 / (c14 + 1900));
    const double t = (h1 >= 164 && h1 <= 345) ? 0.56 + std::abs(0.2 * std::cos((h1 + 168) * kDeg))
                                              : 0.36 + std::abs(0.4 * std::cos((h1 + 35) * kDeg));
    const double sh = sc * (f * t + 1 - f);
    return weighted(p.dL / (lc.l * sl), p.dC / (lc.c * sc), p.dH / sh);
}

Ciede2000Parts ciede2000(const LabD& x, const LabD& y, const Ciede2000Weights& k) {
    const double c1 = std::hypot(x.a, x.b);
    const double c2 = std::hypot(y.a, y.b);
    const double cMean7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + k25pow7)));
    const double a1 = (1 + g) * x.a;
    const double a2 = (1 + g) * y.a;
    const double cp1 = std::hypot(a1, x.b);
    const double cp2 = std::hypot(a2, y.b);
    const double h1 = hueAngle(x.b, a1);
    const double h2 = hueAngle(y.b, a2);

    const double dL = y.l - x.l;
    const double dC = cp2 - cp1;
    const bool achromatic = cp1 * cp2 == 0;
    const double dh = achromatic ? 0 : hueDifference(h1, h2);
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(dh / 2 * kDeg);

    const double lMean = (x.l + y.l) / 2;
    const double cMean = (cp1 + cp2) / 2;
    double hMean = h1 + h2;
    if (!achromatic) {
        if (std::abs(h1 - h2) <= 180)
            hMean /= 2;
        else
            hMean = hMean < 360 ? (hMean + 360) / 2 : (hMean - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos((hMean - 30) * kDeg) + 0.24 * std::cos(2 * hMean * kDeg) +
                     0.32 * std::cos((3 * hMean + 6) * kDeg) -
                     0.20 * std::cos((4 * hMean - 63) * kDeg);
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cMeanP7 = std::pow(cMean, 7);
    const double rc = 2 * std::sqrt(cMeanP7 / (cMeanP7 + k25pow7));
    const double l50 = (lMean - 50) * (lMean - 50);
    const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sc = 1 + 0.045 * cMean;
    const double sh = 1 + 0.015 * cMean * t;

    Ciede2000Parts p;
    p.l = dL / (k.kL * sl);
    p.c = dC / (k.kC * sc);
    p.h = dH / (k.kH * sh);
    p.rt = -std::sin(2 * dTheta * kDeg) * rc;
    p.dE = std::sqrt(p.l * p.l + p.c * p.c + p.h * p.h + p.rt * p.c * p.h);
    return p;
}

MunsellParts munsellParts(double standardHueStep, double standardValue, double standardChroma,
                          double sampleHueStep, double sampleValue, double sampleChroma) {
    double dh = sampleHueStep - standardHueStep;
    dh = std::fmod(dh, 100);
    if (dh > 50)
        dh -= 100;
    else if (dh <= -50)
        dh += 100;
    return {dh, sampleValue - standardValue, sampleChroma - standardChroma};
}

std::string differenceWords(const LabParts& p) {
    std::string words;
    const auto say = [&words](double part, const char* plus, const char* minus) {
        if (std::abs(part) < kWordThreshold) return;
        if (!words.empty()) words += ", ";
        words += part > 0 ? plus : minus;
    };
    say(p.dL, "lighter", "darker");
    say(p.dC, "stronger", "weaker");
    say(p.da, "redder", "greener");
    say(p.db, "yellower", "bluer");
    return words;
}

} // namespace zul
