// The projection of the view and the hit test.
#include "records/paletterecord.h"
#include "viewer/pointtable.h"
#include "viewer/projection.h"
#include "viewer_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zul {
namespace {

constexpr float kPosTol = 0.01f;

PointTable tableOf(std::initializer_list<std::array<float, 3>> hvc) {
    PointTable t;
    for (const auto& [step, value, chroma] : hvc)
        testing::addPoint(t, step, value, chroma, 0xff000000u);
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
