#include "colorimetry/rgb.h"

#include "text/errors.h"
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace zul {
namespace {

const RgbSettings kDefaults{};

// XYZ (0..100) whose linear RGB under `illuminant` is `linear`.
Xyz xyzOf(const LinearRgb& linear, int illuminant = 0) {
    const Xyz u = rgbxyz(linear, illuminant);
    return {u.x * 100, u.y * 100, u.z * 100};
}

double maxDiff(const Xyz& a, const Xyz& b) {
    return std::max({std::fabs(static_cast<double>(a.x) - b.x),
                     std::fabs(static_cast<double>(a.y) - b.y),
                     std::fabs(static_cast<double>(a.z) - b.z)});
}

// ---- xyzrgb

TEST(Xyzrgb, IlluminantCWhiteFloorsGreenTo254WithoutFlag) {
    const RgbConversion c = xyzrgb(kIlluminants[0].white, 0, kDefaults);
    EXPECT_NEAR(c.linear[0], 1.00001f, 2e-6);
    EXPECT_NEAR(c.linear[1], 0.99999f, 2e-6);
    EXPECT_NEAR(c.linear[2], 1.00008f, 2e-6);
    EXPECT_EQ(c.clipped, (DisplayRgb{255, 254, 255})); // 254.998 floors to 254
    EXPECT_FALSE(c.outOfRange);
    EXPECT_EQ(c.shown(false), (DisplayRgb{255, 254, 255}));
}

TEST(Xyzrgb, EachWhiteMapsToDisplayWhite) {
    for (int i = 0; i < 3; ++i) {
        const RgbConversion c =
            xyzrgb(kIlluminants[static_cast<std::size_t>(i)].white, i, kDefaults);
        for (std::int16_t v : c.clipped)
            EXPECT_GE(v, 253) << i;
    }
}

TEST(Xyzrgb, ComponentJustAboveOneIsFlaggedOnlyPastTheLastStep) {
    // 255 * 1.01^(1/2.2) = 256.2: floored to 256, clipped and flagged.
    const RgbConversion over = xyzrgb(xyzOf({1.01f, 0.5f, 0.25f}), 0, kDefaults);
    EXPECT_TRUE(over.outOfRange);
    EXPECT_EQ(over.clipped[0], 255);
    EXPECT_EQ(over.shown(false), (DisplayRgb{0, 0, 0})); // interactive: black
    EXPECT_EQ(over.shown(true), over.clipped);           // quiet: clipped channels
    EXPECT_GT(over.linear[0], 1.0f);                     // unclamped above 1
    EXPECT_EQ(over.cmyk.fraction.c, 0.0f);               // negative ink clamped

    // 255 * 1.005^(1/2.2) = 255.6: floored to 255, in range.
    const RgbConversion edge = xyzrgb(xyzOf({1.005f, 0.5f, 0.25f}), 0, kDefaults);
    EXPECT_FALSE(edge.outOfRange);
    EXPECT_EQ(edge.clipped[0], 255);
    EXPECT_EQ(edge.shown(false), edge.clipped);
}

TEST(Xyzrgb, NegativeComponentIsZeroedAndFlagged) {
    const RgbConversion c = xyzrgb(xyzOf({-0.1f, 0.5f, 0.5f}), 0, kDefaults);
    EXPECT_TRUE(c.outOfRange);
    EXPECT_EQ(c.linear[0], 0.0f);
    EXPECT_EQ(c.clipped[0], 0);
    EXPECT_GT(c.clipped[1], 0);
    EXPECT_EQ(c.shown(false), (DisplayRgb{0, 0, 0}));
}

TEST(Xyzrgb, NonPositiveScaledXyzIsFlagged) {
    const RgbConversion black = xyzrgb({0, 0, 0}, 0, kDefaults);
    EXPECT_TRUE(black.outOfRange);
    EXPECT_EQ(black.clipped, (DisplayRgb{0, 0, 0}));
    // Raised by xyzlab first, as the chains do: a very dark grey, not flagged.
    const RgbConversion raised = xyzrgb({0.01f, 0.01f, 0.01f}, 0, kDefaults);
    EXPECT_FALSE(raised.outOfRange);
}

TEST(Xyzrgb, ReportsTheScaledXyzAsTheMatrixSawIt) {
    const RgbConversion c = xyzrgb({50, 40, 30}, 1, kDefaults);
    EXPECT_FLOAT_EQ(c.scaled.x, 0.5f * kRgbWhiteScale[1].x);
    EXPECT_FLOAT_EQ(c.scaled.y, 0.4f);
    EXPECT_FLOAT_EQ(c.scaled.z, 0.3f * kRgbWhiteScale[1].z);
}

TEST(Xyzrgb, GammaOneIsLinear) {
    RgbSettings s;
    setGamma(s, 1.0);
    const RgbConversion c = xyzrgb(xyzOf({0.81f, 0.25f, 0.75f}), 0, s);
    EXPECT_EQ(c.clipped, (DisplayRgb{206, 63, 191})); // floor(255 * linear)
}

TEST(Xyzrgb, GainsScaleChannels) {
    RgbSettings s;
    s.gains = tintGains(60);
    const RgbConversion c = xyzrgb(kIlluminants[0].white, 0, s);
    EXPECT_EQ(c.clipped[0], 255);
    EXPECT_EQ(c.clipped[1], 192); // floor(255 * 0.7552941 * 0.99999^0.4545)
    EXPECT_EQ(c.clipped[2], 153); // floor(255 * 0.6 * 1.00008^0.4545)
}

TEST(Xyzrgb, RejectsBadInput) {
    EXPECT_THROW(xyzrgb({50, 50, 50}, -1, kDefaults), RangeError);
    EXPECT_THROW(xyzrgb({std::numeric_limits<float>::quiet_NaN(), 50, 50}, 0, kDefaults),
                 ArithmeticError);
    EXPECT_THROW(xyzrgb({std::numeric_limits<float>::infinity(), 50, 50}, 0, kDefaults),
                 ArithmeticError);
}

// ---- rgbxyz

TEST(Rgbxyz, DisplayWhiteIsEachSettingsWhite) {
    for (int i = 0; i < 3; ++i) {
        const Xyz w = xyzOf({1, 1, 1}, i);
        const Xyz& want = kIlluminants[static_cast<std::size_t>(i)].white;
        EXPECT_NEAR(w.x, want.x, 0.03) << i;
        EXPECT_NEAR(w.y, want.y, 0.001) << i;
        EXPECT_NEAR(w.z, want.z, 0.03) << i;
    }
}

// ---- rgbcmyk

TEST(Rgbcmyk, BlackShowsFlooredSinglePrecisionPercentages) {
    LinearRgb black{0, 0, 0};
    const CmykEstimate e = rgbcmyk(black, kDefaults);
    EXPECT_FLOAT_EQ(e.fraction.k, 0.8f);
    EXPECT_FLOAT_EQ(e.fraction.c, 0.2f);
    // 1 - 0.8 in single precision is just below 0.2, so the fields show 19, not 20.
    EXPECT_EQ(e.percent, (std::array<std::int16_t, 4>{19, 19, 19, 80}));
}

TEST(Rgbcmyk, NoBlackBelowTwentyPercent) {
    LinearRgb rgb{0.9f, 0.5f, 0.3f};
    const CmykEstimate e = rgbcmyk(rgb, kDefaults);
    EXPECT_EQ(e.fraction.k, 0.0f);
    EXPECT_NEAR(e.fraction.c, 1 - std::pow(0.9, 0.4545), 1e-6);
    EXPECT_NEAR(e.fraction.m, 1 - std::pow(0.5, 0.4545), 1e-6);
    EXPECT_NEAR(e.fraction.y, 1 - std::pow(0.3, 0.4545), 1e-6);
}

TEST(Rgbcmyk, NegativeInputIsRaisedInPlace) {
    LinearRgb rgb{-0.5f, 1, 1};
    const CmykEstimate e = rgbcmyk(rgb, kDefaults);
    EXPECT_EQ(rgb[0], 0.0f);
    EXPECT_EQ(e.percent, (std::array<std::int16_t, 4>{100, 0, 0, 0}));
}

TEST(Rgbcmyk, AboveOneIsClampedToZeroInk) {
    LinearRgb rgb{1.2f, 1, 1};
    EXPECT_EQ(rgbcmyk(rgb, kDefaults).fraction.c, 0.0f);
}

TEST(Rgbcmyk, ExponentDoesNotFollowGamma) {
    RgbSettings s;
    setGamma(s, 1.0);
    LinearRgb a{0.3f, 0.6f, 0.1f}, b = a;
    EXPECT_EQ(rgbcmyk(a, s).percent, rgbcmyk(b, kDefaults).percent);
}

// ---- cmykrgb

TEST(Cmykrgb, RoundsHalfUpWhereXyzrgbFloors) {
    // Encoded 0.8 comes back as 255 * 0.8^(0.45454544 / 0.4545) = 203.996.
    const CmykEntry e = cmykrgb({0.2f, 0, 0, 0}, 0, kDefaults);
    EXPECT_EQ(e.rgb, (DisplayRgb{204, 255, 255}));
    EXPECT_FALSE(e.clipped);
    EXPECT_EQ(xyzrgb(xyzOf(e.linear), 0, kDefaults).clipped[0], 203);
}

TEST(Cmykrgb, NoInkIsWhiteWithTwoDecimalXyz) {
    const CmykEntry e = cmykrgb({0, 0, 0, 0}, 0, kDefaults);
    EXPECT_EQ(e.rgb, (DisplayRgb{255, 255, 255}));
    EXPECT_EQ(e.linear, (LinearRgb{1, 1, 1}));
    // 95.0456 / 0.969136, 100, 108.8754 / 0.920927
    EXPECT_FLOAT_EQ(e.xyz.x, 98.07f);
    EXPECT_FLOAT_EQ(e.xyz.y, 100.0f);
    EXPECT_FLOAT_EQ(e.xyz.z, 118.22f);
    EXPECT_NEAR(e.lab.l, 100.0f, 1e-4);
    EXPECT_NEAR(e.lab.a, 0.0f, 0.02);
    EXPECT_NEAR(e.lab.b, 0.0f, 0.02);
}

TEST(Cmykrgb, FullBlackKeepsUnraisedXyz) {
    const CmykEntry e = cmykrgb({0, 0, 0, 1}, 0, kDefaults);
    EXPECT_EQ(e.rgb, (DisplayRgb{0, 0, 0}));
    EXPECT_EQ(e.xyz.y, 0.0f);           // what the XYZ fields show
    EXPECT_NEAR(e.lab.l, 0.0903, 1e-4); // computed from 0.01, 0.01, 0.01
}

TEST(Cmykrgb, ClippingIsReported) {
    RgbSettings s;
    s.gains = {1.2f, 1, 1};
    const CmykEntry e = cmykrgb({0, 0, 0, 0}, 0, s);
    EXPECT_TRUE(e.clipped);
    EXPECT_EQ(e.rgb[0], 255);
}

// ---- gamma and tint

TEST(Gamma, AcceptedOnlyFromOneToThree) {
    EXPECT_EQ(gammaSliderPosition(2.2), 22);
    EXPECT_EQ(gammaSliderPosition(1.0), 10);
    EXPECT_EQ(gammaSliderPosition(3.0), 30);
    EXPECT_EQ(gammaSliderPosition(2.25), 22); // tie to even
    EXPECT_FALSE(gammaSliderPosition(0.5).has_value());
    EXPECT_FALSE(gammaSliderPosition(4).has_value());
    EXPECT_FALSE(gammaSliderPosition(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_THROW(displayExponent(0.5), RangeError);
    RgbSettings s;
    EXPECT_THROW(setGamma(s, 4), RangeError);
    EXPECT_EQ(s.displayExponents, RgbSettings{}.displayExponents);
}

TEST(Gamma, ExponentIsTheReciprocal) {
    // From the field the division is in double (0.45454547); the start-up value divides the
    // single 2.2 (0.45454544).
    EXPECT_EQ(displayExponent(2.2), static_cast<float>(1.0 / 2.2));
    EXPECT_NE(displayExponent(2.2), kDefaultDisplayExponent);
    EXPECT_FLOAT_EQ(kDefaultDisplayExponent, 0.45454544f);
    RgbSettings s;
    setGamma(s, 2.5);
    for (float e : s.displayExponents)
        EXPECT_FLOAT_EQ(e, 0.4f);
    for (float e : s.cmykExponents)
        EXPECT_EQ(e, kCmykExponent);
}

TEST(Tint, GainsFollowThePosition) {
    EXPECT_EQ(tintGains(100), (std::array<float, 3>{1, 1, 1}));
    const auto g = tintGains(50);
    EXPECT_EQ(g[0], 1.0f);
    EXPECT_FLOAT_EQ(g[1], static_cast<float>(1 - 0.5 * 52 / 85));
    EXPECT_EQ(g[2], 0.5f);
    EXPECT_THROW(tintGains(49), RangeError);
    EXPECT_THROW(tintGains(101), RangeError);
}

// ---- round trips

// Inside the gamut, over a 0.05 grid of linear RGB under every setting, measured:
//  - through xyzrgb's linear values: at most 1.1e-4 in X, Y, Z (0..100 scale), the mismatch of
//    the two six-digit matrices;
//  - through the displayed 8-bit values (floored): at most 1.004, one display step near white.
TEST(RgbRoundTrip, InsideTheGamut) {
    double worstLinear = 0, worstDisplay = 0;
    for (int il = 0; il < 3; ++il)
        for (float r = 0.05f; r <= 1.0f; r += 0.05f)
            for (float g = 0.05f; g <= 1.0f; g += 0.05f)
                for (float b = 0.05f; b <= 1.0f; b += 0.05f) {
                    const Xyz in = xyzOf({r, g, b}, il);
                    const RgbConversion c = xyzrgb(in, il, kDefaults);
                    if (c.outOfRange) continue;
                    const Xyz lin = xyzOf(c.linear, il);
                    const Xyz disp = xyzOf(displayToLinear(c.clipped, kDefaults), il);
                    worstLinear = std::max(worstLinear, maxDiff(lin, in));
                    worstDisplay = std::max(worstDisplay, maxDiff(disp, in));
                }
    EXPECT_LT(worstLinear, 2e-4);
    EXPECT_LT(worstDisplay, 1.05);
}

TEST(DisplayToLinear, InvertsTheDisplayEncoding) {
    const LinearRgb l = displayToLinear({255, 128, 0}, kDefaults);
    EXPECT_FLOAT_EQ(l[0], 1.0f);
    EXPECT_NEAR(l[1], std::pow(128.0 / 255, 2.2), 1e-6);
    EXPECT_EQ(l[2], 0.0f);
}

TEST(RoundedPercentXyz, TwoDecimalsHalfAwayFromZero) {
    const Xyz x = roundedPercentXyz({0.125f, 0.0049f, 1.0f});
    EXPECT_FLOAT_EQ(x.x, 12.5f);
    EXPECT_FLOAT_EQ(x.y, 0.49f);
    EXPECT_FLOAT_EQ(x.z, 100.0f);
    EXPECT_FLOAT_EQ(roundedPercentXyz({0.123456f, 0, 0}).x, 12.35f);
}

TEST(RoundedPercentXyz, SameAsReadingTheTwoDecimalText) {
    // What the chains did first: the "###.00" text of the percent, read back. Ties (quarters and
    // eighths of a hundredth), both signs, zeros, the smallest and largest floats, hundredths past
    // 2^53, and a sweep of random bit patterns.
    const auto viaText = [](float unit) {
        return static_cast<float>(parseStrict(formatPicture(unit * 100.0f, "###.00")));
    };
    std::vector<float> units = {0.0f,  -0.0f,  0.00005f,      -0.00005f, 1e-45f,     -1e-45f, 3e36f,
                                1e13f, -1e13f, 9.0071993e13f, 0.000125f, -0.000375f, 1.0f,    0.5f};
    for (int k = -4000; k <= 4000; ++k)
        units.push_back(static_cast<float>(k) / 800000.0f); // eighths of a hundredth, near 0
    std::mt19937 random(11);
    for (int i = 0; i < 200000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(f * 100.0f)) units.push_back(f);
    }
    for (float u : units) {
        const float got = roundedPercentXyz({u, u, u}).x;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(viaText(u))) << u;
    }
    // A percent beyond the float range has no text: both ways refuse it.
    EXPECT_THROW(roundedPercentXyz({3.4e38f, 0, 0}), Error);
}

} // namespace
} // namespace zul
