#pragma once
// Reading one palette record: the first six comma-separated fields (date, time, tag, hue, value,
// chroma; the rest of the line is ignored), and the hue as a position on the hue circle.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

// What a record says of its own colour beyond the notation: its R, G, B and L*, a*, b* fields.
// Recomputing them from the rounded notation would lose them.
struct RecordColour {
    std::uint32_t rgb = 0; // 0xffRRGGBB
    float l = 0, a = 0, b = 0;
    bool hasRgb = false, hasLab = false;
};

// Longer lines are not records (a binary file, a picture opened by mistake).
inline constexpr std::size_t kMaxPaletteLine = 64 * 1024;

struct PaletteFields {
    std::string name, hue, value, chroma; // texts as read
    float valueNumber = 0, chromaNumber = 0;
    RecordColour own; // R, G, B (fields 16..18) and L*, a*, b* (10..12) where they are numbers
    // Hue, value and chroma all blank: a record of a colour that got no notation.
    bool noNotation = false;
};

// Fields of a record that are read: up to R, G, B (16..18).
inline constexpr std::size_t kRecordFields = 18;

// The first kRecordFields fields of a line (fewer where it holds fewer), split as splitCsvLine
// splits them (nextCsvField).
struct RecordFields {
    std::array<std::string_view, kRecordFields> text;
    std::size_t count = 0;
};
// Fields are views into `line`, but those with doubled quotes, which are kept in `unquoted`
// (field i in unquoted[i]) and stay valid until the next call with it.
void splitRecordFields(std::string_view line, RecordFields& out,
                       std::vector<std::string>& unquoted);

// Splits `line` (using `scratch` for fields with doubled quotes) into `out`. Returns an empty
// string for a record (one without a notation included), otherwise why the line is not one
// ("value: "nan" is not a number").
std::string readPaletteRecord(std::string_view line, std::vector<std::string>& scratch,
                              PaletteFields& out);

// A spreadsheet's column captions: six fields or more, neither value nor chroma a number.
bool isPaletteHeader(const std::vector<std::string>& fields);

// The hue text in lower case, as the list and the identification rows show it.
std::string lowerHueText(std::string_view hue);

// Hue step on the 0..100 circle: the leading number plus the offset of the family ending
// ("yr", "gy", "bg", "pb", "rp" tested before "r", "y", "g", "b", "p"), so 10yr and 0y are both
// 20. A text with no family ending (a neutral "N"), or whose number is beyond the range of a
// float, has step 0.
float paletteHueStep(std::string_view hue);

// Step x 3.6 degrees, then radians by the factor 0.0174532925; single precision after each step.
float paletteHueAngle(float step);

} // namespace zul
