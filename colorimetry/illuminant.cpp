#include "colorimetry/illuminant.h"

#include "text/errors.h"

#include <cmath>

namespace zul {

namespace {

// Bradford cone-response matrix and its inverse as stored constants (not inverted at run time).
constexpr float kM[3][3] = {
    {0.8951f, 0.2664f, -0.1614f}, {-0.7502f, 1.7135f, 0.0367f}, {0.0389f, -0.0685f, 1.0296f}};
constexpr float kMinv[3][3] = {{0.9869929f, -0.14705426f, 0.15996265f},
                               {0.43230528f, 0.51836026f, 0.049291227f},
                               {-0.008528665f, 0.04004282f, 0.96848667f}};

void cone(const float (&m)[3][3], const float (&in)[3], float (&out)[3]) {
    for (int r = 0; r < 3; ++r) {
        // Sums carried in double, stored single.
        out[r] = static_cast<float>(static_cast<double>(m[r][0]) * in[0] +
                                    static_cast<double>(m[r][1]) * in[1] +
                                    static_cast<double>(m[r][2]) * in[2]);
    }
}

void checkFinite(const Xyz& v) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        throw ArithmeticError("chromatic adaptation: result out of range");
}

} // namespace

void xyzconv(const Xyz& sample, const Xyz& src, Xyz& adapted, const Xyz& dst) {
    if (sample.x == 0 && sample.y == 0 && sample.z == 0) {
        adapted = {0, 0, 0};
        return;
    }
    if (sample.y == 0 || src.y == 0 || dst.y == 0)
        throw ArithmeticError("chromatic adaptation: division by zero (Y is 0)");
    const float ws[3] = {src.x / src.y, 1.0f, src.z / src.y};
    const float wd[3] = {dst.x / dst.y, 1.0f, dst.z / dst.y};
    const float s[3] = {sample.x / sample.y, 1.0f, sample.z / sample.y};
    float cs[3], cd[3], cx[3], ca[3];
    cone(kM, ws, cs);
    cone(kM, wd, cd);
    cone(kM, s, cx);
    for (int k = 0; k < 3; ++k) {
        if (cs[k] == 0) throw ArithmeticError("chromatic adaptation: division by zero");
        ca[k] = cd[k] / cs[k] * cx[k];
        ca[k] = sample.y * ca[k];
    }
    float r[3];
    cone(kMinv, ca, r);
    adapted = {r[0], r[1], r[2]};
    checkFinite(adapted);
}

void xyzconvert(std::string_view direction, int illuminant, Xyz& xyz, float& xs, float& ys) {
    if (illuminant < 0 || illuminant > 2) throw RangeError("illuminant setting must be 0, 1 or 2");
    const Xyz& c = kIlluminants[0].white;
    const Xyz& selected = kIlluminants[static_cast<std::size_t>(illuminant)].white;
    Xyz out;
    if (direction == "F")
        xyzconv(xyz, c, out, selected);
    else
        xyzconv(xyz, selected, out, c);
    xyz = out;
    const float sum = xyz.x + xyz.y + xyz.z;
    if (sum == 0) throw ArithmeticError("chromaticity: X + Y + Z is 0");
    xs = xyz.x / sum;
    ys = xyz.y / sum;
    if (!std::isfinite(xs) || !std::isfinite(ys))
        throw ArithmeticError("chromaticity: result out of range");
}

} // namespace zul
