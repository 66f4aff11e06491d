#pragma once
// The hue page: the chips of one Munsell hue, value by row and chroma by column, as a page of
// a Munsell book. Element n of the 150 slots stands in column n / 10 and row n % 10; column j
// is chroma 2j, row r (0..8) value 9 - r; element 9 is the black chip.
#include "charts/chip.h"

#include <array>
#include <optional>
#include <string>

namespace zul {

struct HuePageGeometry {
    // Twips: chips 615 square at a pitch of 720, column 0 at 1320 from the left, row 0 at 120
    // from the top.
    static constexpr double kChip = 615, kPitch = 720, kLeft = 1320, kTop = 120;
    static constexpr double kWidth = 12300, kHeight = 8100; // design canvas
    static constexpr int kColumns = 15, kRows = 10, kElements = 150;
    static constexpr int kHueCaption = 23; // element of the caption array carrying the hue
};

struct HuePage {
    float hueNumber = 0;    // 0 <= hue < 100
    int scroll = 0;         // hue scroll bar position (hue rounded, ties to even)
    std::string hueCaption; // the hue text as entered
    std::array<ChartChip, HuePageGeometry::kElements> chips;

    // The painted chip under a design-canvas point, or nullptr.
    const ChartChip* chipAt(double x, double y) const;
    int inReachCount() const;
};

// Captions under the chroma columns ("N", "2", ..., "28") and beside the value rows ("9", ...,
// "0").
std::string chromaCaption(int column);
std::string valueCaption(int row);

// The page for a hue text as typed in the main window's hue field ("5R", "10RP" = page 0).
// nullopt for a text that is not a hue notation or a hue outside 0..100: the caller keeps the
// page it shows.
std::optional<HuePage> fillbook(const std::string& hueText, const RenotationTable& table,
                                const ChartSettings& settings);

} // namespace zul
