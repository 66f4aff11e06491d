#include "charts/chip.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "text/numtext.h"
#include "workbench/workbench.h"

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

} // namespace zul
