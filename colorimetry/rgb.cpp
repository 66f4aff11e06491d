#include "colorimetry/rgb.h"

#include "text/errors.h"
#include "text/numtext.h"

#include <algorithm>
#include <cmath>

namespace zul {

namespace {

// sRGB / ITU-R BT.709 primaries, D65 white; XYZ on the 0..1 scale.
constexpr float kXyzToRgb[3][3] = {{3.240479f, -1.53715f, -0.498535f},
                                   {-0.969256f, 1.875992f, 0.041556f},
                                   {0.055648f, -0.204043f, 1.057311f}};
constexpr float kRgbToXyz[3][3] = {{0.412453f, 0.35758f, 0.180423f},
                                   {0.212671f, 0.71516f, 0.072169f},
                                   {0.019334f, 0.119193f, 0.950227f}};

// Black generation: K below this is dropped, otherwise reduced by it and taken out of C, M, Y.
constexpr float kBlackStart = 0.2f;

const WhiteScale& whiteScale(int illuminant) {
    if (illuminant < 0 || illuminant > 2) throw RangeError("illuminant setting must be 0, 1 or 2");
    return kRgbWhiteScale[static_cast<std::size_t>(illuminant)];
}

// Matrix product with sums carried in double and stored single.
std::array<float, 3> multiply(const float (&m)[3][3], float a, float b, float c) {
    std::array<float, 3> out{};
    for (int r = 0; r < 3; ++r)
        out[static_cast<std::size_t>(r)] =
            static_cast<float>(static_cast<double>(m[r][0]) * a + static_cast<double>(m[r][1]) * b +
                               static_cast<double>(m[r][2]) * c);
    return out;
}

void requireFinite(const std::array<float, 3>& v, const char* what) {
    for (float x : v)
        if (!std::isfinite(x)) throw ArithmeticError(what);
}

// Power of a non-negative single base, computed in double.
double power(float base, float exponent) {
    return std::pow(static_cast<double>(base), static_cast<double>(exponent));
}

} // namespace

RgbConversion xyzrgb(const Xyz& xyz, int illuminant, const RgbSettings& settings) {
    const WhiteScale& ws = whiteScale(illuminant);
    RgbConversion out;
    out.scaled = {xyz.x / 100.0f * ws.x, xyz.y / 100.0f, xyz.z / 100.0f * ws.z};
    out.linear = multiply(kXyzToRgb, out.scaled.x, out.scaled.y, out.scaled.z);
    requireFinite(out.linear, "RGB: XYZ out of range");
    for (std::size_t c = 0; c < 3; ++c) {
        if (!(out.linear[c] >= 0)) {
            out.linear[c] = 0;
            out.outOfRange = true;
        }
        // gain * 255 is single; the power and the product are double. Floored, no 0.5 offset.
        const double v = std::floor(static_cast<double>(settings.gains[c] * 255.0f) *
                                    power(out.linear[c], settings.displayExponents[c]));
        if (!std::isfinite(v)) throw ArithmeticError("RGB: result out of range");
        if (v > 255) {
            out.clipped[c] = 255;
            out.outOfRange = true;
        } else if (v < 0) {
            out.clipped[c] = 0;
            out.outOfRange = true;
        } else {
            out.clipped[c] = static_cast<std::int16_t>(v);
        }
    }
    if (out.scaled.x <= 0 || out.scaled.y <= 0 || out.scaled.z <= 0) out.outOfRange = true;
    LinearRgb forCmyk = out.linear;
    out.cmyk = rgbcmyk(forCmyk, settings);
    return out;
}

Xyz rgbxyz(const LinearRgb& linear, int illuminant) {
    const WhiteScale& ws = whiteScale(illuminant);
    const std::array<float, 3> v = multiply(kRgbToXyz, linear[0], linear[1], linear[2]);
    const Xyz xyz{v[0] / ws.x, v[1], v[2] / ws.z};
    requireFinite({xyz.x, xyz.y, xyz.z}, "RGB: XYZ out of range");
    return xyz;
}

CmykEstimate rgbcmyk(LinearRgb& linear, const RgbSettings& settings) {
    requireFinite(linear, "CMYK: RGB out of range");
    for (float& v : linear)
        if (!(v >= 0)) v = 0;
    float ink[3];
    for (std::size_t c = 0; c < 3; ++c)
        ink[c] = static_cast<float>(1.0 - power(linear[c], settings.cmykExponents[c]));
    float k = std::min({1.0f, ink[0], ink[1], ink[2]});
    if (kBlackStart > k) {
        k = 0;
    } else {
        k = k - kBlackStart;
        for (float& v : ink)
            v = v - k;
    }
    const auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    CmykEstimate out;
    out.fraction = {unit(ink[0]), unit(ink[1]), unit(ink[2]), unit(k)};
    const float f[4] = {out.fraction.c, out.fraction.m, out.fraction.y, out.fraction.k};
    // Single-precision product, floored: black (0.2 left after black generation) shows 19.
    for (std::size_t i = 0; i < 4; ++i)
        out.percent[i] = static_cast<std::int16_t>(std::floor(f[i] * 100.0f));
    return out;
}

CmykEntry cmykrgb(const Cmyk& cmyk, int illuminant, const RgbSettings& settings) {
    const auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    CmykEntry out;
    const float encoded[3] = {unit(1.0f - cmyk.c - cmyk.k), unit(1.0f - cmyk.m - cmyk.k),
                              unit(1.0f - cmyk.y - cmyk.k)};
    for (std::size_t c = 0; c < 3; ++c) {
        const float e = 1.0f / settings.cmykExponents[c];
        out.linear[c] = unit(static_cast<float>(power(encoded[c], e)));
    }
    requireFinite(out.linear, "CMYK: result out of range");
    for (std::size_t c = 0; c < 3; ++c) {
        // Rounded half up, unlike xyzrgb.
        const double v = std::floor(static_cast<double>(settings.gains[c] * 255.0f) *
                                        power(out.linear[c], settings.displayExponents[c]) +
                                    0.5);
        if (!std::isfinite(v)) throw ArithmeticError("CMYK: result out of range");
        if (v > 255) {
            out.rgb[c] = 255;
            out.clipped = true;
        } else if (v < 0) {
            out.rgb[c] = 0;
            out.clipped = true;
        } else {
            out.rgb[c] = static_cast<std::int16_t>(v);
        }
    }
    out.xyz = roundedPercentXyz(rgbxyz(out.linear, illuminant));
    Xyz raised = out.xyz; // the fields keep the unraised values
    out.lab = xyzlab(raised, illuminant);
    return out;
}

LinearRgb displayToLinear(const DisplayRgb& rgb, const RgbSettings& settings) {
    LinearRgb out{};
    for (std::size_t c = 0; c < 3; ++c) {
        const float base = static_cast<float>(rgb[c]) / settings.gains[c] / 255.0f;
        const float e = 1.0f / settings.displayExponents[c];
        out[c] = static_cast<float>(power(base, e));
    }
    requireFinite(out, "RGB: linear value out of range");
    return out;
}

Xyz roundedPercentXyz(const Xyz& unitXyz) {
    const auto twoDecimals = [](float v) {
        const float percent = v * 100.0f;
        // The "###.00" text names the hundredths h = round(percent * 100), halves away from zero
        // on the binary value, and reads back as h / 100: a float times 100 is exact in a double,
        // and an h of at most 2^53 divided by 100 is the one rounding the reader does too.
        const double h = std::round(static_cast<double>(percent) * 100.0);
        if (std::isfinite(percent) && std::fabs(h) <= 9007199254740992.0)
            return static_cast<float>(h / 100.0 + 0.0); // + 0.0: no negative zero, as read
        return static_cast<float>(parseStrict(formatPicture(percent, "###.00")));
    };
    return {twoDecimals(unitXyz.x), twoDecimals(unitXyz.y), twoDecimals(unitXyz.z)};
}

bool gammaAccepted(double gamma) {
    return gamma >= kMinGamma && gamma <= kMaxGamma;
}

float displayExponent(double gamma) {
    if (!gammaAccepted(gamma)) throw RangeError("gamma must be between 1 and 3");
    return static_cast<float>(1.0 / gamma);
}

void setGamma(RgbSettings& settings, double gamma) {
    const float e = displayExponent(gamma);
    settings.displayExponents = {e, e, e};
}

std::optional<int> gammaSliderPosition(double gamma) {
    if (!gammaAccepted(gamma)) return std::nullopt;
    return static_cast<int>(roundHalfEven(gamma * 10.0));
}

std::array<float, 3> tintGains(int position) {
    if (position < 50 || position > 100) throw RangeError("tint position must be 50..100");
    const float blue = static_cast<float>(position / 100.0);
    const float green = static_cast<float>(1.0 - (1.0 - blue) / (85.0 / 52.0));
    return {1.0f, green, blue};
}

} // namespace zul
