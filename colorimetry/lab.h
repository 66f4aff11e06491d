#pragma once
// CIELAB (CIE 15) with the program's own constants: the cube-root exponent is the rounded
// 0.333333, the threshold 0.008856 is compared in single precision, and the inverse uses a fixed
// white of its own with no linear segment for dark colours. The two directions are therefore not
// exact inverses; both quirks are relied on by stored palettes and tables.
#include "colorimetry/illuminant.h"

namespace zul {

struct Lab {
    float l = 0, a = 0, b = 0; // L* (0..100 for real colours), a*, b*
};

// Reference white of labxyz, whatever the illuminant setting.
inline constexpr Xyz kLabxyzWhite{98.04f, 100.0f, 118.1f};

// Lowest X, Y, Z that xyzlab accepts; smaller values are raised to it.
inline constexpr float kXyzlabFloor = 0.01f;

// XYZ (Y on 0..100) to CIELAB against the white of `illuminant` (0, 1, 2 as in kIlluminants).
// Any of X, Y, Z below 0.01 is raised to 0.01 in `xyz` itself: callers hand the raised values on
// to the RGB conversion. Throws RangeError for an illuminant outside 0..2 and ArithmeticError for
// a non-finite result (e.g. a NaN or infinite input).
Lab xyzlab(Xyz& xyz, int illuminant);

// CIELAB to XYZ (Y on 0..100) against kLabxyzWhite, cube law throughout (L* = 0 gives
// Y = (16/116)^3 * 100). Throws RangeError("L* must be at least -16") for L* below -16 (the cube
// root of a negative Y would be taken) and ArithmeticError for a non-finite input or result.
Xyz labxyz(const Lab& lab);

// The exact inverse of xyzlab for `illuminant`: its white, its rounded exponent and its linear
// segment for dark colours, so xyzlab(labToXyz(lab)) gives `lab` back (X, Y, Z below the 0.01
// floor of xyzlab excepted). Throws RangeError for an illuminant outside 0..2 and
// ArithmeticError for a non-finite input or result.
Xyz labToXyz(const Lab& lab, int illuminant);

} // namespace zul
