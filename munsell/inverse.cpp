#include "munsell/inverse.h"

#include "munsell/value.h"
#include "text/errors.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>

namespace zul {

namespace {

constexpr int kPasses = 50;    // bisection passes (a pass that changes nothing ends them early)
constexpr int kUnchecked = 18; // passes before the first test for that
constexpr float kSeamGap = 20; // hue difference beyond which two levels straddle 0/100
constexpr int kMaxRing = 512;  // extrapolation gives up beyond chroma 1024
constexpr Chromaticity kWhite{kWhiteX, kWhiteY};

Chromaticity corner(const RenotationTable& t, int v, int h, int c) {
    return {static_cast<float>(t.at(v, h, c, 0)) / 10000.0f,
            static_cast<float>(t.at(v, h, c, 1)) / 10000.0f};
}

bool empty(Chromaticity p) {
    return p.x == 0 || p.y == 0;
}

float dist(Chromaticity p, Chromaticity q) {
    const float dx = p.x - q.x, dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

void checkLevel(int v) {
    if (v < 0 || v >= RenotationTable::kValues)
        throw RangeError("Munsell value level " + std::to_string(v) + " is outside the table");
}

// Cross product of the edge p -> q with the point: positive when the point lies to the left.
float side(Chromaticity p, Chromaticity q, float x, float y) {
    return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
}

// Edge p -> q misses the point on its outer side by more than kSlack (chromaticity units)
// along its normal.
constexpr float kSlack = 2e-7f;
bool beyondEdge(Chromaticity p, Chromaticity q, float x, float y) {
    const float w = side(p, q, x, y);
    if (w <= 0) return false;
    const float dx = q.x - p.x, dy = q.y - p.y;
    return w * w > kSlack * kSlack * (dx * dx + dy * dy);
}

// Inside the quadrilateral, or outside it by no more than rounding: no edge misses the point.
// The edges are independent tests, so their order changes no answer; the edge p3 -> p4 (a
// cell's outer ring) comes first, as it rejects the rings the search passes on its way out.
bool nearQuad(float x, float y, Chromaticity p1, Chromaticity p2, Chromaticity p3,
              Chromaticity p4) {
    return !beyondEdge(p3, p4, x, y) && !beyondEdge(p4, p1, x, y) && !beyondEdge(p2, p3, x, y) &&
           !beyondEdge(p1, p2, x, y);
}

struct Quad {
    Chromaticity a, b, d, e; // inner lower-hue, inner higher-hue, outer lower, outer higher
};

Quad tableQuad(const RenotationTable& t, int v, Cell cell) {
    const int h = cell.h, c = cell.c;
    return {corner(t, v, h, c), corner(t, v, h + 1, c), corner(t, v, h, c + 1),
            corner(t, v, h + 1, c + 1)};
}

using F4 = float __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));

bool anyLane(I4 m) {
    m |= __builtin_shufflevector(m, m, 2, 3, 0, 1);
    m |= __builtin_shufflevector(m, m, 1, 0, 3, 2);
    return m[0] != 0;
}

// Fractions t (hue direction, in .hue) and s (chroma direction, in .chroma) of (x, y) in each
// of N cells, by bisection: a hue pass halves the cell between the midpoints M1 of A-B and M2 of
// D-E, a chroma pass between N1 of B-E and N2 of A-D, and keeps the half holding the point.
// t = |D - M2| / |E - D| and s = |A - N2| / |D - A| from the last pass.
//
// Each pass decides by the halving line alone. The cell's own sides, which the halves share,
// say nothing more about a point inside the cell, but their halved copies round differently: a
// point within rounding of a side could fail both halves, and one wrong early decision sends
// the fraction to the far side of the cell.
//
// The bisections (two per cell) are independent and of one shape, so they run side by side in
// the lanes of small vectors, with the choice made by selection: it is unpredictable from pass
// to pass. Lanes 0, 1 hold the hue bisection, lanes 2, 3 the chroma bisection; `s` holds the
// start of the halving line (M1 | N1) and `t` its end (M2 | N2), each the midpoint of a p and a
// q corner (A, B | B, E and D, E | A, D). A point on the line's inner side moves the q corners
// to the midpoints, otherwise the p corners.
template <int N> void fractions(float x, float y, const Quad (&cell)[N], HueChroma (&out)[N]) {
    F4 ps[N], qs[N], pt[N], qt[N], s[N], t[N];
    for (int n = 0; n < N; ++n) {
        const Quad& c = cell[n];
        ps[n] = F4{c.a.x, c.a.y, c.b.x, c.b.y};
        qs[n] = F4{c.b.x, c.b.y, c.e.x, c.e.y};
        pt[n] = F4{c.d.x, c.d.y, c.a.x, c.a.y};
        qt[n] = F4{c.e.x, c.e.y, c.d.x, c.d.y};
    }
    const F4 point{x, y, x, y};
    const auto select = [](I4 mask, F4 a, F4 b) {
        return reinterpret_cast<F4>((reinterpret_cast<I4>(a) & mask) |
                                    (reinterpret_cast<I4>(b) & ~mask));
    };
    // One pass over every cell; with Check, whether it left all corners as they were.
    const auto pass = [&]<bool Check>() {
        I4 same{-1, -1, -1, -1};
        for (int n = 0; n < N; ++n) {
            s[n] = (ps[n] + qs[n]) / 2;
            t[n] = (pt[n] + qt[n]) / 2;
            const F4 dir = t[n] - s[n], rel = point - s[n];
            const F4 prod = dir * __builtin_shufflevector(rel, rel, 1, 0, 3, 2);
            const F4 w = prod - __builtin_shufflevector(prod, prod, 1, 0, 3, 2);
            I4 in = w <= 0;
            in = __builtin_shufflevector(in, in, 0, 0, 2, 2);
            const F4 nps = select(in, ps[n], s[n]), npt = select(in, pt[n], t[n]);
            const F4 nqs = select(in, s[n], qs[n]), nqt = select(in, t[n], qt[n]);
            if constexpr (Check)
                same &= (nps == ps[n]) & (npt == pt[n]) & (nqs == qs[n]) & (nqt == qt[n]);
            ps[n] = nps, pt[n] = npt, qs[n] = nqs, qt[n] = nqt;
        }
        if constexpr (Check) {
            same &= __builtin_shufflevector(same, same, 2, 3, 0, 1);
            same &= __builtin_shufflevector(same, same, 1, 0, 3, 2);
            return same[0] != 0;
        } else {
            return false;
        }
    };
    // Once the corners have shrunk to neighbouring floats a pass may leave them as they were;
    // every later pass would repeat it, so the answer is already final, and passes after that
    // point change nothing either, so the test may start at any pass. Halving a cell to the
    // spacing of the floats takes some 20 passes, so the first kUnchecked run without it.
    int done = 0;
    for (; done < kUnchecked; ++done)
        pass.template operator()<false>();
    for (; done < kPasses; ++done)
        if (pass.template operator()<true>()) break;
    for (int n = 0; n < N; ++n) {
        const Quad& c = cell[n];
        const Chromaticity m2{t[n][0], t[n][1]}, n2{t[n][2], t[n][3]};
        const float outer = dist(c.e, c.d);
        out[n].hue = outer > 0 ? dist(c.d, m2) / outer : 0;
        const float sideLength = dist(c.d, c.a);
        out[n].chroma = sideLength > 0 ? dist(c.a, n2) / sideLength : 0;
    }
}

HueChroma numbers(Cell cell, HueChroma f) {
    return {(static_cast<float>(cell.h) + f.hue) * 2.5f,
            (static_cast<float>(cell.c) + f.chroma) * 2};
}

// How far outside the cell nearQuad can still accept a point: the slack, lengthened at each
// corner by 1 / sin(half the corner's angle); plus room for rounding.
float nearMargin(const Quad& q) {
    constexpr float kLargest = 10; // a needle-thin cell goes into every bucket
    const Chromaticity ring[4] = {q.a, q.b, q.e, q.d};
    float margin = 0;
    for (int k = 0; k < 4; ++k) {
        const Chromaticity v = ring[k];
        // Neighbouring corners along the boundary, passing over a repeated corner.
        Chromaticity prev = ring[(k + 3) % 4], next = ring[(k + 1) % 4];
        if (prev.x == v.x && prev.y == v.y) prev = ring[(k + 2) % 4];
        if (next.x == v.x && next.y == v.y) next = ring[(k + 2) % 4];
        const float lu = dist(prev, v), lw = dist(next, v);
        if (lu == 0 || lw == 0) continue;
        const float cosine =
            ((prev.x - v.x) * (next.x - v.x) + (prev.y - v.y) * (next.y - v.y)) / (lu * lw);
        const float halfSine = std::sqrt(std::max(0.0f, (1 - cosine) / 2));
        margin =
            std::max(margin, halfSine > 2 * kSlack / kLargest ? 2 * kSlack / halfSine : kLargest);
    }
    return margin + 1e-5f;
}

// Walks the cells of level v in the search's visiting order (hues upward, within a hue chroma
// rings outward, a hue ending at its first empty outer corner) and returns the first cell for
// which visit(cell, A, B, D, E) is true, or {40, 0}.
template <typename Visit> Cell visitCells(const RenotationTable& table, int v, Visit&& visit) {
    for (int h = 0; h < 40; ++h) {
        Chromaticity a = kWhite, b = kWhite;
        for (int c = 0; c + 1 < RenotationTable::kChromas; ++c) {
            const Chromaticity d = corner(table, v, h, c + 1);
            const Chromaticity e = corner(table, v, h + 1, c + 1);
            if (empty(d) || empty(e)) break;
            const Cell cell{static_cast<std::int16_t>(h), static_cast<std::int16_t>(c)};
            if (visit(cell, a, b, d, e)) return cell;
            a = d;
            b = e;
        }
    }
    return {40, 0};
}

// First cell at level v, in findcell's order, that holds the point up to rounding: catches a
// point on a shared edge that rounding put outside both cells.
Cell nearCell(float x, float y, int v, const RenotationTable& table) {
    return visitCells(table, v,
                      [&](Cell, Chromaticity a, Chromaticity b, Chromaticity d, Chromaticity e) {
                          return nearQuad(x, y, a, b, e, d);
                      });
}

// Hue and chroma of a chromaticity that no cell at level v holds, continued outwards from the
// table. Each hue line (the points of one hue at chroma 0, 2, 4, ...) is extended beyond its
// last point along its direction from the white point, one step per ring at its last ring
// spacing, so extended lines of different hues never cross. The virtual cells between
// neighbouring lines are then searched like table cells, first in the sector whose outermost
// points bracket the colour's direction from the white point, then in all sectors.
class Extrapolator {
public:
    Extrapolator(const RenotationTable& t, int v) : m_v(v) {
        for (int h = 0; h < 40; ++h) {
            int r = 0;
            m_points[h][0] = kWhite;
            while (r + 1 < RenotationTable::kChromas && !empty(corner(t, v, h, r + 1))) {
                ++r;
                m_points[h][r] = corner(t, v, h, r);
            }
            m_reach[h] = r;
            if (r == 0) continue;
            m_lines[m_count++] = h;
            const Chromaticity outer = m_points[h][r], inner = m_points[h][r - 1];
            const Chromaticity ray{outer.x - kWhite.x, outer.y - kWhite.y};
            m_rayX[m_count - 1] = ray.x;
            m_rayY[m_count - 1] = ray.y;
            const float scale = dist(outer, inner) / dist(outer, kWhite);
            m_step[h] = {ray.x * scale, ray.y * scale};
        }
    }

    // With `screen` false every ring of every sector is tried (the plain search, a reference
    // for the screened one).
    HueChroma estimate(float x, float y, bool screen = true) const {
        if (m_count == 0)
            throw RangeError("Munsell value level " + std::to_string(m_v) + " holds no colours");
        const Chromaticity dir{x - kWhite.x, y - kWhite.y};
        // Side of the colour from each line's last point: cross(ray, dir), all lines at once.
        // cross(dir, ray) is its exact negative (the same two products, subtracted the other
        // way round).
        float side[40];
        for (int i = 0; i < 40; ++i)
            side[i] = m_rayX[i] * dir.y - m_rayY[i] * dir.x;
        HueChroma hc;
        for (int i = 0; i < m_count; ++i) {
            // Within the anticlockwise turn from line a's last point to line b's (less than a
            // half turn whenever there are three lines or more).
            if (side[i] >= 0 && side[i + 1 < m_count ? i + 1 : 0] <= 0) {
                if (inSector(x, y, i, hc, false)) return hc;
                break;
            }
        }
        for (int i = 0; i < m_count; ++i)
            if (inSector(x, y, i, hc, screen)) return hc;
        throw RangeError("colour lies too far outside the Munsell solid");
    }

private:
    // Point c of hue line h: the white point, a table point, or the line continued.
    Chromaticity point(int h, int c) const {
        const int r = m_reach[h];
        if (c <= r) return m_points[h][c];
        const Chromaticity last = m_points[h][r];
        const float k = static_cast<float>(c - r);
        return {last.x + k * m_step[h].x, last.y + k * m_step[h].y};
    }

    // The first ring of sector i (between line i and the next) that holds the point up to
    // rounding. With `screen`, the rings where both lines are continued are passed over when
    // the point lies clearly outside one of the two continued lines (see outsideLine).
    bool inSector(float x, float y, int i, HueChroma& hc, bool screen) const {
        const int a = m_lines[i];
        const int bLine = m_lines[(i + 1) % m_count];
        const int b = bLine > a ? bLine : bLine + 40; // hue index across the seam
        // Cells below both lines' reach exist only between neighbouring lines, and the table
        // search has already tried them.
        const int first = b == a + 1 ? std::min(m_reach[a], m_reach[bLine]) : 0;
        int last = kMaxRing;
        if (screen) {
            const int continued = std::max({first, m_reach[a], m_reach[bLine]});
            if (outsideLine(a, x, y, -1) || outsideLine(bLine, x, y, 1)) last = continued;
        }
        // Each ring's outer points are the next ring's inner ones.
        Quad q[1] = {{point(a, first), point(bLine, first), {}, {}}};
        for (int c = first; c < last; ++c, q[0].a = q[0].d, q[0].b = q[0].e) {
            q[0].d = point(a, c + 1);
            q[0].e = point(bLine, c + 1);
            if (!nearQuad(x, y, q[0].a, q[0].b, q[0].e, q[0].d)) continue;
            HueChroma f[1];
            fractions(x, y, q, f);
            float hue = (static_cast<float>(a) + f[0].hue * static_cast<float>(b - a)) * 2.5f;
            if (hue >= 100) hue -= 100;
            hc = {hue, (static_cast<float>(c) + f[0].chroma) * 2};
            return true;
        }
        return false;
    }

    // True when no ring whose points on line h are both continued ones (chroma index at or
    // beyond the line's reach) can hold the point, because it lies too far on the outer side
    // of the line: the left of it for `orientation` 1 (the higher-hue side of a sector), the
    // right for -1. Such a ring's edge along the line runs between two points
    // last + k * step and last + (k + 1) * step, each rounded once in the product and once in
    // the sum; nearQuad's test of that edge then misses the exact cross product
    // g = cross(step, point - last) (which does not depend on k) by at most the bound below,
    // taken twice over, and rejects the ring whenever g exceeds it and the slack.
    bool outsideLine(int h, float x, float y, int orientation) const {
        constexpr double u = 0x1p-24; // unit roundoff of single precision
        const Chromaticity last = m_points[h][m_reach[h]];
        const Chromaticity step = m_step[h];
        const double sx = step.x, sy = step.y;
        const double g = orientation * (sx * (static_cast<double>(y) - last.y) -
                                        sy * (static_cast<double>(x) - last.x));
        if (!(g > 0)) return false;
        const double stepMax = std::max(std::fabs(sx), std::fabs(sy));
        // Largest coordinate of a continued point or of k * step, and their rounding error.
        const double reach = std::max(std::fabs(static_cast<double>(last.x)),
                                      std::fabs(static_cast<double>(last.y))) +
                             kMaxRing * stepMax;
        const double eps = 2.02 * u * reach;
        // Largest coordinate of point - corner, and the error of a coordinate of the edge.
        const double r0 =
            std::max(std::fabs(static_cast<double>(x)), std::fabs(static_cast<double>(y))) + reach;
        const double eta = 2 * eps + u * (stepMax + 2 * eps);
        const double bound = 2 * (eta * (r0 + eps + u * r0) + stepMax * (eps + u * r0)) +
                             3 * u * (stepMax + eta) * (r0 * (1 + u) + eps);
        const double slack = 1.5 * static_cast<double>(kSlack) * (stepMax + eta);
        return g > 2 * (bound + slack);
    }

    int m_v;
    int m_lines[40] = {}; // hue indices 0..39 with at least one chroma step, ascending
    int m_count = 0;
    int m_reach[40] = {}; // last chroma index of each hue line
    // The white point and the table's points of each hue line up to its reach.
    Chromaticity m_points[40][RenotationTable::kChromas];
    float m_rayX[40] = {}, m_rayY[40] = {}; // per line: last point less the white point
    Chromaticity m_step[40];                // ring step beyond the last point
};

// `search` answers find (the first containing cell), near (the same up to rounding) and
// beyond (the estimate outside the table) at a level.
template <class Search>
MunsellColour blend(float X, float& Y, float Z, const RenotationTable& table, bool pwd,
                    const Search& search) {
    MunsellColour m;
    m.value = ytov(Y, pwd);
    if (!(m.value < 10)) throw RangeError("Munsell value 10 or more is outside the table");
    const int vi = static_cast<int>(std::floor(m.value));
    const float sum = X + Y + Z;
    if (sum == 0) throw ArithmeticError("CIE to Munsell: X + Y + Z is 0");
    const float x = X / sum, y = Y / sum;
    if (!std::isfinite(x) || !std::isfinite(y))
        throw ArithmeticError("CIE to Munsell: chromaticity out of range");

    Cell cell[2];
    for (int i = 0; i < 2; ++i) {
        cell[i] = search.find(x, y, vi + i);
        if (!cell[i].found()) cell[i] = search.near(x, y, vi + i);
    }
    HueChroma level[2];
    if (cell[0].found() && cell[1].found()) {
        const Quad q[2] = {tableQuad(table, vi, cell[0]), tableQuad(table, vi + 1, cell[1])};
        fractions(x, y, q, level);
        for (int i = 0; i < 2; ++i)
            level[i] = numbers(cell[i], level[i]);
    } else {
        for (int i = 0; i < 2; ++i) {
            if (cell[i].found()) {
                level[i] = cellfrac(x, y, vi + i, cell[i], table);
            } else {
                level[i] = search.beyond(x, y, vi + i);
                m.extrapolated |= i == 0 ? kExtrapolatedLower : kExtrapolatedUpper;
            }
        }
    }
    const float f = m.value - static_cast<float>(vi);
    m.chroma = (1 - f) * level[0].chroma + f * level[1].chroma;
    float hue1 = level[0].hue, hue2 = level[1].hue;
    const float gap = hue1 - hue2;
    if (std::fabs(gap) > kSeamGap) {
        if (hue1 >= 50)
            hue2 += 100;
        else
            hue1 += 100;
    }
    m.hue = (1 - f) * hue1 + f * hue2;
    if (m.hue >= 100) m.hue -= 100;
    if (!std::isfinite(m.hue) || !std::isfinite(m.chroma))
        throw ArithmeticError("CIE to Munsell: result out of range");
    return m;
}

struct PlainSearch {
    const RenotationTable& table;
    Cell find(float x, float y, int v) const { return findcell(x, y, v, table); }
    Cell near(float x, float y, int v) const { return nearCell(x, y, v, table); }
    HueChroma beyond(float x, float y, int v) const {
        return Extrapolator(table, v).estimate(x, y, false);
    }
};

} // namespace

struct CellIndex::Outskirts : Extrapolator {
    using Extrapolator::Extrapolator;
};

bool inquad(float px, float py, Chromaticity p1, Chromaticity p2, Chromaticity p3,
            Chromaticity p4) {
    const Chromaticity p[5] = {p1, p2, p3, p4, p1};
    for (int k = 0; k < 4; ++k)
        if (side(p[k], p[k + 1], px, py) > 0) return false;
    return true;
}

Cell findcell(float x, float y, int v, const RenotationTable& table) {
    checkLevel(v);
    int h = 0, c = 0;
    Chromaticity a = kWhite, b = kWhite;
    while (h < 40) {
        if (c == 0) a = b = kWhite;
        const bool last = c + 1 >= RenotationTable::kChromas;
        const Chromaticity d = last ? Chromaticity{} : corner(table, v, h, c + 1);
        const Chromaticity e = last ? Chromaticity{} : corner(table, v, h + 1, c + 1);
        if (empty(d) || empty(e)) {
            c = 0;
            ++h;
            continue;
        }
        if (inquad(x, y, a, b, e, d))
            return {static_cast<std::int16_t>(h), static_cast<std::int16_t>(c)};
        a = d;
        b = e;
        ++c;
    }
    return {40, 0};
}

HueChroma cellfrac(float x, float y, int v, Cell cell, const RenotationTable& table) {
    checkLevel(v);
    if (cell.h < 0 || cell.h + 1 >= RenotationTable::kHues || cell.c < 0 ||
        cell.c + 1 >= RenotationTable::kChromas)
        throw RangeError("renotation cell is outside the table");
    const Quad q[1] = {tableQuad(table, v, cell)};
    HueChroma f[1];
    fractions(x, y, q, f);
    return numbers(cell, f[0]);
}

CellIndex::CellIndex(const RenotationTable& table) : m_table(table) {
    for (int v = 0; v < RenotationTable::kValues; ++v) {
        m_outskirts[v] = std::make_shared<const Outskirts>(table, v);
        Level& level = m_levels[v];
        // Every cell goes into the buckets its bounding box meets, widened so that rounding in
        // the bucket arithmetic, and the near test's slack, can only add candidates.
        struct Box {
            Candidate q;
            float x0, y0, x1, y1;
        };
        std::vector<Box> boxes;
        visitCells(table, v,
                   [&](Cell cell, Chromaticity a, Chromaticity b, Chromaticity d, Chromaticity e) {
                       const float margin = nearMargin({a, b, d, e});
                       boxes.push_back({{a, b, e, d, cell},
                                        std::min({a.x, b.x, d.x, e.x}) - margin,
                                        std::min({a.y, b.y, d.y, e.y}) - margin,
                                        std::max({a.x, b.x, d.x, e.x}) + margin,
                                        std::max({a.y, b.y, d.y, e.y}) + margin});
                       return false; // every cell
                   });
        level.start.assign(kGrid * kGrid + 1, 0);
        if (boxes.empty()) continue;
        level.x0 = level.y0 = 1e30f;
        level.x1 = level.y1 = -1e30f;
        for (const Box& box : boxes) {
            level.x0 = std::min(level.x0, box.x0);
            level.y0 = std::min(level.y0, box.y0);
            level.x1 = std::max(level.x1, box.x1);
            level.y1 = std::max(level.y1, box.y1);
        }
        level.scaleX = kGrid / (level.x1 - level.x0);
        level.scaleY = kGrid / (level.y1 - level.y0);
        auto bucketX = [&](float x) {
            return std::clamp(static_cast<int>((x - level.x0) * level.scaleX), 0, kGrid - 1);
        };
        auto bucketY = [&](float y) {
            return std::clamp(static_cast<int>((y - level.y0) * level.scaleY), 0, kGrid - 1);
        };
        // Counting pass, then filling, so each bucket's run keeps the visiting order.
        std::vector<std::uint32_t> count(kGrid * kGrid, 0);
        for (const Box& box : boxes)
            for (int by = bucketY(box.y0); by <= bucketY(box.y1); ++by)
                for (int bx = bucketX(box.x0); bx <= bucketX(box.x1); ++bx)
                    ++count[by * kGrid + bx];
        for (int i = 0; i < kGrid * kGrid; ++i)
            level.start[i + 1] = level.start[i] + count[i];
        level.candidates.resize(level.start.back());
        std::vector<std::uint32_t> fill(level.start.begin(), level.start.end() - 1);
        for (const Box& box : boxes)
            for (int by = bucketY(box.y0); by <= bucketY(box.y1); ++by)
                for (int bx = bucketX(box.x0); bx <= bucketX(box.x1); ++bx)
                    level.candidates[fill[by * kGrid + bx]++] = box.q;
    }
}

template <class Test> Cell CellIndex::firstInBucket(float x, float y, int v, Test test) const {
    checkLevel(v);
    const Level& level = m_levels[v];
    // Outside every widened box (or not a number): no cell can hold the point.
    if (!(x >= level.x0 && x <= level.x1 && y >= level.y0 && y <= level.y1)) return {40, 0};
    const int bx = std::clamp(static_cast<int>((x - level.x0) * level.scaleX), 0, kGrid - 1);
    const int by = std::clamp(static_cast<int>((y - level.y0) * level.scaleY), 0, kGrid - 1);
    const int bucket = by * kGrid + bx;
    const F4 px{x, x, x, x}, py{y, y, y, y};
    static_assert(sizeof(Chromaticity) == 2 * sizeof(float) && offsetof(Candidate, a) == 0 &&
                  offsetof(Candidate, e) == 4 * sizeof(float));
    for (std::uint32_t i = level.start[bucket]; i < level.start[bucket + 1]; ++i) {
        const Candidate& q = level.candidates[i];
        // The four edges in the lanes, in inquad's order: from A, B, E, D to B, E, D, A.
        F4 ab, ed;
        std::memcpy(&ab, &q.a, sizeof ab);
        std::memcpy(&ed, &q.e, sizeof ed);
        const F4 ex = __builtin_shufflevector(ab, ed, 0, 2, 4, 6);
        const F4 ey = __builtin_shufflevector(ab, ed, 1, 3, 5, 7);
        const F4 dx = __builtin_shufflevector(ex, ex, 1, 2, 3, 0) - ex;
        const F4 dy = __builtin_shufflevector(ey, ey, 1, 2, 3, 0) - ey;
        // side() of every edge at once, as inquad and nearQuad compute it edge by edge.
        const F4 w = dx * (py - ey) - dy * (px - ex);
        if (!anyLane(test(w, dx, dy))) return q.cell;
    }
    return {40, 0};
}

Cell CellIndex::find(float x, float y, int v) const {
    // inquad: some edge has the point on its outer side.
    return firstInBucket(x, y, v, [](F4 w, F4, F4) { return w > 0; });
}

Cell CellIndex::findNear(float x, float y, int v) const {
    // nearQuad: some edge misses the point by more than the slack.
    return firstInBucket(x, y, v, [](F4 w, F4 dx, F4 dy) {
        return (w > 0) & (w * w > kSlack * kSlack * (dx * dx + dy * dy));
    });
}

MunsellColour xyzmun(float X, float& Y, float Z, const RenotationTable& table, bool pwd) {
    return blend(X, Y, Z, table, pwd, PlainSearch{table});
}

std::shared_ptr<const CellIndex> sharedCellIndex(std::shared_ptr<const RenotationTable> table) {
    struct Holder {
        explicit Holder(std::shared_ptr<const RenotationTable> t)
            : table(std::move(t)), index(*table) {}
        std::shared_ptr<const RenotationTable> table;
        CellIndex index;
    };
    static std::mutex mutex;
    static std::vector<std::pair<const RenotationTable*, std::weak_ptr<const CellIndex>>> made;
    // Held while an index is made, so that workers starting together make it once.
    const std::lock_guard lock(mutex);
    std::erase_if(made, [](const auto& m) { return m.second.expired(); });
    // A live entry keeps its table alive, so the address cannot belong to another table.
    for (const auto& [t, index] : made)
        if (t == table.get())
            if (auto p = index.lock()) return p;
    const auto holder = std::make_shared<const Holder>(std::move(table));
    std::shared_ptr<const CellIndex> index(holder, &holder->index);
    made.emplace_back(holder->table.get(), index);
    return index;
}

MunsellColour xyzmun(float X, float& Y, float Z, const CellIndex& index, bool pwd) {
    struct IndexedSearch {
        const CellIndex& index;
        Cell find(float x, float y, int v) const { return index.find(x, y, v); }
        Cell near(float x, float y, int v) const { return index.findNear(x, y, v); }
        HueChroma beyond(float x, float y, int v) const {
            return index.m_outskirts[v]->estimate(x, y);
        }
    };
    return blend(X, Y, Z, index.table(), pwd, IndexedSearch{index});
}

} // namespace zul
