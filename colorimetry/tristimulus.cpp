#include "colorimetry/tristimulus.h"

#include "text/errors.h"

#include <cmath>

namespace zul {

namespace {

// Tristimulus weighting factors for illuminant C and the CIE 1931 2 degree observer at 10 nm
// intervals, 360..750 nm, normalised so that a 100 % reflector gives Y = 100 (no k factor is
// computed at run time). Columns: x-bar, y-bar, z-bar.
constexpr WeightingTable kWeights = {{
    {0.000f, 0.000f, 0.000f},  // 360 nm
    {0.001f, 0.000f, 0.004f},  // 370 nm
    {0.004f, 0.000f, 0.017f},  // 380 nm
    {0.018f, 0.001f, 0.084f},  // 390 nm
    {0.076f, 0.002f, 0.358f},  // 400 nm
    {0.325f, 0.009f, 1.547f},  // 410 nm
    {1.292f, 0.038f, 6.207f},  // 420 nm
    {2.968f, 0.123f, 14.496f}, // 430 nm
    {3.959f, 0.261f, 19.860f}, // 440 nm
    {3.931f, 0.443f, 20.728f}, // 450 nm
    {3.360f, 0.692f, 19.286f}, // 460 nm
    {2.283f, 1.061f, 15.022f}, // 470 nm
    {1.116f, 1.612f, 9.479f},  // 480 nm
    {0.363f, 2.358f, 5.286f},  // 490 nm
    {0.048f, 3.414f, 2.868f},  // 500 nm
    {0.092f, 4.842f, 1.512f},  // 510 nm
    {0.578f, 6.449f, 0.720f},  // 520 nm
    {1.519f, 7.936f, 0.381f},  // 530 nm
    {2.786f, 9.145f, 0.195f},  // 540 nm
    {4.285f, 9.831f, 0.086f},  // 550 nm
    {5.877f, 9.834f, 0.038f},  // 560 nm
    {7.323f, 9.148f, 0.020f},  // 570 nm
    {8.414f, 7.990f, 0.015f},  // 580 nm
    {8.985f, 6.629f, 0.010f},  // 590 nm
    {8.958f, 5.321f, 0.007f},  // 600 nm
    {8.324f, 4.177f, 0.003f},  // 610 nm
    {7.055f, 3.146f, 0.001f},  // 620 nm
    {5.327f, 2.196f, 0.000f},  // 630 nm
    {3.692f, 1.442f, 0.000f},  // 640 nm
    {2.352f, 0.887f, 0.000f},  // 650 nm
    {1.360f, 0.503f, 0.000f},  // 660 nm
    {0.713f, 0.261f, 0.000f},  // 670 nm
    {0.364f, 0.132f, 0.000f},  // 680 nm
    {0.172f, 0.062f, 0.000f},  // 690 nm
    {0.080f, 0.029f, 0.000f},  // 700 nm
    {0.039f, 0.014f, 0.000f},  // 710 nm
    {0.019f, 0.007f, 0.000f},  // 720 nm
    {0.009f, 0.003f, 0.000f},  // 730 nm
    {0.004f, 0.001f, 0.000f},  // 740 nm
    {0.003f, 0.001f, 0.000f},  // 750 nm
}};

} // namespace

WeightingTable getweights() {
    return kWeights;
}

Xyz tris(const Reflectance& reflectance, const WeightingTable& weights) {
    // Single-precision accumulators in ascending wavelength: order and precision fix the last
    // digit.
    float x = 0, y = 0, z = 0;
    for (std::size_t i = 0; i < reflectance.size(); ++i) {
        x += reflectance[i] * weights[i].x;
        y += reflectance[i] * weights[i].y;
        z += reflectance[i] * weights[i].z;
    }
    const Xyz xyz{x / 100.0f, y / 100.0f, z / 100.0f};
    if (!std::isfinite(xyz.x) || !std::isfinite(xyz.y) || !std::isfinite(xyz.z))
        throw ArithmeticError("tristimulus values out of range");
    return xyz;
}

Xyz tris(const Reflectance& reflectance) {
    return tris(reflectance, kWeights);
}

} // namespace zul
