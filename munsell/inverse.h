#pragma once
// CIE X, Y, Z (illuminant C) to Munsell notation. At each of the two value levels that bracket
// the value, the renotation cell holding the chromaticity is found, the point's fractions across
// it are found by bisection, and the two levels are blended by the value fraction.
//
// A cell at value level v is (h, c): hue index h (hue number 2.5h), chroma index c (chroma 2c).
// Its corners, x, y from the table / 10000: A = (h, c), B = (h + 1, c) on the inner ring,
// D = (h, c + 1), E = (h + 1, c + 1) on the outer ring; at c = 0, A = B = the white point.
#include "munsell/table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace zul {

struct Chromaticity {
    float x = 0, y = 0;
};

struct Cell {
    std::int16_t h = 0, c = 0;
    // findcell's "no containing cell" answer.
    bool found() const { return !(h == 40 && c == 0); }
};

// Inside or on the boundary of the quadrilateral p1 p2 p3 p4, whose corners run clockwise (the
// order A, B, E, D): no edge cross product is positive.
bool inquad(float px, float py, Chromaticity p1, Chromaticity p2, Chromaticity p3, Chromaticity p4);

// First cell at value level v (0..10) containing (x, y), visiting hues 0..39 and, within a hue,
// chroma rings from the centre outward; a point on a shared edge goes to the cell visited
// first. Cell{40, 0} when none does. Throws RangeError for a level outside 0..10.
Cell findcell(float x, float y, int v, const RenotationTable& table);

struct HueChroma {
    float hue = 0;    // (h + t) * 2.5, t the fraction across the cell from the lower-hue side
    float chroma = 0; // (c + s) * 2, s the fraction across the cell from the inner ring
};

// Position of (x, y) inside cell (h, c) at level v by two independent bisections of up to 50
// passes (a pass that changes nothing ends them: every later pass would repeat it).
// Throws RangeError for a cell outside the table (v 0..10, h 0..40, c 0..29).
HueChroma cellfrac(float x, float y, int v, Cell cell, const RenotationTable& table);

// Bits of MunsellColour::extrapolated: which level's hue and chroma were estimated beyond the
// table's reach.
enum ExtrapolatedLevel : unsigned { kExtrapolatedLower = 1u, kExtrapolatedUpper = 2u };

struct MunsellColour {
    float hue = 0;    // 0 <= hue < 100
    float value = 0;  // from Y, unclamped
    float chroma = 0; // >= 0
    // 0 when both levels held the chromaticity in a table cell. Otherwise the hue and chroma of
    // the marked level(s) were continued outwards from the outermost cells of the hue sector in
    // the colour's direction from the white point.
    unsigned extrapolated = 0;
    bool isExtrapolated() const { return extrapolated != 0; }
};

class CellIndex;

// Munsell colour of X, Y, Z under illuminant C (Y on the 0..100 scale). A negative Y is set to 0
// in the caller's variable first; `pwd` moves the luminance reference (0.975). A chromaticity
// that rounding lets slip between two cells at a level goes to the first cell, in findcell's
// order, that holds it up to rounding; only one that no cell holds is estimated beyond the table.
// Throws RangeError for a value of 10 or more (no level above 10) before any search, or for a
// colour too far outside the solid to extrapolate; ArithmeticError when X + Y + Z is 0 or a
// result is not finite.
MunsellColour xyzmun(float X, float& Y, float Z, const RenotationTable& table, bool pwd);
// The same with the indexed search; identical answers, faster.
MunsellColour xyzmun(float X, float& Y, float Z, const CellIndex& index, bool pwd);

// Same answers as findcell, from a per-level grid of candidate cells, and what xyzmun needs
// beyond the table's reach, prepared once. Keeps a reference to the table, which must outlive
// it and not change.
class CellIndex {
public:
    explicit CellIndex(const RenotationTable& table);
    Cell find(float x, float y, int v) const;
    const RenotationTable& table() const { return m_table; }

private:
    friend MunsellColour xyzmun(float X, float& Y, float Z, const CellIndex& index, bool pwd);
    // First cell in visiting order holding the point up to rounding.
    Cell findNear(float x, float y, int v) const;
    template <class Test> Cell firstInBucket(float x, float y, int v, Test test) const;

    struct Candidate {
        Chromaticity a, b, e, d; // corners in inquad's order, as findcell forms them
        Cell cell;
    };
    struct Level {
        float x0 = 0, y0 = 0, x1 = -1, y1 = -1; // bounds of all cells, widened
        float scaleX = 0, scaleY = 0;           // buckets per unit
        std::vector<std::uint32_t> start;       // bucket b holds candidates[start[b]..start[b + 1])
        std::vector<Candidate> candidates;      // per bucket in findcell's visiting order
    };
    struct Outskirts;                // the hue lines' continuation beyond the table, per level
    static constexpr int kGrid = 48; // buckets per side
    const RenotationTable& m_table;
    std::array<Level, RenotationTable::kValues> m_levels;
    std::array<std::shared_ptr<const Outskirts>, RenotationTable::kValues> m_outskirts;
};

// The index of `table`, made on first use and shared by every caller with the same table until
// the last of them lets go; thread-safe. The index keeps the table alive.
std::shared_ptr<const CellIndex> sharedCellIndex(std::shared_ptr<const RenotationTable> table);

} // namespace zul
