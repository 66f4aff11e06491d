#include "batch/maketable.h"

#include "batch/jobs.h"
#include "colorimetry/lab.h"
#include "colorimetry/rgb.h"
#include "munsell/forward.h"
#include "munsell/hue.h"
#include "text/numtext.h"

namespace zul::batch {

namespace {

// A number in line writing: sign or blank, the shortest text, a blank.
void appendLineNumber(std::string& out, float v) {
    out += signedText(v);
    out += ' ';
}

std::string observerNote(const Workbench::Options& o) {
    static const char* const names[] = {"Illuminant C 2 degree observer",
                                        "Illuminant D50 2 degree observer",
                                        "Illuminant D65 10 degree observer"};
    std::string note = names[o.illuminant >= 0 && o.illuminant <= 2 ? o.illuminant : 0];
    if (o.pwd == 1) note += " PWD";
    return note;
}

} // namespace

std::vector<float> tableValues() {
    std::vector<float> v;
    for (int i = 1; i <= 8; ++i)
        v.push_back(static_cast<float>(i));
    for (float f : {8.25f, 8.5f, 8.75f, 9.0f})
        v.push_back(f);
    return v;
}

std::vector<float> tableHueAngles() {
    std::vector<float> h;
    for (int i = 0; i < 40; ++i)
        h.push_back(2.5f * static_cast<float>(i));
    return h;
}

std::vector<float> tableChromas() {
    std::vector<float> c;
    for (int i = 0; i <= 8; ++i)
        c.push_back(static_cast<float>(i));
    for (int i = 10; i <= 30; i += 2)
        c.push_back(static_cast<float>(i));
    return c;
}

std::string makeTable(const RenotationTable& table, const Workbench::Options& o) {
    std::string out;
    out.reserve(1 << 20);
    out += "\u00a9";
    out += kWindowCaption;
    out += " 2026  Free to copy, print and share for colour reference; not for sale\r\n";
    out += "If R G B value is 0 or 255 the color is out of the gamut of a CRT and is for "
           "approximation only  ";
    out += observerNote(o);
    out += "  Computed by the ZUL developers from the renotation data, December 2026\r\n";
    out += "Angle\tHue\tValue\tChroma\tX\tY\tZ\tL*\ta*\tb*\tR\tG\tB\r\n";

    const Conditions conditions{o.illuminant, o.pwd == 1};
    RgbSettings rgb;
    rgb.gains = o.gains;
    rgb.displayExponents = o.displayExponents;
    rgb.cmykExponents = o.cmykExponents;
    const std::vector<float> hues = tableHueAngles();
    const std::vector<float> chromas = tableChromas();
    for (float value : tableValues()) {
        for (float h : hues) {
            for (float c : chromas) {
                float v = value;
                const CieColour cie = mun2xyz(h + 0.001f, v, c, table, conditions);
                Xyz xyz{cie.X, cie.Y, cie.Z};
                const Lab lab = xyzlab(xyz, o.illuminant);
                if (!(xyz.x > kXyzlabFloor && xyz.y > kXyzlabFloor && xyz.z > kXyzlabFloor))
                    continue;
                appendLineNumber(out, h);
                out += '\t';
                out += hconvert(h);
                out += '\t';
                appendLineNumber(out, value);
                out += '\t';
                appendLineNumber(out, c);
                for (float f : {xyz.x, xyz.y, xyz.z, lab.l, lab.a, lab.b}) {
                    out += '\t';
                    out += formatPicture(f, "###.00");
                }
                const DisplayRgb shown = xyzrgb(xyz, o.illuminant, rgb).shown(true);
                for (int ch : shown) {
                    out += '\t';
                    out += formatPicture(ch, "##0");
                }
                out += "\r\n";
            }
        }
    }
    return out;
}

} // namespace zul::batch
