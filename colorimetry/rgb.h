#pragma once
// Display RGB (power-law monitor, sRGB / ITU-R BT.709 primaries, D65 white) and a simple CMYK
// estimate with 20 % black generation. Everything the window used to hold (channel gains of the
// tint slider, display exponents of the gamma setting, CMYK exponents) comes in RgbSettings; the
// illuminant setting selects the white-scaling factors.
#include "colorimetry/illuminant.h"
#include "colorimetry/lab.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zul {

// Light-proportional R, G, B; 0..1 inside the display gamut.
using LinearRgb = std::array<float, 3>;
// Display R, G, B, 0..255, held as 16-bit integers like the window's triple.
using DisplayRgb = std::array<std::int16_t, 3>;

inline constexpr double kDefaultGamma = 2.2;
inline constexpr double kMinGamma = 1.0; // gamma field values outside 1..3 are ignored
inline constexpr double kMaxGamma = 3.0;
// Start-up display exponent: 1 divided by the single 2.2 (0.45454544). The gamma slider later
// stores 1 / gamma computed in double (0.45454547 for 2.2); see displayExponent.
inline constexpr float kDefaultDisplayExponent = 1.0f / 2.2f;
// Encoding exponent of the CMYK estimate; fixed, independent of the gamma setting.
inline constexpr float kCmykExponent = 0.4545f;

// Per-channel constants, index 0 = R, 1 = G, 2 = B; the defaults are the start-up values.
struct RgbSettings {
    std::array<float, 3> gains{1.0f, 1.0f, 1.0f};
    std::array<float, 3> displayExponents{kDefaultDisplayExponent, kDefaultDisplayExponent,
                                          kDefaultDisplayExponent};
    std::array<float, 3> cmykExponents{kCmykExponent, kCmykExponent, kCmykExponent};
};

// Plain X and Z scaling (Y unchanged) that maps each setting's white onto the D65 white
// (95.047, 100, 108.883) before the XYZ-to-RGB matrix; index = illuminant setting.
struct WhiteScale {
    float x, z;
};
inline constexpr std::array<WhiteScale, 3> kRgbWhiteScale = {{
    {0.969136f, 0.920927f}, // C 2 deg
    {0.98574f, 1.319458f},  // D50 2 deg
    {1.002489f, 1.014715f}, // D65 10 deg
}};

// CMYK as fractions 0..1.
struct Cmyk {
    float c = 0, m = 0, y = 0, k = 0;
};

struct CmykEstimate {
    Cmyk fraction;                         // after black generation, each clamped to 0..1
    std::array<std::int16_t, 4> percent{}; // C, M, Y, K as the fields show them: floor(100 * f)
};

// Everything one XYZ-to-RGB conversion yields. The interactive window and the quiet producers
// (charts, tables, batch) choose what they need; see shown().
struct RgbConversion {
    DisplayRgb clipped{};    // floor(gain * 255 * linear ^ exponent), clipped to 0..255
    bool outOfRange = false; // some clipping happened, or a scaled X, Y or Z is not above 0
    LinearRgb linear{};      // negatives raised to 0; may exceed 1
    Xyz scaled;              // X, Y, Z divided by 100 and white-scaled, as the matrix saw them
    CmykEstimate cmyk;       // rgbcmyk of `linear`, what the window shows

    // R, G, B the caller keeps: quiet mode keeps the clipped channels; interactive mode shows
    // black for an out-of-range colour.
    DisplayRgb shown(bool quiet) const {
        if (quiet || !outOfRange) return clipped;
        return {0, 0, 0};
    }
};

// XYZ (Y on 0..100) to display RGB. Floors (no rounding offset). Throws RangeError for an
// illuminant outside 0..2 and ArithmeticError for a non-finite intermediate.
RgbConversion xyzrgb(const Xyz& xyz, int illuminant, const RgbSettings& settings);

// Linear RGB to XYZ on the 0..1 scale (callers multiply by 100), undoing the white scaling of
// `illuminant`. Throws ArithmeticError for a non-finite result.
Xyz rgbxyz(const LinearRgb& linear, int illuminant);

// Linear RGB to the CMYK estimate; negative components are raised to 0 in `linear` itself.
CmykEstimate rgbcmyk(LinearRgb& linear, const RgbSettings& settings);

// Result of the computing steps of the CMYK entry chain.
struct CmykEntry {
    LinearRgb linear{};   // from C, M, Y, K, each 0..1
    DisplayRgb rgb{};     // rounded half up, clipped to 0..255
    bool clipped = false; // a channel was clipped: the caller sets (never resets) its flag
    Xyz xyz;              // X, Y, Z (0..100) rounded to two decimals, for the XYZ fields
    Lab lab;              // xyzlab of `xyz`
};

// CMYK (fractions, already clamped to 0..1 by the field reader) to RGB, XYZ and CIELAB.
// Throws what rgbxyz and xyzlab throw.
CmykEntry cmykrgb(const Cmyk& cmyk, int illuminant, const RgbSettings& settings);

// Linear value of a display RGB triple: (value / gain / 255) ^ (1 / display exponent).
// Throws ArithmeticError for a non-finite result (a zero gain or exponent).
LinearRgb displayToLinear(const DisplayRgb& rgb, const RgbSettings& settings);

// X, Y, Z on the 0..1 scale multiplied by 100 and rounded to two decimals the way the "###.00"
// picture rounds (half away from zero on the binary value), as the RGB and CMYK chains store them.
Xyz roundedPercentXyz(const Xyz& unitXyz);

// Gamma setting. A gamma in 1..3 is accepted; the display exponent is 1 / gamma (in double,
// stored single). displayExponent throws RangeError outside 1..3 or for a non-number.
bool gammaAccepted(double gamma);
float displayExponent(double gamma);
void setGamma(RgbSettings& settings, double gamma); // all three display exponents
// Gamma slider position (10..30) for a gamma typed into the gamma field: gamma * 10 rounded to
// the nearest integer, ties to even; nullopt when the gamma is not accepted (field ignored).
std::optional<int> gammaSliderPosition(double gamma);

// Channel gains of the display tint slider, position 50..100 (100 = neutral): red 1, blue
// position / 100, green 1 - (1 - blue) / (85 / 52). Throws RangeError outside 50..100.
std::array<float, 3> tintGains(int position);

} // namespace zul
