#include "munsell/forward.h"

#include "munsell/value.h"
#include "text/errors.h"

#include <cmath>
#include <limits>

namespace zul {

namespace {

[[noreturn, gnu::cold]] void outOfRange(const char* what) {
    throw RangeError(std::string("Munsell ") + what + " is out of range");
}

// Floor of a scaled coordinate as a 16-bit index; anything that does not fit is out of range.
int floorIndex(float scaled, const char* what) {
    const float f = std::floor(scaled);
    if (!(f >= std::numeric_limits<std::int16_t>::min() &&
          f <= std::numeric_limits<std::int16_t>::max()))
        outOfRange(what);
    return static_cast<int>(f);
}

void checkIndex(int i, int size, const char* what) {
    // Both i and its neighbour i + 1 are read.
    if (i < 0 || i + 1 >= size) outOfRange(what);
}

} // namespace

CieColour mun2xyz(float hue, float& value, float chroma, const RenotationTable& table,
                  const Conditions& conditions) {
    if (conditions.illuminant < 0 || conditions.illuminant > 2)
        throw RangeError("illuminant setting must be 0, 1 or 2");
    if (value > kMaxForwardValue) value = kMaxForwardValue;
    if (std::isnan(hue) || std::isnan(value) || std::isnan(chroma))
        throw RangeError("Munsell colour is not a number");

    const float hs = hue / 2.5f;
    const float cs = chroma / 2.0f;
    const float vs = value;
    const int hi = floorIndex(hs, "hue");
    const int ci = floorIndex(cs, "chroma");
    const int vi = floorIndex(vs, "value");
    const float fh = hs - static_cast<float>(hi);
    const float fc = cs - static_cast<float>(ci);
    const float fv = vs - static_cast<float>(vi);
    checkIndex(vi, RenotationTable::kValues, "value");
    checkIndex(hi, RenotationTable::kHues, "hue");
    checkIndex(ci, RenotationTable::kChromas, "chroma");

    // Corners [value step][hue step][chroma step][x, y]. A zero x at any of them means the
    // colour lies beyond the table's data.
    std::int16_t n[2][2][2][2];
    for (int dv = 0; dv < 2; ++dv)
        for (int dh = 0; dh < 2; ++dh)
            for (int dc = 0; dc < 2; ++dc)
                for (int k = 0; k < 2; ++k)
                    n[dv][dh][dc][k] = table.at(vi + dv, hi + dh, ci + dc, k);
    for (int dv = 0; dv < 2; ++dv)
        for (int dh = 0; dh < 2; ++dh)
            for (int dc = 0; dc < 2; ++dc)
                if (n[dv][dh][dc][0] == 0) return CieColour{};

    float level[2][2]; // [value level][x or y]
    for (int dv = 0; dv < 2; ++dv) {
        for (int k = 0; k < 2; ++k) {
            float ring[2];
            for (int dc = 0; dc < 2; ++dc) {
                const float p0 = static_cast<float>(n[dv][0][dc][k]) / 10000.0f;
                const float p1 = static_cast<float>(n[dv][1][dc][k]) / 10000.0f;
                ring[dc] = p0 + fh * (p1 - p0);
            }
            level[dv][k] = ring[0] + fc * (ring[1] - ring[0]);
        }
    }
    CieColour out;
    out.inReach = true;
    out.x = level[0][0] + fv * (level[1][0] - level[0][0]);
    out.y = level[0][1] + fv * (level[1][1] - level[0][1]);
    if (out.y == 0) throw ArithmeticError("Munsell to CIE: chromaticity y is 0");
    out.Y = vtoy(value, conditions.pwd);
    out.X = out.Y * out.x / out.y;
    out.Z = out.Y / out.y - out.X - out.Y;
    if (!std::isfinite(out.X) || !std::isfinite(out.Z))
        throw ArithmeticError("Munsell to CIE: result out of range");

    if (conditions.illuminant != 0) {
        if (out.Y == 0) {
            // Black (value 0) has no luminance to adapt but keeps a chromaticity: adapt a sample
            // of the same chromaticity at unit luminance and report its x, y.
            Xyz unit{out.x / out.y, 1.0f, (1.0f - out.x - out.y) / out.y};
            xyzconvert("F", conditions.illuminant, unit, out.x, out.y);
        } else {
            Xyz xyz{out.X, out.Y, out.Z};
            xyzconvert("F", conditions.illuminant, xyz, out.x, out.y);
            out.X = xyz.x;
            out.Y = xyz.y;
            out.Z = xyz.z;
        }
    }
    return out;
}

} // namespace zul
