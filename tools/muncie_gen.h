#pragma once
// Builds the renotation table file from the renotation source (rows "H V C x y Y", one header
// line). Value levels 1..10 come from the whole-value rows; level 10 is completed from 9 and 8,
// level 0 extrapolated from 1 and 2; chroma steps above 32 are left out.
#include <istream>
#include <ostream>

namespace zul {

// Writes one "x,y" record per line in table order (value 0..10, hue index 0..39 starting at
// 10RP, chroma index 0..16). Throws DataFileError on a malformed source row.
void generateMuncie(std::istream& source, std::ostream& out);

} // namespace zul
