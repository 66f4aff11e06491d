#include "charts/tolerance.h"

#include "colorimetry/deltae.h"
#include "munsell/hue.h"
#include "munsell/inverse.h"
#include "text/errors.h"
#include "text/numtext.h"

namespace zul {

const std::array<const char*, 6>& directionCaptions() {
    static const std::array<const char*, 6> captions = {"Lighter", "Darker",   "Redder",
                                                        "Greener", "Yellower", "Bluer"};
    return captions;
}

std::array<std::string, 6> stepCaptions(const std::array<float, 3>& t) {
    return {"L +" + signedText(t[0]),  "L -" + signedText(t[0]), "A +" + signedText(t[1]),
            "A - " + signedText(t[1]), "B +" + signedText(t[2]), "B - " + signedText(t[2])};
}

ToleranceSet MakeCTol(const Lab& centre, const std::array<float, 3>& tolerance,
                      const RenotationTable& table, const ChartSettings& settings) {
    ToleranceSet set;
    set.centre = centre;
    set.tolerance = tolerance;
    const float tl = tolerance[0], ta = tolerance[1], tb = tolerance[2];
    const std::array<Lab, 7> labs = {{{centre.l, centre.a, centre.b},
                                      {centre.l + tl, centre.a, centre.b},
                                      {centre.l - tl, centre.a, centre.b},
                                      {centre.l, centre.a + ta, centre.b},
                                      {centre.l, centre.a - ta, centre.b},
                                      {centre.l, centre.a, centre.b + tb},
                                      {centre.l, centre.a, centre.b - tb}}};
    const std::array<std::string, 6> steps = stepCaptions(tolerance);
    // Centre large on the left, the three pairs in columns to its right, + above and - below.
    constexpr double kBig = 2400, kSmall = 1500;
    for (int k = 0; k < 7; ++k) {
        ToleranceSwatch& s = set.swatches[static_cast<std::size_t>(k)];
        s.lab = labs[static_cast<std::size_t>(k)];
        if (k == 0) {
            s.direction = "Standard";
            s.cx = 240 + kBig / 2;
            s.cy = 1500 + kBig / 2;
            s.half = kBig / 2;
        } else {
            s.direction = directionCaptions()[static_cast<std::size_t>(k - 1)];
            s.step = steps[static_cast<std::size_t>(k - 1)];
            const int pair = (k - 1) / 2;
            s.cx = 3240 + pair * 2100 + kSmall / 2;
            s.cy = ((k - 1) % 2 == 0 ? 240 : 3240) + kSmall / 2;
            s.half = kSmall / 2;
        }
        s.deltaE00 = deltaE2000({centre.l, centre.a, centre.b}, {s.lab.l, s.lab.a, s.lab.b});
        try {
            const int illuminant = settings.conditions.illuminant;
            const bool adapt = settings.adapt && (illuminant == 1 || illuminant == 2);
            // Adapting, the swatch is the main window's CIELAB entry: the exact inverse under
            // the selected illuminant, adapted to C for the search only.
            const Xyz xyz = adapt ? labToXyz(s.lab, illuminant) : labxyz(s.lab);
            Xyz c = xyz;
            if (adapt) {
                float xs = 0, ys = 0;
                xyzconvert("B", illuminant, c, xs, ys);
            }
            const MunsellColour m = xyzmun(c.x, c.y, c.z, table, settings.conditions.pwd);
            s.hue = hconvert(m.hue);
            s.value = plainText(m.value);
            s.chroma = plainText(m.chroma);
            s.valueNumber = m.value;
            s.chromaNumber = m.chroma;
            s.xyz = xyz;
            const RgbConversion conv = xyzrgb(xyz, settings.conditions.illuminant, settings.rgb);
            s.rgb = conv.clipped;
            s.outOfRange = conv.outOfRange;
            s.ok = true;
        } catch (const Error&) {
            s.ok = false;
        }
    }
    return set;
}

std::string cpaletteText(const ToleranceSet& set, const std::string& date,
                         const std::string& time) {
    std::string out;
    for (int k = 6; k >= 0; --k) {
        const ToleranceSwatch& s = set.swatches[static_cast<std::size_t>(k)];
        if (!s.ok) continue;
        const std::string items[] = {date, time, std::to_string(k), s.hue, s.value, s.chroma};
        for (std::size_t i = 0; i < 6; ++i) {
            if (i) out += ',';
            out += items[i];
        }
        // The swatch's own X, Y, Z and L*, a*, b*: a reader comparing records by them would
        // otherwise find every swatch at 0, 0, 0.
        for (float v : {s.xyz.x, s.xyz.y, s.xyz.z}) {
            out += ',';
            out += formatPicture(v, "##0.00");
        }
        for (float v : {s.lab.l, s.lab.a, s.lab.b}) {
            out += ',';
            out += formatPicture(v, "###.00");
        }
        out += ",0,0,0";
        for (std::int16_t c : s.rgb) { // line writing: a blank for the sign and one after
            out += ',';
            out += signedText(static_cast<float>(c));
            out += ' ';
        }
        out += ",end\r\n";
    }
    return out;
}

} // namespace zul
