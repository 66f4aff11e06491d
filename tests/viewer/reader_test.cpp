// Reading palette records, the hue circle, the projection of the view and the hit test.
#include "viewer/palettereader.h"
#include "viewer/projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zul {
namespace {

constexpr float kPosTol = 0.01f;

TEST(PaletteReader, FamilyEndingsTwoLettersBeforeOne) {
    EXPECT_FLOAT_EQ(paletteHueStep("5.6yr"), 15.6f);
    EXPECT_FLOAT_EQ(paletteHueStep("2.5RP"), 92.5f);
    EXPECT_FLOAT_EQ(paletteHueStep("5GY"), 35.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5bg"), 55.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5PB"), 75.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5R"), 5.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5Y"), 25.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5G"), 45.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5B"), 65.0f);
    EXPECT_FLOAT_EQ(paletteHueStep("5P"), 85.0f);
    EXPECT_FLOAT_EQ(paletteHueStep(" 7.5 yr "), 17.5f); // blanks around, as typed
    // 10YR and 0Y are the same hue: same step, same angle.
    EXPECT_EQ(paletteHueStep("10YR"), paletteHueStep("0Y"));
    EXPECT_EQ(paletteHueAngle(paletteHueStep("10YR")), paletteHueAngle(paletteHueStep("0y")));
    // Neutrals and texts without a family sit at angle 0 rather than anywhere else.
    EXPECT_EQ(paletteHueStep("N"), 0.0f);
    EXPECT_EQ(paletteHueStep("5"), 0.0f);
    EXPECT_EQ(paletteHueStep(""), 0.0f);
    // A number beyond a float (a damaged file) must not stop the loading.
    EXPECT_EQ(paletteHueStep("1e400YR"), 0.0f);
    EXPECT_EQ(paletteHueStep("1e39R"), 0.0f);
}

TEST(PaletteReader, AngleUsesTheTenDigitFactorInSinglePrecision) {
    EXPECT_NEAR(paletteHueAngle(5), 0.314159f, 1e-6);
    const float degrees = static_cast<float>(25.0 * 3.6);
    EXPECT_EQ(paletteHueAngle(25), static_cast<float>(static_cast<double>(degrees) * 0.0174532925));
    EXPECT_EQ(lowerHueText("5.6YR"), "5.6yr");
}

TEST(PaletteReader, RecordFieldsAndFormatErrors) {
    std::vector<std::string> scratch;
    PaletteFields f;
    // Quoted fields may hold commas; columns after the sixth are ignored.
    EXPECT_EQ(readPaletteRecord(R"("12-07-2026","10:00:00","a, b","5.6YR","4","0.5","x",1,2)",
                                scratch, f),
              "");
    EXPECT_EQ(f.name, "a, b");
    EXPECT_EQ(f.hue, "5.6YR");
    EXPECT_FLOAT_EQ(f.valueNumber, 4);
    EXPECT_FLOAT_EQ(f.chromaNumber, 0.5f);
    // The tolerance set's layout: no quotes, blanks around the numbers.
    EXPECT_EQ(readPaletteRecord("12/07/2026,10:43:54,6,5.00R,4.00,10.00,0,0,0,0,0,0,0,0,0, 128 , "
                                "64 , 32 ,end",
                                scratch, f),
              "");
    EXPECT_EQ(f.name, "6");
    EXPECT_EQ(f.hue, "5.00R");
    EXPECT_FLOAT_EQ(f.chromaNumber, 10);

    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","4")", scratch, f),
              "5 fields, a record needs date, time, tag, hue, value and chroma");
    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","nan","4")", scratch, f),
              R"(value: "nan" is not a number)");
    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","4","")", scratch, f),
              R"(chroma: "" is not a number)");
    EXPECT_NE(readPaletteRecord(R"("d","t","tag","5R","4","1e60")", scratch, f), "");
    EXPECT_NE(readPaletteRecord(std::string(kMaxPaletteLine + 1, 'x'), scratch, f), "");
}

TEST(PaletteReader, HeaderIsSixFieldsWithoutValueAndChromaNumbers) {
    EXPECT_TRUE(isPaletteHeader({"Date", "Time", "Tag", "Hue", "Value", "Chroma", "X"}));
    EXPECT_FALSE(isPaletteHeader({"12-07-2026", "10:00", "t", "5R", "4", "10"}));
    EXPECT_FALSE(isPaletteHeader({"Date", "Time", "Tag"}));
}

PointTable tableOf(std::initializer_list<std::array<float, 3>> hvc) {
    PointTable t;
    for (const auto& [step, value, chroma] : hvc) {
        const float angle = paletteHueAngle(step);
        t.names.push_back("");
        t.hueSteps.push_back(step);
        t.angles.push_back(angle);
        t.values.push_back(value);
        t.chromas.push_back(chroma);
        t.baseX.push_back(chroma * std::cos(angle));
        t.baseY.push_back(chroma * std::sin(angle));
    }
    return t;
}

TEST(Projection, InitialViewPlaces5R5_10) {
    const View v = viewFrom(ViewBars{});
    EXPECT_FLOAT_EQ(v.tilt, 75);
    EXPECT_FLOAT_EQ(v.zoom, 20);
    EXPECT_FLOAT_EQ(v.panX, 0);
    EXPECT_FLOAT_EQ(v.panY, 0);
    const PointTable t = tableOf({{5, 5, 10}});
    const ScreenPoint p = project(t, 0, v);
    EXPECT_NEAR(p.x, 10 * std::cos(0.314159), kPosTol);                               // 9.51
    EXPECT_NEAR(p.y, 10 * std::sin(0.314159) * std::cos(75 * 0.0174532925), kPosTol); // 0.80
}

TEST(Projection, TiltSideViewAndTopView) {
    const PointTable t = tableOf({{5, 5, 10}, {30, 5, 6}, {30, 9, 6}});
    ViewBars side;
    side.tilt = 0; // tilt 90: a side view, value 5 on the line y = 0
    const View s = viewFrom(side);
    EXPECT_NEAR(project(t, 0, s).y, 0, 1e-5);
    EXPECT_NEAR(project(t, 1, s).y, 0, 1e-5);
    EXPECT_NEAR(project(t, 2, s).y, 16, 1e-4); // 4 units per value step
    ViewBars top;
    top.tilt = 90; // from straight above: values coincide, the hue circle shows
    const View a = viewFrom(top);
    EXPECT_NEAR(project(t, 1, a).y, project(t, 2, a).y, 1e-5);
    EXPECT_NEAR(std::hypot(project(t, 1, a).x, project(t, 1, a).y), 6, 1e-4);
}

TEST(Projection, RotationTurnsAndPansShiftTheVisibleRegion) {
    const PointTable t = tableOf({{0, 5, 10}});
    ViewBars b;
    b.rotation = 90;
    b.tilt = 90;
    const ScreenPoint p = project(t, 0, viewFrom(b));
    EXPECT_NEAR(p.x, 0, 1e-4);
    EXPECT_NEAR(p.y, 10, 1e-4);
    // Pan X thumb to the right: pan X decreases, the drawing moves right on the image.
    ViewBars right;
    right.panX = 500;
    const PixelMapping m0(viewFrom(ViewBars{}), 400, 400), m1(viewFrom(right), 400, 400);
    EXPECT_FLOAT_EQ(viewFrom(right).panX, -10);
    EXPECT_GT(m1.px(0), m0.px(0));
    // Pan Y thumb down (a larger value): pan Y increases, the drawing moves down.
    ViewBars down;
    down.panY = 300;
    const PixelMapping m2(viewFrom(down), 400, 400);
    EXPECT_GT(m2.py(0), m0.py(0));
    // The region pan +- zoom fills the image: the centre of the view at the centre pixel.
    EXPECT_DOUBLE_EQ(m0.px(0), 200);
    EXPECT_DOUBLE_EQ(m0.py(0), 200);
    EXPECT_DOUBLE_EQ(m0.px(-20), 0);
    EXPECT_DOUBLE_EQ(m0.py(20), 0);
}

TEST(HitTest, NearestBySumOfDistancesTiesToTheEarlierPoint) {
    const View v = viewFrom(ViewBars{});
    PointTable t = tableOf({{5, 5, 10}, {55, 5, 10}, {5, 5, 10}});
    const ScreenPoint p0 = project(t, 0, v), p1 = project(t, 1, v);
    EXPECT_EQ(hitTest(t, v, p0.x, p0.y), 0); // the third sits on the first: the first stays
    EXPECT_EQ(hitTest(t, v, p1.x + 0.2f, p1.y - 0.1f), 1);
    EXPECT_EQ(hitTest(t, v, 500, 500), 0); // far from all: still a choice below 1000
    EXPECT_EQ(hitTest(PointTable{}, v, 0, 0), -1);
    // Against the view as it is now: a turned view moves the nearest dot.
    ViewBars turned;
    turned.rotation = 180;
    const View r = viewFrom(turned);
    EXPECT_EQ(hitTest(t, r, project(t, 1, r).x, project(t, 1, r).y), 1);
    EXPECT_EQ(hitTest(t, r, p1.x, p1.y), 0);
}

} // namespace
} // namespace zul
