#include "munsell/value.h"

#include "text/errors.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace zul {

namespace {

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

} // namespace

float vtoy(float v, bool pwd) {
    // ASTM D1535 coefficients, ascending powers of V.
    // Powers by multiplication in double: for every single-precision V in 0..10 this gives the
    // same Y as pow(), bit for bit, at a fraction of the cost.
    const double vd = v, v2 = vd * vd, v3 = v2 * vd, v4 = v2 * v2, v5 = v4 * vd;
    double y = 1.2219 * vd - 0.23111 * v2 + 0.23951 * v3 - 0.021009 * v4 + 0.0008404 * v5;
    float result = static_cast<float>(y);
    if (pwd) result = static_cast<float>(result * kPwdFactor);
    return result;
}

float ytov(float& y, bool pwd) {
    constexpr float a1 = 1.2219f, a2 = -0.23111f, a3 = 0.23951f, a4 = -0.021009f, a5 = 0.0008404f;
    constexpr int kPasses = 15;
    if (y < 0) y = 0;
    float t = y;
    if (pwd) t = static_cast<float>(y / kPwdFactor);
    // The start is the square root of Y: sqrt gives pow(t, 0.5)'s single for every non-negative
    // single t (checked over all of them); adding 0 makes a negative zero positive, as pow does.
    float v = static_cast<float>(std::sqrt(static_cast<double>(t) + 0.0));
    // The loop's convergence test compares with 0 and never ends it early, so the answer is the
    // value after exactly 15 passes. A pass depends only on v: once it gives back v (or the v of
    // two passes before, an alternation) every later pass repeats, and the 15th value is known.
    float before = 0; // v two passes back, from the second pass on
    for (int pass = 1; pass <= kPasses; ++pass) {
        // Powers in double, stored single; multiplication matches pow() here (checked over the
        // whole 0..103 range of Y).
        const double vd = v, v2 = vd * vd;
        const float p2 = static_cast<float>(v2);
        const float p3 = static_cast<float>(v2 * vd);
        const float p4 = static_cast<float>(v2 * v2);
        float f = -t;
        f = f + a1 * v;
        f = f + a2 * p2;
        f = f + a3 * p3;
        f = f + a4 * p4;
        f = f + p4 * a5 * v;
        float fd = a1;
        fd = fd + 2 * a2 * v;
        fd = fd + 3 * a3 * p2;
        fd = fd + 4 * a4 * p3;
        fd = fd + 5 * a5 * p4;
        if (fd == 0) throw ArithmeticError("value scale: division by zero in the inversion");
        const float step = f / fd;
        const float next = v - step;
        if (sameBits(next, v)) break; // fixed point
        if (pass > 1 && sameBits(next, before)) {
            // v, next, v, next, ...: the 15th value is next when an even number of passes remain.
            if ((kPasses - pass) % 2 == 0) v = next;
            break;
        }
        before = v;
        v = next;
    }
    if (!std::isfinite(v)) throw ArithmeticError("value scale: Y is out of range");
    return v;
}

} // namespace zul
