#pragma once
// Reading one input line of a batch job into a record: pure functions over the line's bytes, so
// that every reader can be run in memory and fuzzed. A line is a record or it is not; a line
// that is not never shifts the fields of the lines after it.
#include "batch/jobs.h"
#include "colorimetry/tristimulus.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zul::batch {

struct Record {
    std::vector<std::string> free;     // the free text fields, as read (the tag for "xyz")
    std::array<std::string, 3> colour; // hue, value, chroma / X, Y, Z / L*, a*, b*
    bool notation = false;             // the Munsell colour came as one text ("5R 4/14")
    Reflectance reflectance{};         // the spectral job's 40 values, 360..750 nm
    std::string rest;                  // the spectral job's rest of the line
};

// Reads `line` (without its line break) as a record of `job`. Returns an empty string when it
// is one, otherwise the reason it is not. `record` is reused between calls.
std::string readRecord(const Job& job, std::string_view line, Record& record);

// Whether line 1 is a record: the right shape, numbers where numbers stand, a hue notation
// where the hue stands. A heading is none of these.
bool isWellFormedRecord(const Job& job, std::string_view line);

// The next comma-separated field of `line` from `pos` by the reading rules of the program's text
// files (blanks and tabs around it dropped, a field in double quotes may hold commas and doubled
// quotes). False when no field is left; `pos` then stands after the field's comma, or at npos
// when the field ended the line.
bool nextCsvField(std::string_view line, std::size_t& pos, std::string& field);

// A line that holds nothing but blanks and tabs.
bool isBlankLine(std::string_view line);

} // namespace zul::batch
