#pragma once
// What every chart computes for one chip: its notation, its colour under the current
// conditions, and where it sits on the chart's design canvas (twips, 1/1440 inch).
#include "colorimetry/illuminant.h"
#include "colorimetry/lab.h"
#include "colorimetry/rgb.h"

#include <span>
#include <string>

namespace zul {

class RenotationTable;
class Workbench;

// The conditions a chart is computed under, taken from the workbench but never written back.
struct ChartSettings {
    Conditions conditions;
    RgbSettings rgb;
    // "Adapt entries to the illuminant": a CIELAB entry (the tolerance set's swatches) is a
    // colour under the selected illuminant, adapted to C for the Munsell search.
    bool adapt = false;
    std::string gamma = "2.2"; // the gamma field's text, for captions
};

struct ChartChip {
    int element = 0;
    std::string notation;                 // "5.00R 4/10"
    float hue = 0, value = 0, chroma = 0; // the chip's own notation as numbers (hue 0..100)
    bool painted = false;                 // false: the slot keeps the design fill
    bool inReach = false;                 // the colour exists in the renotation data
    DisplayRgb rgb{};                     // quiet RGB (clipped channels)
    bool outOfRange = false;
    Xyz xyz;               // under the selected illuminant, Y on 0..100
    float x = 0, y = 0;    // chromaticity
    double cx = 0, cy = 0; // centre on the design canvas
    double half = 0;       // half the chip's side (hue page, ColorChecker) or its radius
};

// Colour of a Munsell chip under `settings`; fills xyz, x, y, inReach, rgb and outOfRange.
// Throws what mun2xyz and xyzrgb throw.
void computeChip(ChartChip& chip, float hue, float value, float chroma,
                 const RenotationTable& table, const ChartSettings& settings);

// A click on a chip: the chip's own hue, value and chroma go into the Munsell fields and the
// Munsell chain runs, so the main window shows the chip rather than its 8-bit display colour.
void enterChip(Workbench& wb, const ChartChip& chip);

// CIELAB of a chip's XYZ under the selected illuminant (for readouts).
Lab chipLab(const ChartChip& chip, int illuminant);

// Where an arrow key moves the keyboard's chip: from chips[from] the nearest painted chip in
// the direction (dx, dy), sideways distance counting twice; from -1 (or an index no longer on
// the chart) the first painted chip. `from` when nothing lies that way, -1 on a chart without
// painted chips.
int nextChip(std::span<const ChartChip> chips, int from, int dx, int dy);

} // namespace zul
