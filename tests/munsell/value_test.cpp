#include "munsell/value.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace zul
