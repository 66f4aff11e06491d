#include "spectral/weights.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <tuple>

namespace zul::spectral {

namespace {

constexpr int kFirstNm = 360, kLastNm = 830;

// Lagrange coefficients at `x` for nodes 0, 1, ..., n-1 (unit spacing).
void lagrange(double x, int n, double* out) {
    for (int i = 0; i < n; ++i) {
        double c = 1;
        for (int j = 0; j < n; ++j)
            if (j != i) c *= (x - j) / (i - j);
        out[i] = c;
    }
}

// Illuminant times x-bar, y-bar, z-bar at 1 nm, 360..830: the products at the tables' common
// 5 nm points, interpolated linearly. Interpolating the product rather than its factors keeps
// the 1 nm sums equal to the 5 nm sums, which is what the fluorescent lamps' line spectra
// (tabulated as 5 nm bands) are defined by.
const std::vector<XyzD>& products(Condition c) {
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::vector<XyzD>> cache;
    const std::lock_guard lock(mutex);
    auto& p = cache[{static_cast<int>(c.illuminant), static_cast<int>(c.observer)}];
    if (!p.empty()) return p;
    const SampledTable& s = illuminantPower(c.illuminant);
    std::vector<XyzD> at5;
    for (int nm = kFirstNm; nm <= kLastNm; nm += 5) {
        const double e = s.at(nm);
        at5.push_back({e * colourMatching(c.observer, 0).at(nm),
                       e * colourMatching(c.observer, 1).at(nm),
                       e * colourMatching(c.observer, 2).at(nm)});
    }
    for (int nm = kFirstNm; nm <= kLastNm; ++nm) {
        const auto k = static_cast<std::size_t>((nm - kFirstNm) / 5);
        const double t = (nm - kFirstNm) % 5 / 5.0;
        const XyzD& a = at5[k];
        const XyzD& b = t == 0 ? a : at5[k + 1];
        p.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
    }
    return p;
}

WeightTable compute(Condition c, double start, double interval, int count) {
    const std::vector<XyzD>& sc = products(c);
    WeightTable t{start, interval, std::vector<XyzD>(static_cast<std::size_t>(count)), {}};
    double ySum = 0;
    for (std::size_t k = 0; k < sc.size(); ++k) {
        const double nm = kFirstNm + static_cast<double>(k);
        ySum += sc[k].y;
        const double pos = (nm - start) / interval;
        int first = 0, points = 1;
        double coef[4] = {1, 0, 0, 0};
        if (pos <= 0 || count == 1) {
            first = 0;
        } else if (pos >= count - 1) {
            first = count - 1;
        } else {
            const int j = static_cast<int>(std::floor(pos));
            if (pos == j) {
                first = j;
            } else if (count == 2) {
                points = 2;
            } else {
                first = j - 1, points = 4;
                if (j == 0) first = 0, points = 3;
                if (j == count - 2) first = count - 3, points = 3;
                lagrange(pos - first, points, coef);
            }
            if (points == 2) lagrange(pos, 2, coef);
        }
        for (int i = 0; i < points; ++i) {
            XyzD& w = t.weights[static_cast<std::size_t>(first + i)];
            w.x += coef[i] * sc[k].x;
            w.y += coef[i] * sc[k].y;
            w.z += coef[i] * sc[k].z;
        }
    }
    const double norm = 100 / ySum;
    for (XyzD& w : t.weights) {
        w.x *= norm, w.y *= norm, w.z *= norm;
        t.white.x += w.x, t.white.y += w.y, t.white.z += w.z;
    }
    return t;
}

} // namespace

const WeightTable& weightTable(Condition c, double start, double interval, int count) {
    if (!(interval >= kMinInterval && interval <= kMaxInterval))
        throw std::invalid_argument("the interval must be 1 to 20 nm");
    if (count < 1) throw std::invalid_argument("no reflectance values");
    if (!std::isfinite(start) || start > kLastNm || start + interval * (count - 1) < kFirstNm)
        throw std::invalid_argument("the wavelengths lie outside 360 to 830 nm");
    using Key = std::tuple<int, int, double, double, int>;
    static std::mutex mutex;
    static std::map<Key, std::unique_ptr<WeightTable>> cache;
    const Key key{static_cast<int>(c.illuminant), static_cast<int>(c.observer), start, interval,
                  count};
    const std::lock_guard lock(mutex);
    auto& slot = cache[key];
    if (!slot) slot = std::make_unique<WeightTable>(compute(c, start, interval, count));
    return *slot;
}

XyzD whitePoint(Condition c) {
    return weightTable(c, kFirstNm, 10, (kLastNm - kFirstNm) / 10 + 1).white;
}

XyzD tristimulus(const Spectrum& s, Condition c) {
    const WeightTable& t = weightTable(c, s.start, s.interval, static_cast<int>(s.values.size()));
    XyzD r;
    for (std::size_t k = 0; k < s.values.size(); ++k) {
        const double v = s.values[k] / 100;
        r.x += v * t.weights[k].x, r.y += v * t.weights[k].y, r.z += v * t.weights[k].z;
    }
    return r;
}

} // namespace zul::spectral
