#include "colorimetry/lab.h"

#include "text/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zul {
namespace {

constexpr float kThreshold = 0.008856f;

// CIE 15 CIELAB with an exact cube root, as an independent reference.
Lab referenceLab(double x, double y, double z, const Xyz& n) {
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    const double fx = f(x / n.x), fy = f(y / n.y), fz = f(z / n.z);
    return {static_cast<float>(116 * fy - 16), static_cast<float>(500 * (fx - fy)),
            static_cast<float>(200 * (fy - fz))};
}

// ---- xyzlab

TEST(Xyzlab, RaisesLowValuesInTheCallersVariables) {
    Xyz xyz{0, -3, 0.02f};
    const Lab lab = xyzlab(xyz, 0);
    EXPECT_EQ(xyz.x, 0.01f);
    EXPECT_EQ(xyz.y, 0.01f);
    EXPECT_EQ(xyz.z, 0.02f); // not below the floor: untouched
    // 116 * (7.787 * 0.0001 + 16/116) - 16
    EXPECT_NEAR(lab.l, 116 * 7.787 * 0.0001, 1e-5);
}

TEST(Xyzlab, ZeroInputGivesNearBlack) {
    Xyz xyz{0, 0, 0};
    const Lab lab = xyzlab(xyz, 0);
    EXPECT_EQ(xyz.x, 0.01f);
    EXPECT_EQ(xyz.z, 0.01f);
    EXPECT_NEAR(lab.l, 0.0903, 1e-4);
    EXPECT_LT(std::fabs(lab.a), 0.05f);
    EXPECT_LT(std::fabs(lab.b), 0.05f);
}

TEST(Xyzlab, EachSettingsWhiteIsNeutral) {
    for (int i = 0; i < 3; ++i) {
        Xyz white = kIlluminants[static_cast<std::size_t>(i)].white;
        const Lab lab = xyzlab(white, i);
        EXPECT_FLOAT_EQ(lab.l, 100.0f) << i;
        EXPECT_FLOAT_EQ(lab.a, 0.0f) << i;
        EXPECT_FLOAT_EQ(lab.b, 0.0f) << i;
    }
    // Illuminant C seen against the D50 white is bluish: b* negative.
    Xyz c = kIlluminants[0].white;
    EXPECT_LT(xyzlab(c, 1).b, -10.0f);
}

TEST(Xyzlab, AgreesWithTheStandardFormulaWithinTheRoundedExponent) {
    const Xyz samples[] = {{41.24f, 21.26f, 1.93f}, {12.0f, 30.0f, 50.0f}, {60.0f, 55.0f, 20.0f}};
    for (int i = 0; i < 3; ++i) {
        const Xyz& n = kIlluminants[static_cast<std::size_t>(i)].white;
        for (const Xyz& s : samples) {
            Xyz in = s;
            const Lab got = xyzlab(in, i);
            const Lab want = referenceLab(s.x, s.y, s.z, n);
            // 0.333333 instead of 1/3 moves L*, a*, b* by a few 1e-4 at most.
            EXPECT_NEAR(got.l, want.l, 1e-3);
            EXPECT_NEAR(got.a, want.a, 1e-3);
            EXPECT_NEAR(got.b, want.b, 1e-3);
        }
    }
}

TEST(Xyzlab, ThresholdIsComparedInSinglePrecisionAndStrictly) {
    // Y whose single-precision ratio to Yn = 100 is exactly the single threshold.
    float y = 0.8856f;
    while (y / 100.0f < kThreshold)
        y = std::nextafter(y, 1.0f);
    while (y / 100.0f > kThreshold)
        y = std::nextafter(y, 0.0f);
    ASSERT_EQ(y / 100.0f, kThreshold);
    // The single threshold lies above the decimal 0.008856: a double comparison would take the
    // cube branch here.
    ASSERT_GT(static_cast<double>(kThreshold), 0.008856);

    const double t = kThreshold;
    const double linearL = 116 * static_cast<float>(7.787 * t + 16.0 / 116.0) - 16;
    const double cubeL = 116 * static_cast<float>(std::pow(t, 0.333333)) - 16;
    ASSERT_GT(std::fabs(linearL - cubeL), 1e-5); // the two branches are distinguishable

    Xyz at{50, y, 50};
    EXPECT_NEAR(xyzlab(at, 0).l, linearL, 2e-6);

    const float above = std::nextafter(y, 1.0f);
    Xyz over{50, above, 50};
    const double cubeAbove =
        116 * static_cast<float>(std::pow(static_cast<double>(above / 100.0f), 0.333333)) - 16;
    EXPECT_NEAR(xyzlab(over, 0).l, cubeAbove, 2e-6);
}

TEST(Xyzlab, RejectsBadInput) {
    Xyz xyz{50, 50, 50};
    EXPECT_THROW(xyzlab(xyz, 3), RangeError);
    Xyz nan{std::numeric_limits<float>::quiet_NaN(), 50, 50};
    EXPECT_THROW(xyzlab(nan, 0), ArithmeticError);
    Xyz inf{50, std::numeric_limits<float>::infinity(), 50};
    EXPECT_THROW(xyzlab(inf, 0), ArithmeticError);
}

// ---- labxyz

TEST(Labxyz, WhiteIsItsOwnNotIlluminantC) {
    const Xyz xyz = labxyz({100, 0, 0});
    EXPECT_FLOAT_EQ(xyz.x, 98.04f);
    EXPECT_FLOAT_EQ(xyz.y, 100.0f);
    EXPECT_FLOAT_EQ(xyz.z, 118.1f);
}

TEST(Labxyz, DarkColoursFollowTheCubeLaw) {
    const Xyz xyz = labxyz({0, 0, 0});
    // The CIE linear segment would give 0.
    const double y = std::pow(16.0 / 116.0, 3) * 100; // 0.26241
    EXPECT_NEAR(xyz.y, y, 1e-7);
    // (Y^0.333333)^3 is Y^0.999999: 6e-6 relative above Y at this level.
    EXPECT_NEAR(xyz.x, y * 0.9804, 5e-6);
    EXPECT_NEAR(xyz.z, y * 1.181, 5e-6);
}

TEST(Labxyz, MinusSixteenGivesZeroLuminance) {
    const Xyz xyz = labxyz({-16, 50, -20});
    EXPECT_EQ(xyz.y, 0.0f);
    EXPECT_NEAR(xyz.x, 0.1 * 0.1 * 0.1 * 98.04, 1e-6);     // (a*/500)^3
    EXPECT_NEAR(xyz.z, 0.1 * 0.1 * 0.1 * 118.1, 1e-6);     // (-b*/200)^3
    EXPECT_NEAR(labxyz({-16, -50, 20}).x, -0.09804, 1e-6); // a true cube keeps the sign
}

TEST(Labxyz, BelowMinusSixteenIsARangeError) {
    try {
        labxyz({-17, 0, 0});
        FAIL() << "no error";
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "L* must be at least -16");
    }
    EXPECT_THROW(labxyz({std::nextafter(-16.0f, -17.0f), 0, 0}), RangeError);
}

TEST(Labxyz, NonFiniteIsAnArithmeticError) {
    EXPECT_THROW(labxyz({std::numeric_limits<float>::quiet_NaN(), 0, 0}), ArithmeticError);
    EXPECT_THROW(labxyz({50, 1e30f, 0}), ArithmeticError); // X overflows single precision
}

// ---- round trip

// Under setting 0 the two whites agree in Y and differ by fixed factors in X and Z, so
// labxyz(xyzlab(X)) is X rescaled by those factors wherever every ratio takes the cube branch.
// Measured over the grid: relative error at most 1.01e-5 (from 0.333333 standing for 1/3).
TEST(LabRoundTrip, ReturnsTheSampleRescaledToTheInverseWhite) {
    constexpr double kRelTol = 2e-5;
    double worst = 0;
    for (float x = 1; x <= 98; x += 3.5f)
        for (float y = 1; y <= 100; y += 3.5f)
            for (float z = 1.1f; z <= 118; z += 3.5f) {
                Xyz in{x, y, z};
                const Xyz out = labxyz(xyzlab(in, 0));
                const double want[3] = {x * 98.04 / 98.074, y, z * 118.1 / 118.232};
                const double got[3] = {out.x, out.y, out.z};
                for (int k = 0; k < 3; ++k)
                    worst = std::max(worst, std::fabs(got[k] - want[k]) / want[k]);
            }
    EXPECT_LT(worst, kRelTol);
}

TEST(LabRoundTrip, DarkColoursDoNotReturn) {
    // The linear segment of xyzlab has no counterpart in labxyz.
    Xyz in{0.5f, 0.5f, 0.5f};
    EXPECT_GT(labxyz(xyzlab(in, 0)).y, 0.55f);
}

} // namespace
} // namespace zul
