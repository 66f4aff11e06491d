#include "munsell/forward.h"
#include "munsell/value.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace zul {
namespace {

class Forward : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table = loadRenotationTable(std::string(ZUL_SOURCE_DIR) + "/data/Muncie.dat");
    }
    static float tx(int v, int h, int c) { return table->at(v, h, c, 0) / 10000.0f; }
    static float ty(int v, int h, int c) { return table->at(v, h, c, 1) / 10000.0f; }
    static CieColour at(float hue, float value, float chroma, Conditions cond = {}) {
        return mun2xyz(hue, value, chroma, *table, cond);
    }
    static inline std::shared_ptr<const RenotationTable> table;
};

TEST_F(Forward, GridPointsGiveTableEntriesOrTheAllZeroTriple) {
    int hits = 0, misses = 0;
    for (int v = 1; v <= 9; ++v)
        for (int h = 0; h < 40; ++h)
            for (int c = 0; c <= 20; ++c) {
                bool reach = true;
                for (int dv = 0; dv < 2; ++dv)
                    for (int dh = 0; dh < 2; ++dh)
                        for (int dc = 0; dc < 2; ++dc)
                            reach = reach && table->at(v + dv, h + dh, c + dc, 0) != 0;
                const CieColour r = at(2.5f * h, static_cast<float>(v), 2.0f * c);
                SCOPED_TRACE(testing::Message() << "v " << v << " h " << h << " c " << c);
                if (reach) {
                    ++hits;
                    ASSERT_TRUE(r.inReach);
                    ASSERT_EQ(r.x, tx(v, h, c));
                    ASSERT_EQ(r.y, ty(v, h, c));
                    ASSERT_EQ(r.Y, vtoy(static_cast<float>(v), false));
                    ASSERT_NEAR(r.X, r.Y * r.x / r.y, 1e-4f);
                    ASSERT_NEAR(r.X + r.Y + r.Z, r.Y / r.y, 1e-3f);
                } else {
                    ++misses;
                    ASSERT_FALSE(r.inReach);
                    ASSERT_EQ(r.X, 0.0f);
                    ASSERT_EQ(r.Y, 0.0f);
                    ASSERT_EQ(r.Z, 0.0f);
                }
            }
    EXPECT_GT(hits, 3000);
    EXPECT_GT(misses, 1000);
}

TEST_F(Forward, ChromaZeroIsTheWhitePointAtAnyHueAndValue) {
    for (float hue : {0.0f, 13.7f, 62.5f, 99.9f})
        for (float v : {0.5f, 3.0f, 8.25f}) {
            const CieColour r = at(hue, v, 0.0f);
            EXPECT_FLOAT_EQ(r.x, 0.3101f);
            EXPECT_FLOAT_EQ(r.y, 0.3163f);
            EXPECT_NEAR(r.X, 0.3101f / 0.3163f * r.Y, 1e-4f);
            EXPECT_NEAR(r.Z, (1 - 0.3101f - 0.3163f) / 0.3163f * r.Y, 1e-4f);
        }
}

TEST_F(Forward, InterpolatesHueChromaAndValueLinearly) {
    // Halfway in hue between 5R and 7.5R at 4/8.
    CieColour r = at(6.25f, 4.0f, 8.0f);
    EXPECT_NEAR(r.x, (tx(4, 2, 4) + tx(4, 3, 4)) / 2, 1e-6f);
    // Halfway between value levels 0 and 1 (value fraction linear in V, not in Y).
    r = at(5.0f, 0.5f, 2.0f);
    EXPECT_NEAR(r.y, (ty(0, 2, 1) + ty(1, 2, 1)) / 2, 1e-6f);
    EXPECT_EQ(r.Y, vtoy(0.5f, false));
    // Hue 97.6 lies between index 39 (7.5RP) and the closing copy of 10RP.
    r = at(97.6f, 5.0f, 4.0f);
    const float f = 97.6f / 2.5f - 39;
    EXPECT_NEAR(r.x, tx(5, 39, 2) + f * (tx(5, 40, 2) - tx(5, 39, 2)), 1e-6f);
    EXPECT_TRUE(at(99.99f, 5.0f, 4.0f).inReach);
}

TEST_F(Forward, HueHundredReadsTheEmptyGuardHue) {
    EXPECT_FALSE(at(100.0f, 5.0f, 4.0f).inReach);
    EXPECT_EQ(at(102.4f, 5.0f, 4.0f).X, 0.0f);
    EXPECT_THROW(at(102.5f, 5.0f, 4.0f), RangeError);
}

TEST_F(Forward, ValueAboveNineAndAHalfIsClampedInTheCallersVariable) {
    float v = 9.8f;
    const CieColour r = mun2xyz(25.0f, v, 4.0f, *table, {});
    EXPECT_EQ(v, 9.5f);
    EXPECT_NEAR(r.Y, 90.009f, 0.001f);
    const CieColour ref = at(25.0f, 9.5f, 4.0f);
    EXPECT_EQ(r.x, ref.x);
    EXPECT_EQ(r.y, ref.y);
    v = 11.0f;
    EXPECT_THROW(mun2xyz(-1.0f, v, 4.0f, *table, {}), RangeError);
    EXPECT_EQ(v, 9.5f);
}

TEST_F(Forward, OutOfTableIndicesAreRangeErrors) {
    EXPECT_THROW(at(-0.1f, 5.0f, 4.0f), RangeError);
    EXPECT_THROW(at(5.0f, -0.1f, 4.0f), RangeError);
    EXPECT_THROW(at(5.0f, 5.0f, -0.1f), RangeError);
    EXPECT_THROW(at(5.0f, 5.0f, 60.0f), RangeError);
    EXPECT_THROW(at(5.0f, 5.0f, 1e9f), RangeError);
    EXPECT_THROW(at(std::numeric_limits<float>::quiet_NaN(), 5.0f, 4.0f), RangeError);
    EXPECT_THROW(at(5.0f, 5.0f, 4.0f, {3, false}), RangeError);
    // Chroma 59.9 is still inside the array: beyond the data, not out of range.
    EXPECT_FALSE(at(5.0f, 5.0f, 59.9f).inReach);
}

TEST_F(Forward, ReachEndsAtEitherValueLevel) {
    // 5R (index 2): the last chroma step at value 1 is lower than at value 2.
    int c1 = 0, c2 = 0;
    while (table->at(1, 2, c1 + 1, 0) != 0)
        ++c1;
    while (table->at(2, 2, c2 + 1, 0) != 0)
        ++c2;
    ASSERT_LT(c1, c2);
    // The neighbouring hue 7.5R must reach as far for the cell to exist.
    int c1n = 0;
    while (table->at(1, 3, c1n + 1, 0) != 0)
        ++c1n;
    // The cell below the last step reads the last step as its outer corners; the last step
    // itself already needs the step beyond.
    const int last = std::min(c1, c1n);
    EXPECT_TRUE(at(5.0f, 1.5f, 2.0f * last - 0.01f).inReach);
    EXPECT_FALSE(at(5.0f, 1.5f, 2.0f * last).inReach);
    EXPECT_TRUE(at(5.0f, 2.0f, 2.0f * last).inReach);
}

TEST_F(Forward, PwdScalesLuminanceOnly) {
    float v = 6.0f;
    const CieColour plain = at(45.0f, v, 6.0f);
    const CieColour pwd = mun2xyz(45.0f, v, 6.0f, *table, {0, true});
    EXPECT_EQ(pwd.x, plain.x);
    EXPECT_EQ(pwd.Y, vtoy(6.0f, true));
    EXPECT_NEAR(pwd.X / plain.X, 0.975f, 1e-5f);
}

TEST_F(Forward, OtherIlluminantsGetAdaptedValuesAndTheirChromaticity) {
    const CieColour c = at(12.5f, 6.0f, 8.0f);
    for (int ill : {1, 2}) {
        const CieColour r = at(12.5f, 6.0f, 8.0f, {ill, false});
        Xyz ref{c.X, c.Y, c.Z};
        float xs = 0, ys = 0;
        xyzconvert("F", ill, ref, xs, ys);
        EXPECT_EQ(r.X, ref.x);
        EXPECT_EQ(r.Z, ref.z);
        const float sum = r.X + r.Y + r.Z;
        EXPECT_FLOAT_EQ(r.x, r.X / sum);
        EXPECT_FLOAT_EQ(r.y, r.Y / sum);
        EXPECT_GT(std::fabs(r.x - c.x), 1e-3f);
    }
    // Neutral under D50: the D50 white's chromaticity.
    const CieColour n = at(0.0f, 5.0f, 0.0f, {1, false});
    EXPECT_NEAR(n.x, 96.42f / (96.42f + 100 + 82.49f), 1e-4f);
}

TEST_F(Forward, BlackKeepsAnAdaptedChromaticity) {
    const CieColour r = at(5.0f, 0.0f, 2.0f, {2, false});
    EXPECT_TRUE(r.inReach);
    EXPECT_EQ(r.X + r.Y + r.Z, 0.0f);
    const CieColour lit = at(5.0f, 0.0001f, 2.0f, {2, false});
    EXPECT_NEAR(r.x, lit.x, 1e-4f);
    EXPECT_NEAR(r.y, lit.y, 1e-4f);
}

} // namespace
} // namespace zul
