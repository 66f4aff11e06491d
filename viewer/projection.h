#pragma once
// The oblique view of the Munsell solid: hue is the angle about the vertical axis, chroma the
// distance from it, value the height (4 model units per value step about value 5). The view is
// set by five scroll bars; the visible region is (pan X +- zoom, pan Y +- zoom) in model units.
#include "viewer/pointtable.h"

namespace zul {

// Scroll-bar positions, defaults as at start-up.
struct ViewBars {
    int rotation = 0; // HScroll1, -180..180 degrees
    int tilt = 15;    // VScroll1, 0..90: 0 is a side view, 90 a view from straight above
    int zoom = 20;    // VScroll2, 1..40: half the visible width in model units
    int panX = 400;   // HScroll2, 0..800
    int panY = 200;   // VScroll3, 0..400
};

struct View {
    float rotation = 0; // radians
    float tilt = 75;    // degrees from straight above (90 - tilt bar)
    float zoom = 20;
    float panX = 0, panY = 0;
    // Derived once per view.
    float cosRotation = 1, sinRotation = 0, cosTilt = 0, sinTilt = 1;
};

inline constexpr float kRadiansPerDegree = 0.0174532925f;

View viewFrom(const ViewBars& bars);

struct ScreenPoint {
    float x = 0, y = 0;
};

// Point i of `t` in model units of the view.
inline ScreenPoint project(const PointTable& t, std::size_t i, const View& v) {
    // chroma x cos(angle + rotation) and chroma x sin(angle + rotation) by the sum formulas, on
    // the chroma x cos/sin of the angle kept per point.
    const float cx = t.baseX[i] * v.cosRotation - t.baseY[i] * v.sinRotation;
    const float cy = t.baseY[i] * v.cosRotation + t.baseX[i] * v.sinRotation;
    return {cx, cy * v.cosTilt + 4 * v.sinTilt * (t.values[i] - 5)};
}

// The point nearest to (x, y) in model units by |dx| + |dy|, ties to the earlier point; -1 when
// the table is empty or every point is 1000 units or more away.
long hitTest(const PointTable& t, const View& v, float x, float y);

// Model units to pixels of a width x height image showing the visible region, and back.
struct PixelMapping {
    double left, top, scaleX, scaleY; // pixel = (model - left) * scaleX, (top - model) * scaleY
    PixelMapping(const View& v, int width, int height);
    double px(float x) const { return (x - left) * scaleX; }
    double py(float y) const { return (top - y) * scaleY; }
    float modelX(double px) const { return static_cast<float>(left + px / scaleX); }
    float modelY(double py) const { return static_cast<float>(top - py / scaleY); }
};

} // namespace zul
