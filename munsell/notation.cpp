#include "munsell/notation.h"

#include "munsell/hue.h"
#include "text/blanks.h"
#include "text/numtext.h"

#include <cctype>

namespace zul {

namespace {

bool isDigitOrPoint(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
}

// Length of the plain unsigned decimal number at the start of `s` ("4", "14.0", ".5").
std::size_t numberLength(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && isDigitOrPoint(s[n]))
        ++n;
    return n > 0 && isNumber(s.substr(0, n)) ? n : 0;
}

// Length of a known family at the start of `s`, two-letter families first.
std::size_t familyLength(std::string_view s) {
    auto upper = [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    };
    for (std::size_t len : {2u, 1u}) {
        if (s.size() < len) continue;
        std::string head;
        for (std::size_t i = 0; i < len; ++i)
            head += upper(s[i]);
        for (std::string_view f : kHueFamilies)
            if (!f.empty() && f == head) return len;
    }
    return 0;
}

} // namespace

bool isNeutralHue(std::string_view hue) {
    hue = trimBlanks(hue);
    return hue.size() == 1 && (hue[0] == 'N' || hue[0] == 'n');
}

std::optional<NotationTexts> splitMunsellNotation(std::string_view text) {
    std::string_view s = trimBlanks(text);
    NotationTexts out;
    bool neutral = false;
    if (!s.empty() && (s[0] == 'N' || s[0] == 'n')) {
        neutral = true;
        out.hue = "N";
        s = trimBlanks(s.substr(1));
    } else {
        const std::size_t number = numberLength(s);
        if (number == 0) return std::nullopt;
        std::string_view rest = trimBlanks(s.substr(number));
        const std::size_t family = familyLength(rest);
        if (family == 0) return std::nullopt;
        out.hue = std::string(s.substr(0, number)) + std::string(rest.substr(0, family));
        s = rest.substr(family);
        // The value must stand apart from the family: "5R 4/14" or "5R4/14", not "5RP" read
        // as "5R" and "P".
        s = trimBlanks(s);
    }
    const std::size_t value = numberLength(s);
    if (value == 0) return std::nullopt;
    out.value = std::string(s.substr(0, value));
    s = trimBlanks(s.substr(value));
    if (s.empty()) {
        if (!neutral) return std::nullopt;
        out.chroma = "0";
        return out;
    }
    if (s[0] != '/') return std::nullopt;
    s = trimBlanks(s.substr(1));
    if (s.empty()) {
        if (!neutral) return std::nullopt;
        out.chroma = "0";
        return out;
    }
    const std::size_t chroma = numberLength(s);
    if (chroma == 0 || chroma != s.size()) return std::nullopt;
    out.chroma = std::string(s);
    return out;
}

} // namespace zul
