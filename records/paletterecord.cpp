#include "records/paletterecord.h"

#include "records/csvline.h"
#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <array>
#include <cctype>
#include <cmath>

namespace zul {

namespace {

bool readNumber(const char* name, std::string_view text, float& out, std::string& reason) {
    try {
        const double v = parseStrictNamed(name, text);
        out = static_cast<float>(v);
        // A double beyond the single-precision range would turn into infinity.
        if (!std::isfinite(out)) {
            reason = std::string(name) + ": \"" + std::string(text) + "\" is out of range";
            return false;
        }
        return true;
    } catch (const Error& e) {
        reason = e.what();
        return false;
    }
}

// Fields 10..12 (L*, a*, b*) and 16..18 (R, G, B) of a palette record, where all three of a
// kind are numbers (R, G, B whole numbers 0 to 255).
RecordColour ownColour(const RecordFields& f) {
    RecordColour own;
    auto numbers = [&f](std::size_t first, float(&out)[3]) {
        if (f.count < first + 3) return false;
        for (std::size_t i = 0; i < 3; ++i) {
            try {
                out[i] = static_cast<float>(parseStrict(f.text[first + i]));
            } catch (const Error&) {
                return false;
            }
            if (!std::isfinite(out[i])) return false;
        }
        return true;
    };
    float lab[3], rgb[3];
    if (numbers(9, lab)) {
        own.hasLab = true;
        own.l = lab[0];
        own.a = lab[1];
        own.b = lab[2];
    }
    if (numbers(15, rgb)) {
        own.hasRgb = true;
        for (float v : rgb) {
            if (!(v >= 0 && v <= 255 && v == std::floor(v))) own.hasRgb = false;
            own.rgb = own.rgb << 8 | static_cast<std::uint32_t>(own.hasRgb ? v : 0);
        }
        own.rgb |= 0xff000000u;
        if (!own.hasRgb) own.rgb = 0;
    }
    return own;
}

// X, Y, Z and L*, a*, b* (fields 7..12) all zero: the tolerance set wrote its records so, with no
// colour of their own in them.
bool zeroColorimetry(const RecordFields& f, const RecordColour& own) {
    if (!own.hasLab || own.l != 0 || own.a != 0 || own.b != 0) return false;
    for (std::size_t i = 6; i < 9; ++i) {
        try {
            if (parseStrict(f.text[i]) != 0) return false;
        } catch (const Error&) {
            return false;
        }
    }
    return true;
}

} // namespace

void splitRecordFields(std::string_view line, RecordFields& out,
                       std::vector<std::string>& unquoted) {
    if (unquoted.size() < kRecordFields) unquoted.resize(kRecordFields);
    // Counted in locals: a store through a field's view might change out.count for all the
    // compiler knows.
    std::size_t count = 0, pos = 0;
    std::string_view field;
    while (count < kRecordFields && nextCsvField(line, pos, field, unquoted[count]))
        out.text[count++] = field;
    out.count = count;
}

std::string readPaletteRecord(std::string_view line, std::vector<std::string>& scratch,
                              PaletteFields& out) {
    if (line.size() > kMaxPaletteLine)
        return "the line is longer than " + std::to_string(kMaxPaletteLine / 1024) + " KiB";
    RecordFields f;
    splitRecordFields(line, f, scratch);
    if (f.count < 6)
        return std::to_string(f.count) + (f.count == 1 ? " field" : " fields") +
               ", a record needs date, time, tag, hue, value and chroma";
    out.name = f.text[2];
    out.hue = f.text[3];
    out.value = f.text[4];
    out.chroma = f.text[5];
    out.noNotation = trimBlanks(out.hue).empty() && trimBlanks(out.value).empty() &&
                     trimBlanks(out.chroma).empty();
    out.own = ownColour(f);
    if (out.noNotation) return {};
    // Such a record is compared and exported by its notation's colour.
    if (zeroColorimetry(f, out.own)) out.own = {};
    std::string reason;
    if (!readNumber("value", out.value, out.valueNumber, reason)) return reason;
    if (!readNumber("chroma", out.chroma, out.chromaNumber, reason)) return reason;
    return {};
}

bool isPaletteHeader(const std::vector<std::string>& fields) {
    // Blank value and chroma are a record without a notation, not captions.
    return fields.size() >= 6 && !isNumber(fields[4]) && !isNumber(fields[5]) &&
           !trimBlanks(fields[4]).empty();
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
    const std::string lower = lowerHueText(trimBlanks(hue));
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
