#pragma once
// Munsell hue notation and the 0..100 hue circle: family k covers 10k..10k+10 (R 0..10,
// YR 10..20, ..., RP 90..100); 0 and 100 are the same hue, 10RP.
#include <array>
#include <string>
#include <string_view>

namespace zul {

// Slot 0..9 hold the ten families; slot 10 is empty (never produced below 100.001).
inline constexpr std::array<std::string_view, 11> kHueFamilies = {"R", "YR", "Y", "GY", "G", "BG",
                                                                  "B", "PB", "P", "RP", ""};

// Notation to hue number. Upper-cases `notation` in place. A notation without a known family
// suffix sets *formatError (the caller shows "Format Error") and gives 100 + its numeric prefix.
float converth(std::string& notation, bool* formatError = nullptr);

// Hue number to notation: the number within the family with the picture "##.00", then the
// family letters ("5.60R", ".50R", "10.00RP").
std::string hconvert(float hue);

} // namespace zul
