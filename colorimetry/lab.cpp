#include "colorimetry/lab.h"

#include "text/errors.h"

#include <cmath>

namespace zul {

namespace {

// CIE 15 constants as the program stores them: the cube-root exponent is rounded, not 1/3, and
// the threshold is a single-precision value compared against single-precision ratios.
constexpr double kCubeRoot = 0.333333;
constexpr float kThreshold = 0.008856f;
constexpr double kSlope = 7.787;
constexpr double kOffset = 16.0 / 116.0;

float labf(float t) {
    if (t > kThreshold) return static_cast<float>(std::pow(static_cast<double>(t), kCubeRoot));
    return static_cast<float>(kSlope * t + kOffset);
}

double cube(double v) {
    return v * v * v;
}

bool finite(float a, float b, float c) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

} // namespace

Lab xyzlab(Xyz& xyz, int illuminant) {
    if (illuminant < 0 || illuminant > 2) throw RangeError("illuminant setting must be 0, 1 or 2");
    const Xyz& n = kIlluminants[static_cast<std::size_t>(illuminant)].white;
    if (kXyzlabFloor > xyz.x) xyz.x = kXyzlabFloor;
    if (kXyzlabFloor > xyz.y) xyz.y = kXyzlabFloor;
    if (kXyzlabFloor > xyz.z) xyz.z = kXyzlabFloor;
    const float f0 = labf(xyz.x / n.x);
    const float f1 = labf(xyz.y / n.y);
    const float f2 = labf(xyz.z / n.z);
    const Lab lab{static_cast<float>(116.0 * f1 - 16.0),
                  static_cast<float>(500.0 * (static_cast<double>(f0) - f1)),
                  static_cast<float>(200.0 * (static_cast<double>(f1) - f2))};
    if (!finite(lab.l, lab.a, lab.b)) throw ArithmeticError("CIELAB: result out of range");
    return lab;
}

Xyz labxyz(const Lab& lab) {
    if (!finite(lab.l, lab.a, lab.b)) throw ArithmeticError("CIELAB: L*, a*, b* must be numbers");
    if (lab.l < -16.0f) throw RangeError("L* must be at least -16");
    const float y = static_cast<float>(cube((lab.l + 16.0) / 116.0) * 100.0);
    // Cube root of Y as the program takes it (not the f of L*), so a dark colour follows the
    // cube law with no linear segment.
    const double fy = std::pow(y / 100.0, kCubeRoot);
    const Xyz xyz{static_cast<float>(cube(fy + lab.a / 500.0) * kLabxyzWhite.x), y,
                  static_cast<float>(cube(fy - lab.b / 200.0) * kLabxyzWhite.z)};
    if (!finite(xyz.x, xyz.y, xyz.z)) throw ArithmeticError("CIELAB: XYZ out of range");
    return xyz;
}

Xyz labToXyz(const Lab& lab, int illuminant) {
    if (illuminant < 0 || illuminant > 2) throw RangeError("illuminant setting must be 0, 1 or 2");
    if (!finite(lab.l, lab.a, lab.b)) throw ArithmeticError("CIELAB: L*, a*, b* must be numbers");
    const Xyz& n = kIlluminants[static_cast<std::size_t>(illuminant)].white;
    // f at the threshold, where labf changes from the linear segment to the power.
    static const double fBreak = std::pow(static_cast<double>(kThreshold), kCubeRoot);
    auto inverse = [](double f) {
        return f > fBreak ? std::pow(f, 1.0 / kCubeRoot) : (f - kOffset) / kSlope;
    };
    const double f1 = (lab.l + 16.0) / 116.0;
    const double f0 = f1 + lab.a / 500.0;
    const double f2 = f1 - lab.b / 200.0;
    const Xyz xyz{static_cast<float>(inverse(f0) * n.x), static_cast<float>(inverse(f1) * n.y),
                  static_cast<float>(inverse(f2) * n.z)};
    if (!finite(xyz.x, xyz.y, xyz.z)) throw ArithmeticError("CIELAB: XYZ out of range");
    return xyz;
}

} // namespace zul
