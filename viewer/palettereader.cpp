#include "viewer/palettereader.h"

#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/csvline.h"

#include <array>
#include <cctype>
#include <cmath>

namespace zul {

namespace {

std::string_view trimmedBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool readNumber(const char* name, const std::string& text, float& out, std::string& reason) {
    try {
        const double v = parseStrictNamed(name, text);
        out = static_cast<float>(v);
        // A double beyond the single-precision range would turn into infinity.
        if (!std::isfinite(out)) {
            reason = std::string(name) + ": \"" + text + "\" is out of range";
            return false;
        }
        return true;
    } catch (const Error& e) {
        reason = e.what();
        return false;
    }
}

} // namespace

std::string readPaletteRecord(std::string_view line, std::vector<std::string>& scratch,
                              PaletteFields& out) {
    if (line.size() > kMaxPaletteLine)
        return "the line is longer than " + std::to_string(kMaxPaletteLine / 1024) + " KiB";
    splitCsvLine(line, scratch);
    if (scratch.size() < 6)
        return std::to_string(scratch.size()) + (scratch.size() == 1 ? " field" : " fields") +
               ", a record needs date, time, tag, hue, value and chroma";
    out.name = scratch[2];
    out.hue = scratch[3];
    out.value = scratch[4];
    out.chroma = scratch[5];
    std::string reason;
    if (!readNumber("value", out.value, out.valueNumber, reason)) return reason;
    if (!readNumber("chroma", out.chroma, out.chromaNumber, reason)) return reason;
    return {};
}

bool isPaletteHeader(const std::vector<std::string>& fields) {
    return fields.size() >= 6 && !isNumber(fields[4]) && !isNumber(fields[5]);
}

std::string lowerHueText(std::string_view hue) {
    std::string s(hue);
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

float paletteHueStep(std::string_view hue) {
    struct Ending {
        std::string_view letters;
        float offset;
    };
    // Two-letter endings first: "yr" must not be taken for "r".
    static constexpr std::array<Ending, 10> kEndings = {{{"yr", 10},
                                                         {"gy", 30},
                                                         {"bg", 50},
                                                         {"pb", 70},
                                                         {"rp", 90},
                                                         {"r", 0},
                                                         {"y", 20},
                                                         {"g", 40},
                                                         {"b", 60},
                                                         {"p", 80}}};
    const std::string lower = lowerHueText(trimmedBlanks(hue));
    const std::string_view text = lower;
    for (const Ending& e : kEndings) {
        if (text.size() < e.letters.size() ||
            text.substr(text.size() - e.letters.size()) != e.letters)
            continue;
        const auto number = text.substr(0, text.size() - e.letters.size());
        // A number beyond the range of a float ("1e400R") places the point nowhere on the
        // circle: it goes where a hue without a number goes.
        try {
            const auto step = static_cast<float>(parseLenient(number)) + e.offset;
            return std::isfinite(paletteHueAngle(step)) ? step : 0;
        } catch (const Error&) {
            return 0;
        }
    }
    return 0;
}

float paletteHueAngle(float step) {
    const auto degrees = static_cast<float>(static_cast<double>(step) * 3.6);
    return static_cast<float>(static_cast<double>(degrees) * 0.0174532925);
}

} // namespace zul
