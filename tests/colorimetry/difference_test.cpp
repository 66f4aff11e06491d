// The colour-difference formulas against the published data and against a second
// implementation written here from the papers: CIE 15 for ΔE*ab and its parts, CIE 116-1995 for
// ΔE94, Clarke, McDonald and Rigg (1984) for CMC(l:c), Sharma, Wu and Dalal (2005) for
// CIEDE2000.
#include "colorimetry/difference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace zul {
namespace {

constexpr double kAgreeTol = 1e-6;     // two double implementations of one formula
constexpr double kPublishedTol = 1e-7; // the reference values are given to eight places

// --- the second implementation, in radians, with ΔH* from ΔE*ab, ΔL* and ΔC* and its sign from
// the cross product of the two (a*, b*) vectors.
struct Ref {
    static double chroma(const LabD& c) { return std::sqrt(c.a * c.a + c.b * c.b); }
    static double dHue(const LabD& s, const LabD& t) {
        const double dl = t.l - s.l, dc = chroma(t) - chroma(s);
        const double de2 =
            (t.l - s.l) * (t.l - s.l) + (t.a - s.a) * (t.a - s.a) + (t.b - s.b) * (t.b - s.b);
        const double h2 = std::max(0.0, de2 - dl * dl - dc * dc);
        const double cross = s.a * t.b - s.b * t.a;
        return cross < 0 ? -std::sqrt(h2) : std::sqrt(h2);
    }
    static double de94(const LabD& s, const LabD& t, double kL, double k1, double k2) {
        const double c = chroma(s);
        const double x = (t.l - s.l) / kL;
        const double y = (chroma(t) - c) / (1 + k1 * c);
        const double z = dHue(s, t) / (1 + k2 * c);
        return std::sqrt(x * x + y * y + z * z);
    }
    static double cmc(const LabD& s, const LabD& u, double l, double c) {
        const double c1 = chroma(s);
        double h = std::atan2(s.b, s.a) * 180 / std::numbers::pi;
        if (h < 0) h += 360;
        const double sl = s.l < 16 ? 0.511 : 0.040975 * s.l / (1 + 0.01765 * s.l);
        const double sc = 0.0638 * c1 / (1 + 0.0131 * c1) + 0.638;
        const double f = std::sqrt(std::pow(c1, 4) / (std::pow(c1, 4) + 1900));
        const double rad = std::numbers::pi / 180;
        const double tt = (164 <= h && h <= 345) ? 0.56 + std::fabs(0.2 * std::cos(rad * (h + 168)))
                                                 : 0.36 + std::fabs(0.4 * std::cos(rad * (h + 35)));
        const double sh = sc * (f * tt + 1 - f);
        const double x = (u.l - s.l) / (l * sl);
        const double y = (chroma(u) - c1) / (c * sc);
        const double z = dHue(s, u) / sh;
        return std::sqrt(x * x + y * y + z * z);
    }
    // Sharma, Wu and Dalal, equations (1) to (22), with angles kept in radians.
    static double de00(const LabD& s, const LabD& t, double kL, double kC, double kH) {
        const double pi = std::numbers::pi;
        const double cBar = (chroma(s) + chroma(t)) / 2;
        const double g =
            0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + std::pow(25.0, 7))));
        const double ap1 = (1 + g) * s.a, ap2 = (1 + g) * t.a;
        const double cp1 = std::sqrt(ap1 * ap1 + s.b * s.b), cp2 = std::sqrt(ap2 * ap2 + t.b * t.b);
        auto angle = [pi](double b, double a) {
            if (a == 0 && b == 0) return 0.0;
            const double h = std::atan2(b, a);
            return h < 0 ? h + 2 * pi : h;
        };
        const double hp1 = angle(s.b, ap1), hp2 = angle(t.b, ap2);
        double dhp = 0;
        if (cp1 * cp2 != 0) {
            dhp = hp2 - hp1;
            if (dhp > pi) dhp -= 2 * pi;
            if (dhp < -pi) dhp += 2 * pi;
        }
        const double dLp = t.l - s.l, dCp = cp2 - cp1;
        const double dHp = 2 * std::sqrt(cp1 * cp2) * std::sin(dhp / 2);
        const double lBarp = (s.l + t.l) / 2, cBarp = (cp1 + cp2) / 2;
        double hBarp = hp1 + hp2;
        if (cp1 * cp2 != 0) {
            if (std::fabs(hp1 - hp2) <= pi)
                hBarp = (hp1 + hp2) / 2;
            else if (hp1 + hp2 < 2 * pi)
                hBarp = (hp1 + hp2 + 2 * pi) / 2;
            else
                hBarp = (hp1 + hp2 - 2 * pi) / 2;
        }
        const double deg = pi / 180;
        const double T = 1 - 0.17 * std::cos(hBarp - 30 * deg) + 0.24 * std::cos(2 * hBarp) +
                         0.32 * std::cos(3 * hBarp + 6 * deg) -
                         0.20 * std::cos(4 * hBarp - 63 * deg);
        const double dTheta = 30 * deg * std::exp(-std::pow((hBarp / deg - 275) / 25, 2));
        const double rC =
            2 * std::sqrt(std::pow(cBarp, 7) / (std::pow(cBarp, 7) + std::pow(25.0, 7)));
        const double sL =
            1 + 0.015 * std::pow(lBarp - 50, 2) / std::sqrt(20 + std::pow(lBarp - 50, 2));
        const double sC = 1 + 0.045 * cBarp, sH = 1 + 0.015 * cBarp * T;
        const double rT = -std::sin(2 * dTheta) * rC;
        const double x = dLp / (kL * sL), y = dCp / (kC * sC), z = dHp / (kH * sH);
        return std::sqrt(x * x + y * y + z * z + rT * y * z);
    }
};

TEST(Difference, AgreesWithTheSecondImplementationOnRandomPairs) {
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> l(0, 100), ab(-128, 128), k(0.5, 3);
    for (int i = 0; i < 1000; ++i) {
        const LabD s{l(rng), ab(rng), ab(rng)}, t{l(rng), ab(rng), ab(rng)};
        SCOPED_TRACE(i);
        const LabParts p = labParts(s, t);
        EXPECT_NEAR(p.dE, std::hypot(t.l - s.l, t.a - s.a, t.b - s.b), kAgreeTol);
        EXPECT_NEAR(p.dC, Ref::chroma(t) - Ref::chroma(s), kAgreeTol);
        EXPECT_NEAR(p.dH, Ref::dHue(s, t), kAgreeTol);
        EXPECT_NEAR(deltaE94(s, t).dE, Ref::de94(s, t, 1, 0.045, 0.015), kAgreeTol);
        EXPECT_NEAR(deltaE94(s, t, kCie94Textiles).dE, Ref::de94(s, t, 2, 0.048, 0.014), kAgreeTol);
        EXPECT_NEAR(deltaECmc(s, t).dE, Ref::cmc(s, t, 2, 1), kAgreeTol);
        const double lw = k(rng), cw = k(rng);
        EXPECT_NEAR(deltaECmc(s, t, {lw, cw}).dE, Ref::cmc(s, t, lw, cw), kAgreeTol);
        EXPECT_NEAR(ciede2000(s, t).dE, Ref::de00(s, t, 1, 1, 1), kAgreeTol);
        const double kh = k(rng);
        EXPECT_NEAR(ciede2000(s, t, {lw, cw, kh}).dE, Ref::de00(s, t, lw, cw, kh), kAgreeTol);
    }
}

// Reference values of the colour-science library's test suite (colour.difference), whose first
// colour is the standard; CMC there is 2:1 and its lightnesses are equal, so 1:1 gives the same.
TEST(Difference, Cie94AndCmcMatchPublishedReferenceValues) {
    const LabD standard{100, 21.57210357, 272.22819350};
    struct Case {
        LabD sample;
        double graphicArts, textiles, cmc;
    };
    const Case cases[] = {
        {{100, 426.67945353, 72.39590835}, 83.779225500887094, 88.335553057506502, 172.70477129},
        {{100, 74.05216981, 276.45318193}, 10.053931954553839, 10.612657890048272, 20.59732717},
        {{100, 8.32281957, -73.58297716}, 57.535453706667425, 60.368687261063329, 121.71841479},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(deltaE94(standard, c.sample).dE, c.graphicArts, kPublishedTol);
        EXPECT_NEAR(deltaE94(standard, c.sample, kCie94Textiles).dE, c.textiles, kPublishedTol);
        EXPECT_NEAR(deltaECmc(standard, c.sample).dE, c.cmc, 1e-6);
        EXPECT_NEAR(deltaECmc(standard, c.sample, kCmc11).dE, c.cmc, 1e-6);
    }
}

TEST(Difference, SymmetricWhereTheFormulaIsAndWeightedByTheStandardWhereNot) {
    const LabD grey{50, 0, 2}, red{50, 40, 20};
    EXPECT_DOUBLE_EQ(labParts(grey, red).dE, labParts(red, grey).dE);
    EXPECT_NEAR(ciede2000(grey, red).dE, ciede2000(red, grey).dE, 1e-12);
    // ΔE94 and CMC weight by the standard's chroma: a saturated standard forgives more.
    EXPECT_GT(deltaE94(grey, red).dE, deltaE94(red, grey).dE + 1);
    EXPECT_GT(deltaECmc(grey, red).dE, deltaECmc(red, grey).dE + 1);
    EXPECT_NEAR(deltaE94(red, grey).dE, Ref::de94(red, grey, 1, 0.045, 0.015), kAgreeTol);
    // The parts change sign with the order; ΔE*ab's parts with it.
    const LabParts there = labParts(grey, red), back = labParts(red, grey);
    EXPECT_DOUBLE_EQ(there.dL, -back.dL);
    EXPECT_DOUBLE_EQ(there.dC, -back.dC);
    EXPECT_NEAR(there.dH, -back.dH, 1e-12);
}

TEST(Difference, PartsCarryTheSignsOfSampleMinusStandard) {
    const LabD standard{50, 30, 0}; // hue angle 0
    // A sample turned anticlockwise (towards +b*) has a positive ΔH*.
    const LabParts turned = labParts(standard, {50, 30 * std::cos(0.1), 30 * std::sin(0.1)});
    EXPECT_GT(turned.dH, 0);
    EXPECT_NEAR(turned.dC, 0, 1e-12);
    EXPECT_NEAR(turned.dH, 2 * 30 * std::sin(0.05), 1e-12);
    // Across the 0/360 seam the short arc is taken.
    EXPECT_LT(labParts(standard, {50, 30, -1}).dH, 0);
    const WeightedParts w = deltaECmc(standard, {52, 33, 1});
    EXPECT_GT(w.l, 0);
    EXPECT_GT(w.c, 0);
    EXPECT_GT(w.h, 0);
    EXPECT_NEAR(w.dE, std::sqrt(w.l * w.l + w.c * w.c + w.h * w.h), 1e-12);
    const Ciede2000Parts d = ciede2000(standard, {48, 27, -1});
    EXPECT_LT(d.l, 0);
    EXPECT_LT(d.c, 0);
    EXPECT_LT(d.h, 0);
}

TEST(Difference, MunsellPartsTakeTheShortArcOfHue) {
    struct Case {
        double h1, h2, dHue;
    };
    const Case cases[] = {{5, 7.5, 2.5}, {98, 2, 4}, {2, 98, -4}, {0, 50, 50}, {50, 0, 50}};
    for (const Case& c : cases)
        EXPECT_NEAR(munsellParts(c.h1, 4, 6, c.h2, 5, 5).dHue, c.dHue, 1e-12)
            << c.h1 << " " << c.h2;
    const MunsellParts m = munsellParts(10, 4, 6, 12, 5.5, 4);
    EXPECT_DOUBLE_EQ(m.dValue, 1.5);
    EXPECT_DOUBLE_EQ(m.dChroma, -2);
}

TEST(Difference, WordsNameTheDirectionsAColouristReads) {
    struct Case {
        LabD sample;
        const char* words;
    };
    const LabD standard{50, 20, 20};
    const Case cases[] = {
        {{52, 22, 17.8}, "lighter, redder, bluer"},
        {{48, 25, 25}, "darker, stronger, redder, yellower"},
        {{50, 15, 15}, "weaker, greener, bluer"},
        {{50.05, 20.05, 19.95}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(differenceWords(labParts(standard, c.sample)), c.words);
}

} // namespace
} // namespace zul
