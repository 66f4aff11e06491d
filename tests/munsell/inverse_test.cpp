#include "munsell/forward.h"
#include "munsell/inverse.h"
#include "munsell/value.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <string>

namespace zul {
namespace {

// Round-trip tolerances of xyzmun(mun2xyz(p)). At grid points the inverse meets table entries
// and is limited by single precision (measured: hue 1e-4, chroma 4e-5). Between grid points the
// forward direction blends the two value levels' chromaticities while the inverse blends the
// two levels' notations; the two differ where ring spacing changes between levels, most at
// values 1 to 2 (measured over 200,000 colours: hue 0.76, chroma 1.53; 99% within chroma 0.35).
constexpr float kGridHueTol = 0.001f;
constexpr float kGridValueTol = 1e-5f;
constexpr float kGridChromaTol = 0.001f;
constexpr float kHueTol = 0.8f;
constexpr float kValueTol = 1e-5f;
constexpr float kChromaTol = 1.6f;

float hueGap(float a, float b) {
    const float d = std::fabs(a - b);
    return std::min(d, 100 - d);
}

class Inverse : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table = loadRenotationTable(std::string(ZUL_SOURCE_DIR) + "/data/Muncie.dat");
        index = std::make_unique<CellIndex>(*table);
    }
    static Chromaticity entry(int v, int h, int c) {
        return {table->at(v, h, c, 0) / 10000.0f, table->at(v, h, c, 1) / 10000.0f};
    }
    static inline std::shared_ptr<const RenotationTable> table;
    static inline std::unique_ptr<CellIndex> index;
};

TEST_F(Inverse, SharedIndexIsOnePerTableAndKeepsItsTableAlive) {
    const auto first = sharedCellIndex(table);
    EXPECT_EQ(sharedCellIndex(table), first);
    auto other = std::make_shared<const RenotationTable>(*table);
    const std::weak_ptr<const RenotationTable> otherTable = other;
    auto otherIndex = sharedCellIndex(std::move(other));
    EXPECT_NE(otherIndex, first);
    EXPECT_EQ(&otherIndex->table(), otherTable.lock().get()); // still alive through the index
    otherIndex.reset();
    EXPECT_TRUE(otherTable.expired());
    // Answers as an index of its own.
    for (float y = 0.30f; y < 0.36f; y += 0.004f) {
        float Y1 = 30, Y2 = 30;
        const MunsellColour a = xyzmun(0.31f * 100 / y, Y1, 0.3f * 100 / y, *first, false);
        const MunsellColour b = xyzmun(0.31f * 100 / y, Y2, 0.3f * 100 / y, *index, false);
        EXPECT_EQ(a.hue, b.hue);
        EXPECT_EQ(a.chroma, b.chroma);
    }
}

TEST(Inquad, InsideOutsideAndBoundary) {
    // Clockwise unit square, the order A, B, E, D of a cell.
    const Chromaticity a{0, 0}, b{0, 1}, e{1, 1}, d{1, 0};
    EXPECT_TRUE(inquad(0.5f, 0.5f, a, b, e, d));
    EXPECT_TRUE(inquad(0.0f, 0.5f, a, b, e, d));
    EXPECT_TRUE(inquad(1.0f, 1.0f, a, b, e, d));
    EXPECT_FALSE(inquad(1.01f, 0.5f, a, b, e, d));
    EXPECT_FALSE(inquad(0.5f, -0.01f, a, b, e, d));
    // Anticlockwise corners put the inside on the wrong side.
    EXPECT_FALSE(inquad(0.5f, 0.5f, a, d, e, b));
    // A triangle (both inner corners at the white point) works the same.
    EXPECT_TRUE(inquad(0.5f, 0.4f, a, a, e, d));
    EXPECT_FALSE(inquad(0.4f, 0.5f, a, a, e, d));
}

TEST_F(Inverse, TableEntriesGoToTheLowestOfTheirCells) {
    for (int v : {2, 5, 8})
        for (int h = 1; h < 40; h += 3)
            for (int c = 1; c < 5; ++c) {
                // The corner shared by cells (h-1, c-1), (h, c-1), (h-1, c), (h, c): the lower
                // hue index, then the lower chroma index, is visited first.
                const Chromaticity p = entry(v, h, c);
                if (p.x == 0 || entry(v, h - 1, c).x == 0) continue;
                const Cell cell = findcell(p.x, p.y, v, *table);
                EXPECT_EQ(cell.h, h - 1);
                EXPECT_EQ(cell.c, c - 1);
                const HueChroma hc = cellfrac(p.x, p.y, v, cell, *table);
                EXPECT_NEAR(hc.hue, 2.5f * h, 1e-4f);
                EXPECT_NEAR(hc.chroma, 2.0f * c, 1e-4f);
            }
}

// Ideal table: hue line h at angle 2 pi (h + shift[v]) / 40, ring c at radius 0.02 c, reaching
// chroma 2 * reach.
RenotationTable idealTable(const int (&shift)[11], int reach = 8) {
    RenotationTable t;
    for (int v = 0; v < 11; ++v)
        for (int h = 0; h <= 40; ++h)
            for (int c = 0; c <= reach; ++c) {
                const double a = 2 * std::numbers::pi * ((h + shift[v]) % 40) / 40.0;
                const double r = 0.02 * c;
                t.set(v, h, c, 0,
                      static_cast<std::int16_t>(std::lround((0.3101 + r * std::cos(a)) * 1e4)));
                t.set(v, h, c, 1,
                      static_cast<std::int16_t>(std::lround((0.3163 + r * std::sin(a)) * 1e4)));
            }
    return t;
}

TEST(SharedEdge, APointOnTheEdgeBetweenTwoHuesGoesToTheLowerHue) {
    int shift[11] = {};
    const RenotationTable t = idealTable(shift);
    // Hue line 10 is vertical (x = 0.3101), so the edge test is exact on it.
    const float x = 0.3101f, y = 0.3163f + 0.03f;
    const Cell cell = findcell(x, y, 5, t);
    EXPECT_EQ(cell.h, 9);
    EXPECT_EQ(cell.c, 1);
    const HueChroma hc = cellfrac(x, y, 5, cell, t);
    EXPECT_NEAR(hc.hue, 25.0f, 1e-4f);
    EXPECT_NEAR(hc.chroma, 3.0f, 1e-3f);
}

// The position inside a cell as first written: each bisection pass tests the whole half cell.
HueChroma literalCellfrac(float x, float y, int v, Cell cell, const RenotationTable& t) {
    auto at = [&](int h, int c) {
        return Chromaticity{t.at(v, h, c, 0) / 10000.0f, t.at(v, h, c, 1) / 10000.0f};
    };
    auto mid = [](Chromaticity p, Chromaticity q) {
        return Chromaticity{(p.x + q.x) / 2, (p.y + q.y) / 2};
    };
    auto dist = [](Chromaticity p, Chromaticity q) {
        return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
    };
    const int h = cell.h, c = cell.c;
    Chromaticity a = at(h, c), b = at(h + 1, c), d = at(h, c + 1), e = at(h + 1, c + 1), m2, n2;
    for (int i = 0; i < 50; ++i) {
        const Chromaticity m1 = mid(a, b);
        m2 = mid(d, e);
        if (inquad(x, y, a, m1, m2, d))
            b = m1, e = m2;
        else
            a = m1, d = m2;
    }
    a = at(h, c), b = at(h + 1, c), d = at(h, c + 1), e = at(h + 1, c + 1);
    for (int i = 0; i < 50; ++i) {
        const Chromaticity n1 = mid(b, e);
        n2 = mid(a, d);
        if (inquad(x, y, a, b, n1, n2))
            d = n2, e = n1;
        else
            a = n2, b = n1;
    }
    a = at(h, c), b = at(h + 1, c), d = at(h, c + 1), e = at(h + 1, c + 1);
    const float t0 = dist(e, d) > 0 ? dist(d, m2) / dist(e, d) : 0;
    const float s0 = dist(d, a) > 0 ? dist(a, n2) / dist(d, a) : 0;
    return {(h + t0) * 2.5f, (c + s0) * 2};
}

// Inside a cell, away from its sides, the halving-line test decides as the whole-half test does;
// they part only in the last passes, where both work at the limit of single precision.
TEST_F(Inverse, CellfracAgreesWithTheWholeHalfTestInsideCells) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(0.02f, 0.98f);
    int n = 0;
    for (int v = 0; v < 11; ++v)
        for (int h = 0; h < 40; ++h)
            for (int c = 0; c < 16; ++c) {
                const Chromaticity a = entry(v, h, c), b = entry(v, h + 1, c);
                const Chromaticity d = entry(v, h, c + 1), e = entry(v, h + 1, c + 1);
                if (d.x == 0 || e.x == 0) break;
                const float t = u(rng), s = u(rng);
                const float x = (1 - s) * ((1 - t) * a.x + t * b.x) + s * ((1 - t) * d.x + t * e.x);
                const float y = (1 - s) * ((1 - t) * a.y + t * b.y) + s * ((1 - t) * d.y + t * e.y);
                const Cell cell{static_cast<std::int16_t>(h), static_cast<std::int16_t>(c)};
                const HueChroma mine = cellfrac(x, y, v, cell, *table);
                const HueChroma literal = literalCellfrac(x, y, v, cell, *table);
                ASSERT_NEAR(mine.hue, literal.hue, 1e-4f) << v << " " << h << " " << c;
                ASSERT_NEAR(mine.chroma, literal.chroma, 1e-4f) << v << " " << h << " " << c;
                // Bilinear placement: the fractions come back.
                EXPECT_NEAR(mine.hue, (h + t) * 2.5f, 1e-3f);
                EXPECT_NEAR(mine.chroma, (c + s) * 2, 1e-3f);
                ++n;
            }
    EXPECT_GT(n, 4000);
}

TEST_F(Inverse, NoCellAnswerAndBadLevels) {
    const Cell none = findcell(0.9f, 0.9f, 5, *table);
    EXPECT_FALSE(none.found());
    EXPECT_EQ(none.h, 40);
    EXPECT_EQ(none.c, 0);
    EXPECT_THROW(findcell(0.3f, 0.3f, 11, *table), RangeError);
    EXPECT_THROW(findcell(0.3f, 0.3f, -1, *table), RangeError);
    EXPECT_THROW(index->find(0.3f, 0.3f, 11), RangeError);
    EXPECT_THROW(cellfrac(0.3f, 0.3f, 5, Cell{41, 0}, *table), RangeError);
}

TEST_F(Inverse, IndexedSearchMatchesThePlainSearch) {
    long compared = 0, found = 0;
    auto same = [&](float x, float y, int v) {
        const Cell p = findcell(x, y, v, *table), q = index->find(x, y, v);
        ++compared;
        found += p.found();
        ASSERT_TRUE(p.h == q.h && p.c == q.c)
            << "x " << x << " y " << y << " v " << v << ": plain " << p.h << "/" << p.c
            << ", indexed " << q.h << "/" << q.c;
    };
    // Dense grid over and beyond the chromaticity diagram at every level.
    for (int v = 0; v < 11; ++v)
        for (float x = -0.05f; x < 0.80f; x += 0.0023f)
            for (float y = -0.05f; y < 0.90f; y += 0.0023f)
                same(x, y, v);
    // Every table entry and every edge midpoint, where the first-match rule decides.
    for (int v = 0; v < 11; ++v)
        for (int h = 0; h <= 40; ++h)
            for (int c = 0; c <= 16; ++c) {
                const Chromaticity p = entry(v, h, c);
                if (p.x == 0) continue;
                same(p.x, p.y, v);
                const Chromaticity q = entry(v, h, c + 1), r = entry(v, h + 1, c);
                if (q.x != 0) same((p.x + q.x) / 2, (p.y + q.y) / 2, v);
                if (r.x != 0) same((p.x + r.x) / 2, (p.y + r.y) / 2, v);
            }
    EXPECT_GT(found, compared / 10);
}

// Points along cell edges that rounding lets slip between two neighbouring cells are still
// placed in the table, not estimated beyond it, and both searches agree on them.
TEST_F(Inverse, PointsOnEdgesDoNotFallThroughTheTable) {
    int slipped = 0, rescued = 0;
    for (int v = 0; v < 10; ++v)
        for (int h = 0; h <= 40; ++h)
            for (int c = 0; c <= 16; ++c) {
                const Chromaticity p = entry(v, h, c);
                if (p.x == 0) continue;
                for (const Chromaticity q : {entry(v, h + 1, c), entry(v, h, c + 1)}) {
                    if (q.x == 0) continue;
                    for (int j = 1; j < 8; ++j) {
                        const float f = j / 8.0f;
                        const float x = p.x + f * (q.x - p.x), y = p.y + f * (q.y - p.y);
                        if (findcell(x, y, v, *table).found()) continue;
                        ++slipped;
                        const float lum = vtoy(v + 0.25f, false);
                        float yy = lum;
                        const MunsellColour a =
                            xyzmun(x / y * lum, yy, (1 - x - y) / y * lum, *table, false);
                        const MunsellColour b =
                            xyzmun(x / y * lum, yy, (1 - x - y) / y * lum, *index, false);
                        ASSERT_EQ(a.hue, b.hue);
                        ASSERT_EQ(a.chroma, b.chroma);
                        ASSERT_EQ(a.extrapolated, b.extrapolated);
                        rescued += !(a.extrapolated & kExtrapolatedLower);
                    }
                }
            }
    EXPECT_GT(rescued, 1000);
    EXPECT_LT(slipped - rescued, slipped / 2);
}

TEST_F(Inverse, RoundTripOverEveryInteriorGridPoint) {
    float maxHue = 0, maxValue = 0, maxChroma = 0;
    int n = 0;
    for (int v = 1; v <= 9; ++v)
        for (int h = 0; h < 40; ++h)
            for (int c = 1; c <= 16; ++c) {
                float value = static_cast<float>(v);
                const CieColour cie = mun2xyz(2.5f * h, value, 2.0f * c, *table, {});
                if (!cie.inReach) continue;
                float y = cie.Y;
                const MunsellColour m = xyzmun(cie.X, y, cie.Z, *index, false);
                ++n;
                maxHue = std::max(maxHue, hueGap(m.hue, 2.5f * h));
                maxValue = std::max(maxValue, std::fabs(m.value - value));
                maxChroma = std::max(maxChroma, std::fabs(m.chroma - 2.0f * c));
            }
    ::testing::Test::RecordProperty("grid_points", n);
    std::printf("grid round trip over %d points: hue %.5f value %.6f chroma %.5f\n", n, maxHue,
                maxValue, maxChroma);
    EXPECT_GT(n, 3000);
    EXPECT_LT(maxHue, kGridHueTol);
    EXPECT_LT(maxValue, kGridValueTol);
    EXPECT_LT(maxChroma, kGridChromaTol);
}

TEST_F(Inverse, RoundTripOverRandomColoursInsideTheReach) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> hueD(0, 100), valueD(1, 9.5f), chromaD(0.5f, 32);
    float maxHue = 0, maxValue = 0, maxChroma = 0;
    int n = 0, extrapolated = 0;
    while (n < 4000) {
        const float hue = hueD(rng), chroma = chromaD(rng);
        float value = valueD(rng);
        for (bool pwd : {false, true}) {
            const CieColour cie = mun2xyz(hue, value, chroma, *table, {0, pwd});
            if (!cie.inReach) break;
            float y = cie.Y;
            const MunsellColour plain = xyzmun(cie.X, y, cie.Z, *table, pwd);
            const MunsellColour m = xyzmun(cie.X, y, cie.Z, *index, pwd);
            ASSERT_EQ(plain.hue, m.hue);
            ASSERT_EQ(plain.chroma, m.chroma);
            // The forward blend of two levels' chromaticities can lie beyond the upper level's
            // outer ring: that level's part is then extrapolated, and must still agree.
            extrapolated += m.isExtrapolated();
            ++n;
            maxHue = std::max(maxHue, hueGap(m.hue, hue));
            maxValue = std::max(maxValue, std::fabs(m.value - value));
            maxChroma = std::max(maxChroma, std::fabs(m.chroma - chroma));
        }
    }
    std::printf("random round trip over %d colours (%d extrapolated at a level): hue %.5f value "
                "%.6f chroma %.5f\n",
                n, extrapolated, maxHue, maxValue, maxChroma);
    EXPECT_LT(maxHue, kHueTol);
    EXPECT_LT(maxValue, kValueTol);
    EXPECT_LT(maxChroma, kChromaTol);
}

// Beyond the table the indexed search passes over sectors that cannot hold the colour, by a
// bound on rounding; the plain search tries every ring of every sector. Colours close to the
// continued hue lines (where the bound is tight and the colour's own sector often misses it)
// and in random directions must get the same bits, or the same error, from both.
TEST_F(Inverse, ScreenedExtrapolationMatchesTheFullSearch) {
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> unit(0, 1);
    struct Outcome {
        std::uint32_t hue = 0, value = 0, chroma = 0;
        unsigned extrapolated = 0;
        std::string error;
        bool operator==(const Outcome&) const = default;
    };
    auto outcome = [](auto&& search, float X, float Y, float Z, bool pwd) {
        Outcome o;
        try {
            const MunsellColour m = search(X, Y, Z, pwd);
            o = {std::bit_cast<std::uint32_t>(m.hue),
                 std::bit_cast<std::uint32_t>(m.value),
                 std::bit_cast<std::uint32_t>(m.chroma),
                 m.extrapolated,
                 {}};
        } catch (const std::exception& e) {
            o.error = e.what();
        }
        return o;
    };
    int extrapolated = 0;
    for (int n = 0; n < 4000; ++n) {
        const int v = n % 10, h = static_cast<int>(rng() % 40);
        int r = 0;
        while (r + 1 < RenotationTable::kChromas && table->at(v, h, r + 1, 0) != 0)
            ++r;
        double x, y;
        if (n % 4 == 0 || r == 0) { // any direction, out to twice the solid's size
            const double angle = 2 * std::numbers::pi * unit(rng), radius = 0.6 * unit(rng);
            x = 0.3101 + radius * std::cos(angle);
            y = 0.3163 + radius * std::sin(angle);
        } else { // near hue line h continued beyond its last point, on either side
            const Chromaticity last = entry(v, h, r);
            const double dx = last.x - 0.3101, dy = last.y - 0.3163, len = std::hypot(dx, dy);
            const double along = 1 + (n % 4 == 1 ? 20 : 1.5) * unit(rng);
            // Within rounding of the line the colour's own sector misses it now and then.
            const double off = std::pow(10.0, -5 - 4 * unit(rng)) * (rng() % 2 ? 1 : -1);
            x = 0.3101 + dx * along - dy / len * off;
            y = 0.3163 + dy * along + dx / len * off;
        }
        if (y <= 0.001) continue;
        const float lum = vtoy(static_cast<float>(v + unit(rng)), false);
        const float X = static_cast<float>(x / y * lum);
        const float Z = static_cast<float>((1 - x - y) / y * lum);
        const bool pwd = n % 5 == 0;
        const Outcome plain = outcome(
            [&](float X, float Y, float Z, bool pwd) { return xyzmun(X, Y, Z, *table, pwd); }, X,
            lum, Z, pwd);
        const Outcome indexed = outcome(
            [&](float X, float Y, float Z, bool pwd) { return xyzmun(X, Y, Z, *index, pwd); }, X,
            lum, Z, pwd);
        ASSERT_TRUE(plain == indexed) << "X " << X << " Y " << lum << " Z " << Z << " pwd " << pwd
                                      << ": " << plain.error << " / " << indexed.error;
        extrapolated += plain.extrapolated != 0;
    }
    EXPECT_GT(extrapolated, 2000);
}

TEST_F(Inverse, ValueTenOrMoreIsARangeError) {
    float y = 103.0f;
    EXPECT_THROW(xyzmun(98.0f, y, 118.0f, *table, false), RangeError);
    y = 100.5f;
    EXPECT_THROW(xyzmun(98.0f, y, 118.0f, *index, true), RangeError);
    y = 100.5f;
    EXPECT_NO_THROW(xyzmun(98.0f, y, 118.0f, *index, false));
}

TEST_F(Inverse, NegativeLuminanceCountsAsZero) {
    float y = -2.0f;
    const MunsellColour m = xyzmun(10.0f, y, 10.0f, *table, false);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(m.value, 0.0f);
    y = 0;
    EXPECT_THROW(xyzmun(0.0f, y, 0.0f, *table, false), ArithmeticError);
}

// Any tristimulus values, real or not: a hue, value and chroma in range, or a typed error.
TEST_F(Inverse, EveryInputGivesANotationOrATypedError) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-50, 150);
    int answered = 0;
    for (int i = 0; i < 5000; ++i) {
        const float X = u(rng), Y = u(rng) / 2, Z = u(rng);
        float y1 = Y, y2 = Y;
        try {
            const MunsellColour m = xyzmun(X, y1, Z, *index, false);
            ASSERT_TRUE(m.hue >= 0 && m.hue < 100) << m.hue;
            ASSERT_GE(m.chroma, 0.0f);
            ASSERT_TRUE(std::isfinite(m.chroma));
            const MunsellColour p = xyzmun(X, y2, Z, *table, false);
            ASSERT_EQ(p.hue, m.hue);
            ASSERT_EQ(p.chroma, m.chroma);
            ++answered;
        } catch (const RangeError&) {
            EXPECT_THROW(xyzmun(X, y2, Z, *table, false), RangeError);
        }
    }
    EXPECT_GT(answered, 4500);
}

TEST_F(Inverse, WhitePointIsNeutral) {
    float y = 50.0f;
    const MunsellColour m =
        xyzmun(0.3101f / 0.3163f * 50, y, (1 - 0.3101f - 0.3163f) / 0.3163f * 50, *index, false);
    EXPECT_LT(m.chroma, 0.01f);
    EXPECT_EQ(m.extrapolated, 0u);
}

// The most saturated display blue, as illuminant C tristimulus values (sRGB blue, D65 2 degrees,
// adapted to C by the same linear Bradford transform).
TEST_F(Inverse, SaturatedBlueIsExtrapolatedAtTheUpperLevel) {
    Xyz c;
    xyzconv({18.05f, 7.22f, 95.05f}, {95.047f, 100.0f, 108.883f}, c, kIlluminants[0].white);
    float y = c.y;
    const MunsellColour m = xyzmun(c.x, y, c.z, *index, false);
    EXPECT_NEAR(m.hue, 77.0f, 2.0f);
    EXPECT_NEAR(m.value, 3.3f, 0.1f);
    EXPECT_GT(m.chroma, 28.0f);
    EXPECT_LT(m.chroma, 34.0f);
    EXPECT_EQ(m.extrapolated, unsigned{kExtrapolatedUpper});
    y = c.y;
    const MunsellColour plain = xyzmun(c.x, y, c.z, *table, false);
    EXPECT_EQ(plain.hue, m.hue);
    EXPECT_EQ(plain.chroma, m.chroma);
}

// Along a ray from the white point across the edge of the table's reach, chroma keeps growing
// at a steady rate: no jump and no reversal where the table ends and the estimate begins.
TEST_F(Inverse, ExtrapolationContinuesTheTableWithoutAJump) {
    for (int h : {2, 14, 26, 31, 38}) {
        const int v = 4;
        int r = 0;
        while (table->at(v, h, r + 1, 0) != 0)
            ++r;
        const Chromaticity out = entry(v, h, r);
        const float lum = vtoy(static_cast<float>(v) + 0.5f, false);
        float previous = -1, step = -1, maxRatio = 0;
        bool sawTable = false, sawBeyond = false;
        for (float k = 0.6f; k < 1.4f; k += 0.005f) {
            const float x = kWhiteX + k * (out.x - kWhiteX), y = kWhiteY + k * (out.y - kWhiteY);
            float yy = lum;
            const MunsellColour m = xyzmun(x / y * lum, yy, (1 - x - y) / y * lum, *index, false);
            (m.isExtrapolated() ? sawBeyond : sawTable) = true;
            if (previous >= 0) {
                const float next = m.chroma - previous;
                ASSERT_GT(next, 0) << "hue index " << h << " scale " << k;
                if (step > 0) maxRatio = std::max({maxRatio, next / step, step / next});
                step = next;
            }
            previous = m.chroma;
        }
        EXPECT_TRUE(sawTable && sawBeyond) << h;
        EXPECT_LT(maxRatio, 1.6f) << "hue index " << h;
    }
}

Xyz fromChromaticity(double x, double y, float value) {
    const float lum = vtoy(value, false);
    return {static_cast<float>(x / y * lum), lum, static_cast<float>((1 - x - y) / y * lum)};
}

// X, Y, Z of the point on the ideal table's base line j at ring radius 0.02 c, at value V.
Xyz idealColour(int j, double c, float value) {
    const double a = 2 * std::numbers::pi * j / 40.0, r = 0.02 * c;
    return fromChromaticity(0.3101 + r * std::cos(a), 0.3163 + r * std::sin(a), value);
}

TEST(HueSeam, LevelsEitherSideOfTheSeamBlendAcrossIt) {
    // Base line 10 is hue index 39 (97.5) at level 4 and index 1 (2.5) at level 5.
    int shift[11] = {};
    shift[4] = 10 - 39 + 40;
    shift[5] = 10 - 1;
    const RenotationTable t = idealTable(shift);
    Xyz p = idealColour(10, 3, 4.5f);
    MunsellColour m = xyzmun(p.x, p.y, p.z, t, false);
    EXPECT_LT(hueGap(m.hue, 0.0f), 0.01f);
    EXPECT_NEAR(m.chroma, 6.0f, 0.01f);
    // Lower level on the low side of the seam: 0.75 * 102.5 + 0.25 * 97.5 = 101.25 -> 1.25.
    shift[4] = 10 - 1;
    shift[5] = 10 - 39 + 40;
    const RenotationTable u = idealTable(shift);
    p = idealColour(10, 3, 4.25f);
    m = xyzmun(p.x, p.y, p.z, u, false);
    EXPECT_NEAR(m.hue, 1.25f, 0.01f);
}

TEST(HueSeam, ADifferenceOfExactlyTwentyIsNoSeam) {
    // Hue index 4 (10) at level 4 and 12 (30) at level 5: blend 20, not 70.
    int shift[11] = {};
    shift[4] = 20 - 4;
    shift[5] = 20 - 12;
    const RenotationTable t = idealTable(shift);
    Xyz p = idealColour(20, 3, 4.5f);
    const MunsellColour m = xyzmun(p.x, p.y, p.z, t, false);
    EXPECT_NEAR(m.hue, 20.0f, 0.01f);
}

TEST(Extrapolation, ContinuesRingSpacingAndMarksTheLevel) {
    int shift[11] = {};
    RenotationTable t = idealTable(shift, 8);
    // Level 5 reaches only chroma 12.
    for (int h = 0; h <= 40; ++h)
        for (int c = 7; c <= 8; ++c) {
            t.set(5, h, c, 0, 0);
            t.set(5, h, c, 1, 0);
        }
    const CellIndex index(t);
    // On base line 7 at chroma 14.5 (radius 0.145): inside level 4, beyond level 5.
    Xyz p = idealColour(7, 7.25, 4.5f);
    MunsellColour m = xyzmun(p.x, p.y, p.z, index, false);
    EXPECT_EQ(m.extrapolated, unsigned{kExtrapolatedUpper});
    EXPECT_NEAR(m.hue, 17.5f, 0.02f);
    EXPECT_NEAR(m.chroma, 14.5f, 0.02f);
    // Beyond both levels, halfway along the chord between two hue lines at chroma 24.
    const double a7 = 2 * std::numbers::pi * 7 / 40, a8 = 2 * std::numbers::pi * 8 / 40;
    Xyz mid = fromChromaticity(0.3101 + 0.12 * (std::cos(a7) + std::cos(a8)),
                               0.3163 + 0.12 * (std::sin(a7) + std::sin(a8)), 4.5f);
    m = xyzmun(mid.x, mid.y, mid.z, index, false);
    EXPECT_EQ(m.extrapolated, unsigned{kExtrapolatedLower | kExtrapolatedUpper});
    EXPECT_NEAR(m.hue, 18.75f, 0.05f);
    EXPECT_NEAR(m.chroma, 24.0f, 0.05f);
    const MunsellColour plain = xyzmun(mid.x, mid.y, mid.z, t, false);
    EXPECT_EQ(plain.hue, m.hue);
    EXPECT_EQ(plain.chroma, m.chroma);
}

} // namespace
} // namespace zul
