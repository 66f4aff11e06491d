#include "colorimetry/illuminant.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zul {
namespace {

// Adaptation runs in single precision with wider sums; relative agreement expected.
constexpr float kAdaptTol = 2e-5f;

void expectXyzNear(const Xyz& a, const Xyz& b, float rel = kAdaptTol) {
    EXPECT_NEAR(a.x, b.x, rel * std::fabs(b.x) + 1e-5f);
    EXPECT_NEAR(a.y, b.y, rel * std::fabs(b.y) + 1e-5f);
    EXPECT_NEAR(a.z, b.z, rel * std::fabs(b.z) + 1e-5f);
}

// Independent reference in double: M^-1 diag(M w_dst / M w_src) M s, with M^-1 inverted here.
Xyz bradfordReference(const Xyz& s, const Xyz& src, const Xyz& dst) {
    const double m[3][3] = {
        {0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};
    auto mul = [&](const double(&a)[3][3], const double(&v)[3], double(&out)[3]) {
        for (int r = 0; r < 3; ++r)
            out[r] = a[r][0] * v[0] + a[r][1] * v[1] + a[r][2] * v[2];
    };
    double inv[3][3];
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inv[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    const double ws[3] = {src.x / src.y, 1, src.z / src.y};
    const double wd[3] = {dst.x / dst.y, 1, dst.z / dst.y};
    const double v[3] = {s.x, s.y, s.z};
    double cs[3], cd[3], cv[3], r[3];
    mul(m, ws, cs);
    mul(m, wd, cd);
    mul(m, v, cv);
    for (int k = 0; k < 3; ++k)
        cv[k] *= cd[k] / cs[k];
    mul(inv, cv, r);
    return {static_cast<float>(r[0]), static_cast<float>(r[1]), static_cast<float>(r[2])};
}

TEST(Illuminants, TableAndCaptionsAsTheWindowShowsThem) {
    EXPECT_EQ(kIlluminants[0].optionCaption, "C 1931");
    EXPECT_EQ(kIlluminants[1].optionCaption, "D5000");
    EXPECT_EQ(kIlluminants[2].optionCaption, "D65 10");
    EXPECT_EQ(kIlluminants[0].statusCaption, "illuminant C  2\u00B0 Observer ");
    EXPECT_EQ(kIlluminants[1].statusCaption, "illuminant D5000 2\u00B0 Observer ");
    EXPECT_EQ(kIlluminants[2].statusCaption, "Illuminant D65  10\u00B0 Observer ");
    EXPECT_EQ(kIlluminantStatusDefault, "Illuminant C  2\u00B0   Standard Observer");
    EXPECT_EQ(kIlluminants[1].white.x, 96.42f);
    EXPECT_EQ(kIlluminants[2].white.z, 107.304f);
}

TEST(Illuminants, CWhiteAdaptsToTheOtherWhites) {
    for (int ill : {1, 2}) {
        Xyz w = kIlluminants[0].white;
        float xs = 0, ys = 0;
        xyzconvert("F", ill, w, xs, ys);
        expectXyzNear(w, kIlluminants[ill].white);
        const Xyz& d = kIlluminants[ill].white;
        EXPECT_NEAR(xs, d.x / (d.x + d.y + d.z), 1e-6f);
        EXPECT_NEAR(ys, d.y / (d.x + d.y + d.z), 1e-6f);
        // And a half-luminance sample of the selected white's chromaticity back to C.
        Xyz half{d.x / 2, 50, d.z / 2};
        xyzconvert("B", ill, half, xs, ys);
        expectXyzNear(half, {98.074f / 2, 50, 118.232f / 2});
    }
}

TEST(Illuminants, AdaptationMatchesTheBradfordMatrixForm) {
    const Xyz samples[] = {{41.2f, 21.3f, 1.9f}, {18.05f, 7.22f, 95.05f}, {5, 4, 3}, {80, 90, 20}};
    for (const Xyz& s : samples)
        for (int ill : {1, 2}) {
            Xyz out;
            xyzconv(s, kIlluminants[0].white, out, kIlluminants[ill].white);
            expectXyzNear(out, bradfordReference(s, kIlluminants[0].white, kIlluminants[ill].white),
                          1e-4f);
        }
}

TEST(Illuminants, ForwardThenBackwardRestoresTheColour) {
    const Xyz samples[] = {{41.2f, 21.3f, 1.9f}, {0.5f, 0.4f, 2.0f}, {95, 100, 110}};
    for (const Xyz& s : samples)
        for (int ill : {1, 2}) {
            Xyz v = s;
            float xs, ys;
            xyzconvert("F", ill, v, xs, ys);
            xyzconvert("B", ill, v, xs, ys);
            expectXyzNear(v, s, 1e-4f);
            // Any direction other than "F" is backward.
            Xyz w = s;
            xyzconvert("F", ill, w, xs, ys);
            xyzconvert("x", ill, w, xs, ys);
            expectXyzNear(w, s, 1e-4f);
        }
}

TEST(Illuminants, ZeroAndDegenerateSamples) {
    Xyz out{1, 1, 1};
    xyzconv({0, 0, 0}, kIlluminants[0].white, out, kIlluminants[1].white);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);
    EXPECT_THROW(xyzconv({1, 0, 1}, kIlluminants[0].white, out, kIlluminants[1].white),
                 ArithmeticError);
    EXPECT_THROW(xyzconv({1e30f, 1e-30f, 1}, kIlluminants[0].white, out, kIlluminants[1].white),
                 ArithmeticError);
    Xyz zero{0, 0, 0};
    float xs, ys;
    EXPECT_THROW(xyzconvert("B", 2, zero, xs, ys), ArithmeticError);
    Xyz any{10, 10, 10};
    EXPECT_THROW(xyzconvert("F", 3, any, xs, ys), RangeError);
}

} // namespace
} // namespace zul
