#pragma once
// The CIE tables the program ships (data/cie, compiled in): colour-matching functions of the
// 1931 2 degree and 1964 10 degree observers, the daylight components and the tabulated
// illuminants, and the standard illuminants built from them.
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace zul::spectral {

enum class Illuminant { A, C, D50, D55, D65, D75, F2, F7, F11, E };
enum class Observer { Deg2 = 2, Deg10 = 10 };

inline constexpr std::array<Illuminant, 10> kIlluminantList = {
    Illuminant::A,   Illuminant::C,  Illuminant::D50, Illuminant::D55, Illuminant::D65,
    Illuminant::D75, Illuminant::F2, Illuminant::F7,  Illuminant::F11, Illuminant::E};

const char* illuminantName(Illuminant i); // "A", "D65", ...
// The illuminant named `name` (any case), or nullopt.
std::optional<Illuminant> illuminantNamed(std::string_view name);

// Values at start, start + step, ...; read between points linearly, and outside the range as
// the first or last value.
struct SampledTable {
    double start = 0, step = 1;
    std::vector<double> values;
    double at(double nm) const;
};

// x-bar, y-bar, z-bar (component 0..2) of an observer, 360..830 nm at 5 nm.
const SampledTable& colourMatching(Observer o, int component);
// Relative spectral power of a standard illuminant; D50..D75 from the daylight components.
const SampledTable& illuminantPower(Illuminant i);
// CIE daylight of correlated colour temperature `cct` (K, 4000..25000) from S0, S1, S2, with
// M1 and M2 rounded to three decimals as CIE 15 prescribes; 300..830 nm at 5 nm.
SampledTable daylight(double cct);
// D65 as the CIE tabulates it (for checking the formula).
const SampledTable& tabulatedD65();

namespace detail {
struct EmbeddedTable {
    const char* name;
    const char* text;
};
extern const EmbeddedTable kEmbeddedTables[];
// Columns 1.. of a "nm,v1,v2,..." table after '#' comment and heading lines; throws
// std::runtime_error for an unevenly spaced or malformed table.
std::vector<SampledTable> parseTable(std::string_view text);
} // namespace detail

} // namespace zul::spectral
