#include "charts/huepage.h"

#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <cmath>

namespace zul {

namespace {

constexpr DisplayRgb kOutOfReachGrey{192, 192, 192};

std::string notationOf(float hue, int value, int chroma) {
    return hconvert(hue) + " " + std::to_string(value) + "/" + std::to_string(chroma);
}

} // namespace

std::string chromaCaption(int column) {
    return column == 0 ? std::string("N") : std::to_string(2 * column);
}

std::string valueCaption(int row) {
    return std::to_string(9 - row);
}

const ChartChip* HuePage::chipAt(double x, double y) const {
    using G = HuePageGeometry;
    const double col = std::floor((x - G::kLeft) / G::kPitch);
    const double row = std::floor((y - G::kTop) / G::kPitch);
    if (col < 0 || col >= G::kColumns || row < 0 || row >= G::kRows) return nullptr;
    const ChartChip& chip = chips[static_cast<std::size_t>(col * 10 + row)];
    if (!chip.painted) return nullptr;
    if (std::abs(x - chip.cx) > chip.half || std::abs(y - chip.cy) > chip.half) return nullptr;
    return &chip;
}

int HuePage::inReachCount() const {
    int n = 0;
    for (const ChartChip& c : chips)
        if (c.painted && c.inReach && c.element != 9) ++n;
    return n;
}

std::optional<HuePage> fillbook(const std::string& hueText, const RenotationTable& table,
                                const ChartSettings& settings) {
    using G = HuePageGeometry;
    std::string text = hueText;
    bool formatError = false;
    float hue = converth(text, &formatError);
    if (formatError || !std::isfinite(hue) || hue < 0 || hue > 100) return std::nullopt;
    if (hue >= 100) hue -= 100;

    HuePage page;
    page.hueNumber = hue;
    page.scroll = static_cast<int>(roundHalfEven(hue));
    page.hueCaption = hueText;
    for (int n = 0; n < G::kElements; ++n) {
        ChartChip& chip = page.chips[static_cast<std::size_t>(n)];
        chip.element = n;
        chip.half = G::kChip / 2;
        chip.cx = G::kLeft + G::kPitch * (n / 10) + G::kChip / 2;
        chip.cy = G::kTop + G::kPitch * (n % 10) + G::kChip / 2;
    }
    ChartChip& black = page.chips[9];
    black.painted = true;
    black.inReach = true;
    black.notation = "N 0/0";
    black.rgb = {0, 0, 0};

    for (int c = 0; c <= 28; c += 2) {
        for (int v = 1; v <= 9; ++v) {
            ChartChip& chip = page.chips[static_cast<std::size_t>(5 * c + 9 - v)];
            chip.painted = true;
            chip.notation = notationOf(hue, v, c);
            try {
                computeChip(chip, hue, static_cast<float>(v), static_cast<float>(c), table,
                            settings);
            } catch (const Error&) {
                chip.inReach = false;
            }
            // Chips beyond the data (or too dark to mean anything) show the grey of the page.
            if (!chip.inReach || chip.xyz.x < 0.02f || chip.xyz.y < 0.02f) {
                chip.inReach = false;
                chip.outOfRange = false;
                chip.rgb = kOutOfReachGrey;
            }
        }
    }
    return page;
}

} // namespace zul
