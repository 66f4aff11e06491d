#pragma once
// The two identification rows of the viewer and how their colours differ.
#include "viewer/pointtable.h"

#include <string>

namespace zul {

// A copy of one palette entry: the rows keep it when another palette is loaded.
struct ColourSample {
    std::string name;
    std::string hueText; // lower case, as listed
    float hueStep = 0, value = 0, chroma = 0;
    bool converted = false; // the entry has a display colour and CIELAB values
    std::uint32_t colour = 0;
    float l = 0, a = 0, b = 0;
};

ColourSample sampleOf(const PointTable& t, std::size_t i);

struct Comparison {
    bool colorimetric = false; // both samples converted: the CIELAB differences are valid
    double deltaEab = 0, deltaE2000 = 0;
    double deltaHue = 0; // hue steps from the first to the second, on the short arc
    double deltaValue = 0, deltaChroma = 0; // second minus first
};

Comparison compareSamples(const ColourSample& first, const ColourSample& second);

// "dE*ab 3.21  dE2000 2.10  dH 2.50  dV -1.00  dC .50" with Greek deltas.
std::string comparisonText(const Comparison& c);

} // namespace zul
