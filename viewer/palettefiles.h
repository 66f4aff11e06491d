#pragma once
// Files the viewer writes besides reading palettes: the name of the last palette loaded, and the
// loaded palette exported for design tools.
#include "viewer/pointtable.h"

#include <QString>

namespace zul {

inline constexpr const char* kLastPaletteFile = "LastPalette.txt";
inline constexpr const char* kDefaultPalette = "newpalette2.csv";

// The whole first line of `file` (commas and blanks in the name kept), or "newpalette2.csv" when
// the file is missing, unreadable or empty.
QString readLastPalette(const QString& file = kLastPaletteFile);
// Replaces `file` by one line holding `paletteName`, through a temporary file renamed over it,
// so a failure leaves the old contents. Returns an empty string, or the reason it failed.
QString writeLastPalette(const QString& paletteName, const QString& file = kLastPaletteFile);

// Swatch name: the Munsell notation as written in the file, then the tag ("5R 4/10 A1").
QString swatchName(const PointTable& t, std::size_t i);

// Both exports write each record's own R, G, B where it has them, else the colour of its
// notation; they skip records with neither (the chain failed) and replace the file whole.
// Returns an empty string, or the reason nothing was written.
// Text palette: "GIMP Palette" header, then "R G B<tab>name" per colour.
QString exportGpl(const PointTable& t, const QString& title, const QString& fileName);
// Swatch exchange file: "ASEF", version 1.0, one RGB colour block per colour (UTF-16 names,
// big-endian 32-bit floats 0..1, type normal).
QString exportAse(const PointTable& t, const QString& fileName);

} // namespace zul
