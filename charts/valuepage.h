#pragma once
// The value page: for one Munsell value, a polar chart of every hue (a spoke each 2.5 hue
// steps, counter-clockwise from the right) and every even chroma (a dot on the spoke at radius
// chroma + 10), with the hue notation at the spoke's outer end.
#include "charts/chip.h"

#include <string>
#include <vector>

namespace zul {

struct ValuePageGeometry {
    static constexpr double kWidth = 12000, kHeight = 11400; // design canvas, twips
    static constexpr int kHues = 40;
    static constexpr int kMaxChroma = 40;
};

struct SpokeLabel {
    std::string text; // hue notation, anchored top-left at (x, y)
    double x = 0, y = 0;
};

struct ValuePage {
    float value = 0;
    int scroll = 100;  // value scroll bar position, clamped to 100..950
    std::string title; // "Value   5."
    double cx = 0, cy = 0, radius = 0;
    std::vector<ChartChip> dots; // in drawing order
    std::vector<SpokeLabel> labels;

    // The topmost dot under a design-canvas point, or nullptr.
    const ChartChip* chipAt(double x, double y) const;
};

// Offsets of a dot from the centre in design units (y grows downwards) for hue number `hue`
// and radius `r`, computed by quadrant as the page draws them.
void spokeOffset(float hue, float r, double& px, double& py);

// The title caption: "Value" and the value in the picture "   #.##".
std::string valueTitle(float value);

// The page for `value`; a value above 9.5 is clamped in the caller's variable, as the forward
// conversion does. A dot that cannot be converted ends its spoke.
ValuePage plotvalue(float& value, const RenotationTable& table, const ChartSettings& settings);

} // namespace zul
