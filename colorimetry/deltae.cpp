#include "colorimetry/deltae.h"
#include "colorimetry/difference.h"

#include <cmath>

namespace zul {

double deltaE76(const LabD& x, const LabD& y) {
    return std::hypot(x.l - y.l, x.a - y.a, x.b - y.b);
}

double deltaE2000(const LabD& x, const LabD& y) {
    return ciede2000(x, y).dE;
}

} // namespace zul
