#pragma once
// Tristimulus integration of a 40-point reflectance spectrum (360..750 nm in 10 nm steps) with
// fixed weights for illuminant C and the CIE 1931 2 degree observer. The result is always
// relative to illuminant C, whatever the illuminant setting.
#include "colorimetry/illuminant.h"

#include <array>

namespace zul {

inline constexpr int kSpectralPoints = 40;
inline constexpr int kFirstWavelengthNm = 360;
inline constexpr int kWavelengthStepNm = 10;

// Reflectances in percent (100 = white standard); element k holds 360 + 10*k nm, so element 0 is
// 360 nm and element 39 is 750 nm.
using Reflectance = std::array<float, kSpectralPoints>;

// Weights per wavelength (same indexing as Reflectance): x-bar, y-bar, z-bar, pre-normalised so
// that a 100 % reflector gives Y = 100. Column sums 98.074, 100.000, 118.230.
struct TristimulusWeight {
    float x = 0, y = 0, z = 0;
};
using WeightingTable = std::array<TristimulusWeight, kSpectralPoints>;

// The weighting table (illuminant C, 2 degree observer, 10 nm).
WeightingTable getweights();

// X, Y, Z (Y on 0..100) of `reflectance` by plain weighted summation in ascending wavelength with
// single-precision accumulators, then divided by 100. No interpolation or bandwidth correction.
// Throws ArithmeticError for a non-finite result.
Xyz tris(const Reflectance& reflectance, const WeightingTable& weights);
Xyz tris(const Reflectance& reflectance); // with getweights()

} // namespace zul
