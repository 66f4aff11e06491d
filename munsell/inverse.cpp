#include "munsell/inverse.h"

#include "munsell/value.h"
#include "text/errors.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

namespace zul {

namespace {

constexpr int kPasses = 50;     // bisection passes; fixed, no tolerance test
constexpr float kSeamGap = 20;  // hue difference beyond which two levels straddle 0/100
constexpr int kMaxRing = 512;   // extrapolation gives up beyond chroma 1024
constexpr Chromaticity kWhite{kWhiteX, kWhiteY};

Chromaticity corner(const RenotationTable& t, int v, int h, int c) {
    return {static_cast<float>(t.at(v, h, c, 0)) / 10000.0f,
            static_cast<float>(t.at(v, h, c, 1)) / 10000.0f};
}

bool empty(Chromaticity p) { return p.x == 0 || p.y == 0; }

Chromaticity mid(Chromaticity p, Chromaticity q) { return {(p.x + q.x) / 2, (p.y + q.y) / 2}; }

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

// Inside the quadrilateral, or outside it by no more than rounding: every edge misses the point
// by at most kSlack (chromaticity units) along its normal.
constexpr float kSlack = 2e-7f;
bool nearQuad(float x, float y, Chromaticity p1, Chromaticity p2, Chromaticity p3,
              Chromaticity p4) {
    const Chromaticity p[5] = {p1, p2, p3, p4, p1};
    for (int k = 0; k < 4; ++k) {
        const float w = side(p[k], p[k + 1], x, y);
        if (w <= 0) continue;
        const float dx = p[k + 1].x - p[k].x, dy = p[k + 1].y - p[k].y;
        if (w * w > kSlack * kSlack * (dx * dx + dy * dy)) return false;
    }
    return true;
}

// Fractions t (hue direction) and s (chroma direction) of (x, y) in the cell A B E D.
// Each pass decides by the line that halves the cell alone. The cell's own sides, which the
// halves share, say nothing more about a point inside the cell, but their halved copies round
// differently: a point within rounding of a side could fail both halves, and one wrong early
// decision sends the fraction to the far side of the cell.
HueChroma fractions(float x, float y, Chromaticity a0, Chromaticity b0, Chromaticity d0,
                    Chromaticity e0) {
    // The two bisections are independent; they run side by side so their arithmetic overlaps.
    Chromaticity a = a0, b = b0, d = d0, e = e0, m2;      // hue bisection
    Chromaticity ca = a0, cb = b0, cd = d0, ce = e0, n2; // chroma bisection
    for (int pass = 0; pass < kPasses; ++pass) {
        const Chromaticity m1 = mid(a, b);
        m2 = mid(d, e);
        const Chromaticity n1 = mid(cb, ce);
        n2 = mid(ca, cd);
        const Chromaticity was[8] = {a, b, d, e, ca, cb, cd, ce};
        if (side(m1, m2, x, y) <= 0) { // in the lower-hue half A M1 M2 D
            b = m1;
            e = m2;
        } else {
            a = m1;
            d = m2;
        }
        if (side(n1, n2, x, y) <= 0) { // in the inner half A B N1 N2
            cd = n2;
            ce = n1;
        } else {
            ca = n2;
            cb = n1;
        }
        // Once the corners have shrunk to neighbouring floats a pass may leave them exactly as
        // they were; every later pass would then repeat it, so the answer is already final.
        const Chromaticity now[8] = {a, b, d, e, ca, cb, cd, ce};
        if (std::memcmp(was, now, sizeof now) == 0) break;
    }
    HueChroma f;
    const float outer = dist(e0, d0);
    f.hue = outer > 0 ? dist(d0, m2) / outer : 0;
    const float sideLength = dist(d0, a0);
    f.chroma = sideLength > 0 ? dist(a0, n2) / sideLength : 0;
    return f;
}

// First cell at level v, in findcell's order, that holds the point up to rounding: catches a
// point on a shared edge that rounding put outside both cells.
Cell nearCell(float x, float y, int v, const RenotationTable& table) {
    for (int h = 0; h < 40; ++h) {
        Chromaticity a = kWhite, b = kWhite;
        for (int c = 0; c + 1 < RenotationTable::kChromas; ++c) {
            const Chromaticity d = corner(table, v, h, c + 1);
            const Chromaticity e = corner(table, v, h + 1, c + 1);
            if (empty(d) || empty(e)) break;
            if (nearQuad(x, y, a, b, e, d))
                return {static_cast<std::int16_t>(h), static_cast<std::int16_t>(c)};
            a = d;
            b = e;
        }
    }
    return {40, 0};
}

// Hue and chroma of a chromaticity that no cell at level v holds, continued outwards from the
// table. Each hue line (the points of one hue at chroma 0, 2, 4, ...) is extended beyond its
// last point along its direction from the white point, one step per ring at its last ring
// spacing, so extended lines of different hues never cross. The virtual cells between
// neighbouring lines are then searched like table cells, first in the sector whose outermost
// points bracket the colour's direction from the white point, then in all sectors.
class Extrapolator {
public:
    Extrapolator(const RenotationTable& t, int v) : m_t(t), m_v(v) {
        for (int h = 0; h < 40; ++h) {
            int r = 0;
            while (r + 1 < RenotationTable::kChromas && !empty(corner(t, v, h, r + 1))) ++r;
            m_reach[h] = r;
            if (r == 0) continue;
            m_lines.push_back(h);
            const Chromaticity outer = corner(t, v, h, r);
            const Chromaticity inner = r == 1 ? kWhite : corner(t, v, h, r - 1);
            const float radius = dist(outer, kWhite);
            const float step = dist(outer, inner);
            m_step[h] = {(outer.x - kWhite.x) / radius * step, (outer.y - kWhite.y) / radius * step};
            m_angle[h] = std::atan2(outer.y - kWhite.y, outer.x - kWhite.x);
        }
        if (m_lines.empty())
            throw RangeError("Munsell value level " + std::to_string(v) + " holds no colours");
    }

    HueChroma estimate(float x, float y) const {
        const float phi = std::atan2(y - kWhite.y, x - kWhite.x);
        const std::size_t n = m_lines.size();
        for (std::size_t i = 0; i < n; ++i) {
            const int a = m_lines[i], b = m_lines[(i + 1) % n];
            if (turn(m_angle[a], phi) <= turn(m_angle[a], m_angle[b]) || n == 1) {
                HueChroma hc;
                if (inSector(x, y, i, hc)) return hc;
                break;
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            HueChroma hc;
            if (inSector(x, y, i, hc)) return hc;
        }
        throw RangeError("colour lies too far outside the Munsell solid");
    }

private:
    // Anticlockwise angle from `from` to `to`, in [0, 2 pi).
    static float turn(float from, float to) {
        constexpr float full = 2 * std::numbers::pi_v<float>;
        float d = std::fmod(to - from, full);
        return d < 0 ? d + full : d;
    }

    Chromaticity point(int h, int c) const {
        const int r = m_reach[h];
        if (c <= r) return c == 0 ? kWhite : corner(m_t, m_v, h, c);
        const Chromaticity last = corner(m_t, m_v, h, r);
        const float k = static_cast<float>(c - r);
        return {last.x + k * m_step[h].x, last.y + k * m_step[h].y};
    }

    bool inSector(float x, float y, std::size_t i, HueChroma& hc) const {
        const std::size_t n = m_lines.size();
        const int a = m_lines[i];
        const int bLine = m_lines[(i + 1) % n];
        const int b = bLine > a ? bLine : bLine + 40; // hue index across the seam
        // Cells below both lines' reach exist only between neighbouring lines, and findcell
        // has already tried them.
        const int first = b == a + 1 ? std::min(m_reach[a], m_reach[bLine]) : 0;
        for (int c = first; c < kMaxRing; ++c) {
            const Chromaticity pa = point(a, c), pb = point(bLine, c);
            const Chromaticity pd = point(a, c + 1), pe = point(bLine, c + 1);
            if (!nearQuad(x, y, pa, pb, pe, pd)) continue;
            const HueChroma f = fractions(x, y, pa, pb, pd, pe);
            float hue = (static_cast<float>(a) + f.hue * static_cast<float>(b - a)) * 2.5f;
            if (hue >= 100) hue -= 100;
            hc = {hue, (static_cast<float>(c) + f.chroma) * 2};
            return true;
        }
        return false;
    }

    const RenotationTable& m_t;
    int m_v;
    std::vector<int> m_lines; // hue indices 0..39 with at least one chroma step
    int m_reach[40] = {};     // last chroma index of each hue line
    Chromaticity m_step[40];  // ring step beyond the last point
    float m_angle[40] = {};   // direction of the last point from the white point
};

template <class Find>
MunsellColour blend(float X, float& Y, float Z, const RenotationTable& table, bool pwd,
                    Find find) {
    MunsellColour m;
    m.value = ytov(Y, pwd);
    if (!(m.value < 10))
        throw RangeError("Munsell value 10 or more is outside the table");
    const int vi = static_cast<int>(std::floor(m.value));
    const float sum = X + Y + Z;
    if (sum == 0) throw ArithmeticError("CIE to Munsell: X + Y + Z is 0");
    const float x = X / sum, y = Y / sum;
    if (!std::isfinite(x) || !std::isfinite(y))
        throw ArithmeticError("CIE to Munsell: chromaticity out of range");

    HueChroma level[2];
    for (int i = 0; i < 2; ++i) {
        Cell cell = find(x, y, vi + i);
        if (!cell.found()) cell = nearCell(x, y, vi + i, table);
        if (cell.found()) {
            level[i] = cellfrac(x, y, vi + i, cell, table);
        } else {
            level[i] = Extrapolator(table, vi + i).estimate(x, y);
            m.extrapolated |= i == 0 ? kExtrapolatedLower : kExtrapolatedUpper;
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

} // namespace

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
    const int h = cell.h, c = cell.c;
    if (h < 0 || h + 1 >= RenotationTable::kHues || c < 0 || c + 1 >= RenotationTable::kChromas)
        throw RangeError("renotation cell is outside the table");
    const HueChroma f = fractions(x, y, corner(table, v, h, c), corner(table, v, h + 1, c),
                                  corner(table, v, h, c + 1), corner(table, v, h + 1, c + 1));
    return {(static_cast<float>(h) + f.hue) * 2.5f, (static_cast<float>(c) + f.chroma) * 2};
}

CellIndex::CellIndex(const RenotationTable& table) : m_table(table) {
    // Widening of every bounding box, in chromaticity units, so that rounding in the bucket
    // arithmetic can only add candidates, never lose one.
    constexpr float kMargin = 1e-5f;
    for (int v = 0; v < RenotationTable::kValues; ++v) {
        Level& level = m_levels[v];
        struct Box {
            Candidate q;
            float x0, y0, x1, y1;
        };
        std::vector<Box> boxes;
        for (int h = 0; h < 40; ++h) {
            Chromaticity a = kWhite, b = kWhite;
            for (int c = 0; c + 1 < RenotationTable::kChromas; ++c) {
                const Chromaticity d = corner(table, v, h, c + 1);
                const Chromaticity e = corner(table, v, h + 1, c + 1);
                if (empty(d) || empty(e)) break;
                Box box{{a, b, e, d, {static_cast<std::int16_t>(h), static_cast<std::int16_t>(c)}},
                        std::min({a.x, b.x, d.x, e.x}) - kMargin,
                        std::min({a.y, b.y, d.y, e.y}) - kMargin,
                        std::max({a.x, b.x, d.x, e.x}) + kMargin,
                        std::max({a.y, b.y, d.y, e.y}) + kMargin};
                boxes.push_back(box);
                a = d;
                b = e;
            }
        }
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
                for (int bx = bucketX(box.x0); bx <= bucketX(box.x1); ++bx) ++count[by * kGrid + bx];
        for (int i = 0; i < kGrid * kGrid; ++i) level.start[i + 1] = level.start[i] + count[i];
        level.candidates.resize(level.start.back());
        std::vector<std::uint32_t> fill(level.start.begin(), level.start.end() - 1);
        for (const Box& box : boxes)
            for (int by = bucketY(box.y0); by <= bucketY(box.y1); ++by)
                for (int bx = bucketX(box.x0); bx <= bucketX(box.x1); ++bx)
                    level.candidates[fill[by * kGrid + bx]++] = box.q;
    }
}

Cell CellIndex::find(float x, float y, int v) const {
    checkLevel(v);
    const Level& level = m_levels[v];
    // Outside every widened box (or not a number): no cell can hold the point.
    if (!(x >= level.x0 && x <= level.x1 && y >= level.y0 && y <= level.y1)) return {40, 0};
    const int bx = std::clamp(static_cast<int>((x - level.x0) * level.scaleX), 0, kGrid - 1);
    const int by = std::clamp(static_cast<int>((y - level.y0) * level.scaleY), 0, kGrid - 1);
    const int bucket = by * kGrid + bx;
    for (std::uint32_t i = level.start[bucket]; i < level.start[bucket + 1]; ++i) {
        const Candidate& q = level.candidates[i];
        if (inquad(x, y, q.a, q.b, q.e, q.d)) return q.cell;
    }
    return {40, 0};
}

MunsellColour xyzmun(float X, float& Y, float Z, const RenotationTable& table, bool pwd) {
    return blend(X, Y, Z, table, pwd,
                 [&](float x, float y, int v) { return findcell(x, y, v, table); });
}

MunsellColour xyzmun(float X, float& Y, float Z, const CellIndex& index, bool pwd) {
    return blend(X, Y, Z, index.table(), pwd,
                 [&](float x, float y, int v) { return index.find(x, y, v); });
}

} // namespace zul
