#include "charts/chip.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "text/numtext.h"
#include "workbench/workbench.h"

#include <cmath>

namespace zul {

void computeChip(ChartChip& chip, float hue, float value, float chroma,
                 const RenotationTable& table, const ChartSettings& settings) {
    chip.hue = hue;
    chip.value = value;
    chip.chroma = chroma;
    const CieColour cie = mun2xyz(hue, value, chroma, table, settings.conditions);
    chip.xyz = {cie.X, cie.Y, cie.Z};
    chip.x = cie.x;
    chip.y = cie.y;
    chip.inReach = cie.inReach;
    if (!cie.inReach) return;
    const RgbConversion conv = xyzrgb(chip.xyz, settings.conditions.illuminant, settings.rgb);
    chip.rgb = conv.clipped;
    chip.outOfRange = conv.outOfRange;
}

void enterChip(Workbench& wb, const ChartChip& chip) {
    wb.setText(Field::Hue, QString::fromStdString(hconvert(chip.hue)));
    wb.setText(Field::Value, QString::fromStdString(plainText(chip.value)));
    wb.setText(Field::Chroma, QString::fromStdString(plainText(chip.chroma)));
    wb.muncie();
}

Lab chipLab(const ChartChip& chip, int illuminant) {
    Xyz xyz = chip.xyz;
    return xyzlab(xyz, illuminant);
}

int nextChip(std::span<const ChartChip> chips, int from, int dx, int dy) {
    if (from < 0 || static_cast<std::size_t>(from) >= chips.size()) {
        for (std::size_t i = 0; i < chips.size(); ++i)
            if (chips[i].painted) return static_cast<int>(i);
        return -1;
    }
    const ChartChip& at = chips[static_cast<std::size_t>(from)];
    double best = 0;
    int chosen = from;
    for (std::size_t i = 0; i < chips.size(); ++i) {
        const ChartChip& c = chips[i];
        if (!c.painted) continue;
        const double along = (c.cx - at.cx) * dx + (c.cy - at.cy) * dy;
        if (along <= 1) continue;
        const double across = std::fabs((c.cx - at.cx) * dy - (c.cy - at.cy) * dx);
        const double cost = along + 2 * across;
        if (chosen == from || cost < best) {
            best = cost;
            chosen = static_cast<int>(i);
        }
    }
    return chosen;
}

} // namespace zul
