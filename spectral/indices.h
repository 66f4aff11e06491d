#pragma once
// Whiteness, tint and yellowness under D65, and the metamerism index of a pair.
#include "spectral/colorimetry.h"

namespace zul::spectral {

struct Whiteness {
    double w = 0;  // CIE whiteness W (CIE 15)
    double t = 0;  // CIE tint T (CIE 15; the 10 degree formula uses 900 for 1000)
    double yi = 0; // yellowness index YI (ASTM E313, D65 coefficients of the observer)
};

// The indices of `s` under D65 and observer `o`; not-a-number for a black (Y = 0), which has
// no chromaticity.
Whiteness whiteness(const Spectrum& s, Observer o);

// CIE 15's metamerism index of `sample` against `standard` under `test`, with the
// multiplicative correction: the sample's X, Y, Z under the test illuminant are scaled by
// standard / sample under `reference` (same observer) before the difference is taken, as
// CIEDE2000. A pair that matches under the reference gives the plain difference.
double metamerismIndex(const Spectrum& standard, const Spectrum& sample, Condition test,
                       Illuminant reference = Illuminant::D65);

} // namespace zul::spectral
