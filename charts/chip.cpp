#include "charts/chip.h"

#include "munsell/forward.h"

namespace zul {

void computeChip(ChartChip& chip, float hue, float value, float chroma,
                 const RenotationTable& table, const ChartSettings& settings) {
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

Lab chipLab(const ChartChip& chip, int illuminant) {
    Xyz xyz = chip.xyz;
    return xyzlab(xyz, illuminant);
}

} // namespace zul
