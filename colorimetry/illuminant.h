#pragma once
// The three illuminant/observer settings, their white points and the linear Bradford
// adaptation between them. The renotation data belong to setting 0 (illuminant C, 2 degrees).
#include <array>
#include <string_view>

namespace zul {

struct Xyz {
    float x = 0, y = 0, z = 0; // tristimulus values, Y on the 0..100 scale
};

// Setting index: 0 = C 2 deg, 1 = D50 2 deg, 2 = D65 10 deg.
struct IlluminantInfo {
    std::string_view optionCaption; // caption of the option button
    std::string_view statusCaption; // caption written into the status label on selection
    Xyz white;                      // perfect diffuser, Y = 100
};

inline constexpr std::array<IlluminantInfo, 3> kIlluminants = {{
    {"C 1931", "illuminant C  2\xC2\xB0 Observer ", {98.074f, 100.0f, 118.232f}},
    {"D5000", "illuminant D5000 2\xC2\xB0 Observer ", {96.42f, 100.0f, 82.49f}},
    {"D65 10", "Illuminant D65  10\xC2\xB0 Observer ", {94.811f, 100.0f, 107.304f}},
}};

// Design-time caption of the status label, before any option is clicked.
inline constexpr std::string_view kIlluminantStatusDefault =
    "Illuminant C  2\xC2\xB0   Standard Observer";

// Everything the conversions used to read from the window's switches.
struct Conditions {
    int illuminant = 0; // 0, 1 or 2
    bool pwd = false;   // luminance relative to the perfect diffuser (factor 0.975)
};

// Linear Bradford transform of `sample` from white `src` to white `dst` (argument order as the
// established procedure: sample, source white, result, destination white). X = Y = Z = 0 gives
// zeros; Y = 0 with X or Z non-zero throws ArithmeticError, as does any non-finite result.
void xyzconv(const Xyz& sample, const Xyz& src, Xyz& adapted, const Xyz& dst);

// Adapts `xyz` in place: direction "F" from illuminant C to `illuminant`, any other direction
// from `illuminant` to C; xs, ys receive the chromaticity of the adapted values. Callers invoke
// it only for setting 1 or 2. Throws ArithmeticError when X + Y + Z is 0 or a result is not
// finite.
void xyzconvert(std::string_view direction, int illuminant, Xyz& xyz, float& xs, float& ys);

} // namespace zul
