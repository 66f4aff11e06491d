#pragma once
// The ColorChecker chart: 24 patches in 4 rows of 6, computed from the Munsell notations in
// ccnames.csv under the current illuminant and gamma.
#include "charts/chip.h"

#include <array>
#include <istream>
#include <string>

namespace zul {

struct ColorCheckerGeometry {
    // Twips: patches 1455 square at a pitch of 1680, first column 120 from the left, first row
    // 240 from the top.
    static constexpr double kPatch = 1455, kPitch = 1680, kLeft = 120, kTop = 240;
    static constexpr double kWidth = 10095, kHeight = 7300; // design canvas
    static constexpr int kPatches = 24;
};

struct CcRecord {
    std::string name;
    std::string hue;
    float value = 0, chroma = 0;
    bool valid = false;
};

struct CcNames {
    std::array<CcRecord, ColorCheckerGeometry::kPatches> records;
    int read = 0;      // records read whole
    std::string fault; // empty, or the first fault: "line 5: ..."
};

// Reads ccnames.csv: a header line, then one record a line (number, name, hue notation, value,
// chroma). Every record that reads fills its patch; the first bad or missing one is named.
CcNames readCcNames(std::istream& in);
// The most of a patch file that is read: 24 short lines, with room to spare.
inline constexpr long long kMaxCcNamesBytes = 1024 * 1024;

struct ColorChecker {
    std::array<ChartChip, ColorCheckerGeometry::kPatches> patches; // inReach false: "n/a"
    std::array<std::string, ColorCheckerGeometry::kPatches> names;
    const ChartChip* chipAt(double x, double y) const;
};

ColorChecker fillCC(const CcNames& names, const RenotationTable& table,
                    const ChartSettings& settings);

} // namespace zul
