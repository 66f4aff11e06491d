#include "colorimetry/deltae.h"

#include <cmath>
#include <numbers>

namespace zul {

namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr double k25pow7 = 6103515625.0; // 25^7

double hueAngle(double b, double a) {
    if (a == 0 && b == 0) return 0;
    const double h = std::atan2(b, a) / kDeg;
    return h < 0 ? h + 360 : h;
}

} // namespace

double deltaE76(const LabD& x, const LabD& y) {
    return std::hypot(x.l - y.l, x.a - y.a, x.b - y.b);
}

double deltaE2000(const LabD& x, const LabD& y) {
    const double c1 = std::hypot(x.a, x.b);
    const double c2 = std::hypot(y.a, y.b);
    const double cMean7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + k25pow7)));
    const double a1 = (1 + g) * x.a;
    const double a2 = (1 + g) * y.a;
    const double cp1 = std::hypot(a1, x.b);
    const double cp2 = std::hypot(a2, y.b);
    const double h1 = hueAngle(x.b, a1);
    const double h2 = hueAngle(y.b, a2);

    const double dL = y.l - x.l;
    const double dC = cp2 - cp1;
    double dh = 0;
    const bool achromatic = cp1 * cp2 == 0;
    if (!achromatic) {
        dh = h2 - h1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(dh / 2 * kDeg);

    const double lMean = (x.l + y.l) / 2;
    const double cMean = (cp1 + cp2) / 2;
    double hMean = h1 + h2;
    if (!achromatic) {
        if (std::abs(h1 - h2) <= 180)
            hMean /= 2;
        else
            hMean = hMean < 360 ? (hMean + 360) / 2 : (hMean - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos((hMean - 30) * kDeg) + 0.24 * std::cos(2 * hMean * kDeg) +
                     0.32 * std::cos((3 * hMean + 6) * kDeg) -
                     0.20 * std::cos((4 * hMean - 63) * kDeg);
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cMeanP7 = std::pow(cMean, 7);
    const double rc = 2 * std::sqrt(cMeanP7 / (cMeanP7 + k25pow7));
    const double l50 = (lMean - 50) * (lMean - 50);
    const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sc = 1 + 0.045 * cMean;
    const double sh = 1 + 0.015 * cMean * t;
    const double rt = -std::sin(2 * dTheta * kDeg) * rc;

    const double tl = dL / sl, tc = dC / sc, th = dH / sh;
    return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

} // namespace zul
