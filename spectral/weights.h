#pragma once
// Tristimulus weighting tables at a measurement's own wavelengths, computed as ASTM E2022 does:
// the illuminant times each colour-matching function at 1 nm (360..830), spread over the
// measured wavelengths by the Lagrange interpolation that would fill the reflectance in between
// (cubic inside, quadratic in the first and last intervals), with the wavelengths outside the
// measured range given to the first or last value (the ends repeated). A perfect reflector
// therefore sums to the 1 nm white point, whatever the interval.
#include "spectral/ciedata.h"

#include <vector>

namespace zul::spectral {

struct Condition {
    Illuminant illuminant = Illuminant::D65;
    Observer observer = Observer::Deg10;
    bool operator==(const Condition&) const = default;
};

// Reflectance factors in percent at start, start + interval, ... (interval 1..20 nm).
struct Spectrum {
    double start = 360, interval = 10;
    std::vector<double> values;
    double end() const { return start + interval * static_cast<double>(values.size() - 1); }
};

struct XyzD {
    double x = 0, y = 0, z = 0;
};

struct WeightTable {
    double start = 0, interval = 0;
    std::vector<XyzD> weights; // one per measured wavelength; Y of a 100 % reflector is 100
    XyzD white;                // the sums of the weights
};

// Lowest and highest measurement interval accepted (nm).
inline constexpr double kMinInterval = 1, kMaxInterval = 20;

// The table for `count` values from `start` at `interval`. Tables are kept once computed (safe
// from several threads). Throws std::invalid_argument for an interval outside 1..20 nm, fewer
// than one value, or a range that leaves 360..830 nm entirely.
const WeightTable& weightTable(Condition c, double start, double interval, int count);

// The perfect reflector's X, Y, Z under `c` (Y = 100).
XyzD whitePoint(Condition c);

// X, Y, Z of `s` under `c`; reflectances in percent, Y on 0..100.
XyzD tristimulus(const Spectrum& s, Condition c);

} // namespace zul::spectral
