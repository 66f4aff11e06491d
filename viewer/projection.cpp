#include "viewer/projection.h"

#include <cmath>

namespace zul {

View viewFrom(const ViewBars& bars) {
    View v;
    v.rotation = static_cast<float>(bars.rotation) * kRadiansPerDegree;
    v.tilt = static_cast<float>(90 - bars.tilt);
    v.zoom = static_cast<float>(bars.zoom < 1 ? 1 : bars.zoom);
    v.panX = static_cast<float>(400 - bars.panX) / 10;
    v.panY = static_cast<float>(bars.panY - 200) / 10;
    v.cosRotation = std::cos(v.rotation);
    v.sinRotation = std::sin(v.rotation);
    const float t = v.tilt * kRadiansPerDegree;
    v.cosTilt = std::cos(t);
    v.sinTilt = std::sin(t);
    return v;
}

long hitTest(const PointTable& t, const View& v, float x, float y) {
    float best = 1000;
    long chosen = -1;
    const std::size_t n = t.size();
    for (std::size_t i = 0; i < n; ++i) {
        const ScreenPoint p = project(t, i, v);
        const float d = std::fabs(x - p.x) + std::fabs(y - p.y);
        if (d < best) {
            best = d;
            chosen = static_cast<long>(i);
        }
    }
    return chosen;
}

PixelMapping::PixelMapping(const View& v, int width, int height)
    : left(static_cast<double>(v.panX) - v.zoom), top(static_cast<double>(v.zoom) + v.panY),
      scaleX(width / (2.0 * v.zoom)), scaleY(height / (2.0 * v.zoom)) {}

} // namespace zul
