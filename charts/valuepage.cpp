#include "charts/valuepage.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zul {

void spokeOffset(float hue, float r, double& px, double& py) {
    float ox = 0, oy = 0;
    if (hue == 0) {
        ox = r;
    } else if (hue == 50) {
        ox = -r;
    } else {
        const float theta = hue / 15.915494f; // 100 hue steps make a full turn
        const float t = std::tan(theta);
        const float ay = std::sqrt(r * r / (1 / (t * t) + 1));
        const float ax = std::sqrt(std::max(0.0f, r * r - ay * ay));
        ox = (hue < 25 || hue >= 75) ? ax : -ax;
        oy = hue < 50 ? ay : -ay;
    }
    px = static_cast<double>(ox) * 100;
    py = static_cast<double>(oy) * -100;
}

std::string valueTitle(float value) {
    return "Value" + formatPicture(value, "   #.##");
}

const ChartChip* ValuePage::chipAt(double x, double y) const {
    for (auto it = dots.rbegin(); it != dots.rend(); ++it)
        if (std::hypot(x - it->cx, y - it->cy) <= it->half) return &*it;
    return nullptr;
}

ValuePage plotvalue(float& value, const RenotationTable& table, const ChartSettings& settings) {
    using G = ValuePageGeometry;
    if (value > kMaxForwardValue) value = kMaxForwardValue;
    ValuePage page;
    page.value = value;
    page.title = valueTitle(value);
    const double pos = roundHalfEven(static_cast<double>(value) * 100);
    page.scroll = static_cast<int>(std::clamp(std::isfinite(pos) ? pos : 100.0, 100.0, 950.0));
    page.cx = static_cast<std::int16_t>(roundHalfEven(G::kWidth / 2));
    page.cy = static_cast<std::int16_t>(roundHalfEven(G::kHeight / 2));
    page.radius = page.cx / 40;
    page.dots.reserve(G::kHues * 21);

    for (int k = 0; k < G::kHues; ++k) {
        const float hue = 2.5f * static_cast<float>(k);
        for (int c = 0; c <= G::kMaxChroma; c += 2) {
            ChartChip chip;
            chip.element = k * 100 + c;
            const float r = static_cast<float>(c + 10);
            double px = 0, py = 0;
            spokeOffset(hue, r, px, py);
            chip.cx = page.cx + px;
            chip.cy = page.cy + py;
            chip.half = page.radius;
            float v = value;
            try {
                computeChip(chip, hue, v, static_cast<float>(c), table, settings);
            } catch (const Error&) {
                chip.inReach = false;
            }
            if (!chip.inReach) {
                page.labels.push_back({hconvert(hue), chip.cx, chip.cy});
                break;
            }
            chip.painted = true;
            chip.notation = hconvert(hue) + " " + plainText(value) + "/" + std::to_string(c);
            page.dots.push_back(std::move(chip));
        }
    }
    return page;
}

} // namespace zul
