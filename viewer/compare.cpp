#include "viewer/compare.h"

#include "colorimetry/deltae.h"
#include "colorimetry/difference.h"
#include "records/paletterecord.h"
#include "text/numtext.h"

namespace zul {

ColourSample sampleOf(const PointTable& t, std::size_t i) {
    ColourSample s;
    s.name = t.names[i];
    s.hueText = lowerHueText(t.hueTexts[i]);
    s.hueStep = t.hueSteps[i];
    s.value = t.values[i];
    s.chroma = t.chromas[i];
    s.converted = t.converted[i] != 0;
    s.colour = t.colours[i];
    s.l = t.labL[i];
    s.a = t.labA[i];
    s.b = t.labB[i];
    // The record's own colour: its notation was rounded, and clamped at the table's top.
    if (i < t.own.size()) {
        const RecordColour& own = t.own[i];
        if (own.hasRgb) s.colour = own.rgb;
        if (own.hasLab && (s.converted || own.hasRgb)) {
            s.l = own.l;
            s.a = own.a;
            s.b = own.b;
            s.converted = true;
        }
    }
    return s;
}

Comparison compareSamples(const ColourSample& first, const ColourSample& second) {
    Comparison c;
    c.colorimetric = first.converted && second.converted;
    if (c.colorimetric) {
        const LabD x{first.l, first.a, first.b};
        const LabD y{second.l, second.a, second.b};
        c.deltaEab = deltaE76(x, y);
        c.deltaE2000 = deltaE2000(x, y);
    }
    const MunsellParts m = munsellParts(first.hueStep, first.value, first.chroma, second.hueStep,
                                        second.value, second.chroma);
    c.deltaHue = m.dHue;
    c.deltaValue = m.dValue;
    c.deltaChroma = m.dChroma;
    return c;
}

std::string comparisonText(const Comparison& c) {
    auto num = [](double v) { return formatPicture(v, "##0.00"); };
    std::string text;
    if (c.colorimetric)
        text = "\u0394E*ab " + num(c.deltaEab) + "   \u0394E2000 " + num(c.deltaE2000) + "   ";
    else
        text = "\u0394E: no colour for an entry   ";
    text += "\u0394H " + num(c.deltaHue) + "   \u0394V " + num(c.deltaValue) + "   \u0394C " +
            num(c.deltaChroma);
    return text;
}

} // namespace zul
