#include "spectral/colorimetry.h"

#include <cmath>

namespace zul::spectral {

LabD3 labOf(const XyzD& xyz, const XyzD& white) {
    auto f = [](double t) {
        constexpr double e = 216.0 / 24389, k = 24389.0 / 27;
        return t > e ? std::cbrt(t) : (k * t + 16) / 116;
    };
    const double fx = f(xyz.x / white.x), fy = f(xyz.y / white.y), fz = f(xyz.z / white.z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

ConditionColour colourUnder(const Spectrum& s, Condition c) {
    ConditionColour r{c, tristimulus(s, c), 0, 0, {}};
    const double sum = r.xyz.x + r.xyz.y + r.xyz.z;
    if (sum != 0) r.x = r.xyz.x / sum, r.y = r.xyz.y / sum;
    r.lab = labOf(r.xyz, whitePoint(c));
    return r;
}

std::vector<Condition> allConditions() {
    std::vector<Condition> all;
    for (Observer o : {Observer::Deg2, Observer::Deg10})
        for (Illuminant i : kIlluminantList)
            all.push_back({i, o});
    return all;
}

std::string observerText(Observer o) {
    return o == Observer::Deg2 ? "2" : "10";
}

} // namespace zul::spectral
