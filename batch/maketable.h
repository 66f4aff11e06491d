#pragma once
// The Munsell reference table "muntable2.prn": a fixed grid of hue, value and chroma with XYZ,
// CIELAB and display RGB, tab-separated, for a spreadsheet or a printed chart. Computed by the
// engine alone under the given settings; no field, flag or window is touched.
#include "workbench/workbench.h"

#include <string>

namespace zul::batch {

inline constexpr const char* kTableFile = "muntable2.prn";

// The whole file, lines ended by CR LF. Throws what the conversions throw (the table is then
// not to be written at all).
std::string makeTable(const RenotationTable& table, const Workbench::Options& options);

// The grid, outermost first: values 1..8 then 8.25, 8.5, 8.75, 9; hue angles 0..97.5 in steps of
// 2.5; chromas 0..8 then 10..30 in steps of 2.
std::vector<float> tableValues();
std::vector<float> tableHueAngles();
std::vector<float> tableChromas();

} // namespace zul::batch
