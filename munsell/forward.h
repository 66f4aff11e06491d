#pragma once
// Munsell colour (hue number, value, chroma) to CIE X, Y, Z and x, y: chromaticity by linear
// interpolation in the renotation table (hue, then chroma, then value), luminance by the value
// scale, adapted from illuminant C to the selected setting.
#include "colorimetry/illuminant.h"
#include "munsell/table.h"

namespace zul {

// Value above which mun2xyz clamps: the table's top cell (levels 9 and 10) is reached only to
// its middle.
inline constexpr float kMaxForwardValue = 9.5f;

struct CieColour {
    float X = 0, Y = 0, Z = 0; // tristimulus values, Y on the 0..100 scale
    float x = 0, y = 0;        // chromaticity of X, Y, Z
    // False beyond the table's reach: X = Y = Z = 0 (the all-zero triple callers test for) and
    // x = y = 0, which carry no meaning; the caller keeps the chromaticity it had.
    bool inReach = false;
};

// `hue` on the 0..100 circle (callers bring 100 or more down by 100 first; 100 itself selects
// the empty guard hue and gives the all-zero triple); `value` above 9.5 is set to 9.5 in the
// caller's variable and used clamped; `chroma` >= 0. The result is for illuminant C when
// conditions.illuminant is 0, otherwise adapted forward to that setting; conditions.pwd moves
// the luminance reference (0.975).
// Throws RangeError for a negative or non-finite hue, value or chroma, a hue of 102.5 or more or
// a chroma of 60 or more (cells outside the table), and for an illuminant index other than
// 0..2; ArithmeticError if the adaptation fails. On a throw nothing is returned, but a clamped
// value stays clamped.
CieColour mun2xyz(float hue, float& value, float chroma, const RenotationTable& table,
                  const Conditions& conditions);

} // namespace zul
