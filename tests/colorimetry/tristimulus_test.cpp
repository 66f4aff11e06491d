#include "colorimetry/tristimulus.h"

#include "text/errors.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

// Single-precision accumulation of 40 terms near 100.
constexpr float kTol = 2e-4f;

TEST(Tris, PerfectReflectorGivesTheTableWhite) {
    Reflectance r;
    r.fill(100);
    const Xyz xyz = tris(r);
    EXPECT_NEAR(xyz.x, 98.074f, kTol);
    EXPECT_NEAR(xyz.y, 100.000f, kTol);
    EXPECT_NEAR(xyz.z, 118.230f, kTol); // 0.002 below the C white: the table stops at 750 nm
}

TEST(Tris, ZeroReflectanceGivesZero) {
    Reflectance r{};
    const Xyz xyz = tris(r);
    EXPECT_EQ(xyz.x, 0.0f);
    EXPECT_EQ(xyz.y, 0.0f);
    EXPECT_EQ(xyz.z, 0.0f);
}

TEST(Tris, SingleWavelengths) {
    Reflectance r{};
    r[0] = 100; // 360 nm: all weights zero
    Xyz xyz = tris(r);
    EXPECT_EQ(xyz.x, 0.0f);
    EXPECT_EQ(xyz.y, 0.0f);
    EXPECT_EQ(xyz.z, 0.0f);

    r = {};
    r[(590 - kFirstWavelengthNm) / kWavelengthStepNm] = 100;
    xyz = tris(r);
    EXPECT_FLOAT_EQ(xyz.x, 8.985f);
    EXPECT_FLOAT_EQ(xyz.y, 6.629f);
    EXPECT_FLOAT_EQ(xyz.z, 0.010f);

    r = {};
    r[kSpectralPoints - 1] = 100; // 750 nm
    xyz = tris(r);
    EXPECT_FLOAT_EQ(xyz.x, 0.003f);
    EXPECT_FLOAT_EQ(xyz.y, 0.001f);
    EXPECT_EQ(xyz.z, 0.0f);
}

TEST(Tris, UsesTheGivenTable) {
    WeightingTable w = getweights();
    w[10] = {1, 2, 3};
    Reflectance r{};
    r[10] = 50;
    const Xyz xyz = tris(r, w);
    EXPECT_FLOAT_EQ(xyz.x, 0.5f);
    EXPECT_FLOAT_EQ(xyz.y, 1.0f);
    EXPECT_FLOAT_EQ(xyz.z, 1.5f);
}

TEST(Tris, OverflowIsAnArithmeticError) {
    Reflectance r;
    r.fill(1e38f);
    EXPECT_THROW(tris(r), ArithmeticError);
}

TEST(Getweights, NoBlueBeyond620Nanometres) {
    const WeightingTable w = getweights();
    for (int i = (630 - kFirstWavelengthNm) / kWavelengthStepNm; i < kSpectralPoints; ++i)
        EXPECT_EQ(w[static_cast<std::size_t>(i)].z, 0.0f) << i;
    EXPECT_GT(w[(620 - kFirstWavelengthNm) / kWavelengthStepNm].z, 0.0f);
}

} // namespace
} // namespace zul
