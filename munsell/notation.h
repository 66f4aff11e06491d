#pragma once
// A whole Munsell notation in one text, as catalogues and spreadsheets write it: "5R 4/14",
// "2.5YR 6/8.0", and for neutrals "N 5/", "N 5" or "N5". Split into the three texts the hue,
// value and chroma fields hold.
#include <optional>
#include <string>
#include <string_view>

namespace zul {

struct NotationTexts {
    std::string hue;    // "5R", "N"
    std::string value;  // "4"
    std::string chroma; // "14"; "0" for a neutral written without one
};

// The three texts of `text`, or nullopt when it is not a whole notation (a hue alone, say).
// Blanks around the parts are allowed; family letters in any case. A chromatic hue needs
// "value/chroma"; a neutral may leave out the chroma, and then the slash as well.
std::optional<NotationTexts> splitMunsellNotation(std::string_view text);

// True when a hue text is the neutral "N" (any case, blanks around it).
bool isNeutralHue(std::string_view hue);

} // namespace zul
