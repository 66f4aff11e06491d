#include "munsell/value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace zul {
namespace {

TEST(ValueScale, PolynomialExamples) {
    EXPECT_NEAR(vtoy(10.0f, false), 102.568f, 0.001f);
    EXPECT_NEAR(vtoy(5.0f, false), 19.766f, 0.001f);
    EXPECT_NEAR(vtoy(10.0f, true), 100.004f, 0.001f);
    EXPECT_NEAR(vtoy(5.0f, true), 19.272f, 0.001f);
    EXPECT_EQ(vtoy(0.0f, false), 0.0f);
}

TEST(ValueScale, NewtonInversionExamples) {
    float y = 100.0f;
    EXPECT_NEAR(ytov(y, false), 9.9019f, 0.0001f);
    y = 18.42f;
    EXPECT_NEAR(ytov(y, false), 4.8471f, 0.0001f);
    y = 3.126f;
    EXPECT_NEAR(ytov(y, false), 2.0f, 0.0005f);
    y = 100.0f;
    EXPECT_NEAR(ytov(y, true), 9.9999f, 0.0001f);
}

TEST(ValueScale, ZeroAndNegativeLuminance) {
    float y = 0.0f;
    EXPECT_EQ(ytov(y, false), 0.0f);
    y = -5.0f;
    EXPECT_EQ(ytov(y, true), 0.0f);
    EXPECT_EQ(y, 0.0f); // the caller's Y is raised to 0
}

TEST(ValueScale, InverseOverWholeRangeWithAndWithoutPwd) {
    for (bool pwd : {false, true}) {
        for (int i = 0; i <= 1000; ++i) {
            const float v = static_cast<float>(i) / 100.0f;
            float y = vtoy(v, pwd);
            ASSERT_NEAR(ytov(y, pwd), v, 2e-5f) << "V " << v << " pwd " << pwd;
        }
    }
}

// The inversion stops once a pass repeats a value (or the value of two passes before); the
// answer must be the one all 15 passes give, from pow's square root, bit for bit.
float ytovAllPasses(float y, bool pwd) {
    constexpr float a1 = 1.2219f, a2 = -0.23111f, a3 = 0.23951f, a4 = -0.021009f, a5 = 0.0008404f;
    if (y < 0) y = 0;
    float t = y;
    if (pwd) t = static_cast<float>(y / kPwdFactor);
    float v = static_cast<float>(std::pow(static_cast<double>(t), 0.5));
    for (int pass = 0; pass < 15; ++pass) {
        const double vd = v, v2 = vd * vd;
        const float p2 = static_cast<float>(v2), p3 = static_cast<float>(v2 * vd);
        const float p4 = static_cast<float>(v2 * v2);
        float f = -t;
        f = f + a1 * v;
        f = f + a2 * p2;
        f = f + a3 * p3;
        f = f + a4 * p4;
        f = f + p4 * a5 * v;
        float fd = a1;
        fd = fd + 2 * a2 * v;
        fd = fd + 3 * a3 * p2;
        fd = fd + 4 * a4 * p3;
        fd = fd + 5 * a5 * p4;
        v = v - f / fd;
    }
    return v;
}

TEST(ValueScale, EarlyEndGivesTheValueOfAllPasses) {
    std::mt19937 rng(7);
    std::vector<float> ys = {0.0f, -0.0f, 1e-30f, 1e-6f, 0.5f, 1.0f, 100.0f, 102.568f, 1e6f};
    for (std::uint32_t bits = 0; bits < 0x43000000u; bits += 2003) // every 2003rd single to 128
        ys.push_back(std::bit_cast<float>(bits));
    std::uniform_real_distribution<float> range(0, 110);
    for (int i = 0; i < 200000; ++i)
        ys.push_back(range(rng));
    for (bool pwd : {false, true}) {
        for (float y : ys) {
            float caller = y;
            const float expected = ytovAllPasses(y, pwd);
            ASSERT_EQ(std::bit_cast<std::uint32_t>(ytov(caller, pwd)),
                      std::bit_cast<std::uint32_t>(expected))
                << "Y " << y << " pwd " << pwd;
        }
    }
}

} // namespace
} // namespace zul
