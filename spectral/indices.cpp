#include "spectral/indices.h"

#include "colorimetry/deltae.h"

#include <cmath>

namespace zul::spectral {

Whiteness whiteness(const Spectrum& s, Observer o) {
    const Condition c{Illuminant::D65, o};
    const ConditionColour col = colourUnder(s, c);
    const XyzD n = whitePoint(c);
    const double xn = n.x / (n.x + n.y + n.z), yn = n.y / (n.x + n.y + n.z);
    const bool ten = o == Observer::Deg10;
    Whiteness r;
    if (!(col.xyz.y > 0)) return {std::nan(""), std::nan(""), std::nan("")};
    r.w = col.xyz.y + 800 * (xn - col.x) + 1700 * (yn - col.y);
    r.t = (ten ? 900 : 1000) * (xn - col.x) - 650 * (yn - col.y);
    // ASTM E313: D65/2 1.2985, 1.1335; D65/10 1.3013, 1.1498.
    const double cx = ten ? 1.3013 : 1.2985, cz = ten ? 1.1498 : 1.1335;
    r.yi = 100 * (cx * col.xyz.x - cz * col.xyz.z) / col.xyz.y;
    return r;
}

double metamerismIndex(const Spectrum& standard, const Spectrum& sample, Condition test,
                       Illuminant reference) {
    const Condition ref{reference, test.observer};
    const XyzD sr = tristimulus(standard, ref), br = tristimulus(sample, ref);
    auto ratio = [](double a, double b) { return b == 0 ? 1.0 : a / b; };
    const XyzD st = tristimulus(standard, test);
    XyzD bt = tristimulus(sample, test);
    bt.x *= ratio(sr.x, br.x), bt.y *= ratio(sr.y, br.y), bt.z *= ratio(sr.z, br.z);
    const XyzD white = whitePoint(test);
    const LabD3 a = labOf(st, white), b = labOf(bt, white);
    return deltaE2000({a.l, a.a, a.b}, {b.l, b.a, b.b});
}

} // namespace zul::spectral
