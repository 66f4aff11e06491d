#pragma once
// The loaded palette, one entry per record in file order, held column by column so that the
// projection and the dot drawing run over plain arrays.
#include "records/paletterecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zul {

struct PointTable {
    // As read from the record.
    std::vector<std::string> names;      // tag (third field)
    std::vector<std::string> hueTexts;   // hue field as written in the file
    std::vector<std::string> valueTexts; // value field
    std::vector<std::string> chromaTexts;
    std::vector<long> lines; // 1-based line number in the file
    // Numbers taken from the texts.
    std::vector<float> hueSteps; // 0..100 circle; a hue without a family letter counts as 0
    std::vector<float> angles;   // radians, counter-clockwise from red
    std::vector<float> values;
    std::vector<float> chromas;
    // Horizontal position at rotation 0 (chroma x cos, chroma x sin of the angle): the view only
    // turns these.
    std::vector<float> baseX, baseY;
    // Result of the Munsell entry chain.
    std::vector<std::uint32_t> colours; // 0xffRRGGBB as shown (black when out of the display gamut)
    std::vector<float> labL, labA, labB;
    std::vector<std::uint8_t> converted; // 0: the chain failed; no colour, drawn as a ring
    std::vector<RecordColour> own;       // the record's own fields

    std::size_t size() const { return names.size(); }
    bool empty() const { return names.empty(); }
    void clear() { *this = PointTable(); }
    void reserve(std::size_t n);
    // Appends all of `other`'s entries, at most up to `limit` entries in all.
    void append(const PointTable& other, std::size_t limit);
};

inline void PointTable::reserve(std::size_t n) {
    names.reserve(n);
    hueTexts.reserve(n);
    valueTexts.reserve(n);
    chromaTexts.reserve(n);
    lines.reserve(n);
    hueSteps.reserve(n);
    angles.reserve(n);
    values.reserve(n);
    chromas.reserve(n);
    baseX.reserve(n);
    baseY.reserve(n);
    colours.reserve(n);
    labL.reserve(n);
    labA.reserve(n);
    labB.reserve(n);
    converted.reserve(n);
    own.reserve(n);
}

inline void PointTable::append(const PointTable& o, std::size_t limit) {
    const std::size_t room = limit > size() ? limit - size() : 0;
    const auto n = static_cast<std::ptrdiff_t>(o.size() < room ? o.size() : room);
    auto add = [n](auto& to, const auto& from) {
        to.insert(to.end(), from.begin(), from.begin() + n);
    };
    add(names, o.names);
    add(hueTexts, o.hueTexts);
    add(valueTexts, o.valueTexts);
    add(chromaTexts, o.chromaTexts);
    add(lines, o.lines);
    add(hueSteps, o.hueSteps);
    add(angles, o.angles);
    add(values, o.values);
    add(chromas, o.chromas);
    add(baseX, o.baseX);
    add(baseY, o.baseY);
    add(colours, o.colours);
    add(labL, o.labL);
    add(labA, o.labA);
    add(labB, o.labB);
    add(converted, o.converted);
    add(own, o.own);
}

} // namespace zul
