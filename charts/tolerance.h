#pragma once
// The tolerance set: a CIELAB colour and its six neighbours one tolerance step away in L*, a*
// and b*, each with its Munsell notation, display colour and CIEDE2000 difference from the
// centre.
#include "charts/chip.h"

#include <array>
#include <string>

namespace zul {

struct ToleranceGeometry {
    static constexpr double kWidth = 9600, kHeight = 6000; // design canvas, twips
};

struct ToleranceSwatch {
    Lab lab;
    Xyz xyz;         // the swatch under the chosen illuminant, as its display colour is computed
    bool ok = false; // false: drawn empty, left out of Cpalette.csv
    std::string hue, value, chroma; // notation row
    float valueNumber = 0, chromaNumber = 0;
    DisplayRgb rgb{}; // colour row
    bool outOfRange = false;
    double deltaE00 = 0; // from the centre
    std::string direction, step;
    double cx = 0, cy = 0, half = 0; // on the design canvas
};

struct ToleranceSet {
    Lab centre;
    std::array<float, 3> tolerance{5, 5, 5}; // L*, a*, b*
    std::array<ToleranceSwatch, 7> swatches; // 0 the centre, then the table's order
};

// "Lighter", "Darker", "Redder", "Greener", "Yellower", "Bluer" for swatches 1..6.
const std::array<const char*, 6>& directionCaptions();
// The six step captions ("L + 5", "L - 5", "A + 5", "A -  5", "B + 5", "B -  5").
std::array<std::string, 6> stepCaptions(const std::array<float, 3>& tolerance);

// Builds the set around `centre`. The CIELAB of each swatch goes through labxyz (its fixed
// white), the CIE-to-Munsell search and the quiet RGB conversion; a swatch where any step fails
// is marked not ok.
ToleranceSet MakeCTol(const Lab& centre, const std::array<float, 3>& tolerance,
                      const RenotationTable& table, const ChartSettings& settings);

// The bytes of Cpalette.csv for the set: swatches 6 down to 0, each line
// date,time,tag,hue,value,chroma, X, Y, Z and L*, a*, b* where the palette record holds them (as
// the main window shows them: "##0.00", "###.00"), three ",0" for the linear r, g, b, the
// line-written R, G, B and ",end" CR LF. Swatches that are not ok are left out.
std::string cpaletteText(const ToleranceSet& set, const std::string& date, const std::string& time);

} // namespace zul
