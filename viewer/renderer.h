#pragma once
// Draws the view of a palette into an image: background, value axis, hue markers and chroma
// rings by QPainter, then every point as a filled dot by a fast span routine (a dot's diameter in
// pixels grows with its value: value x 2 + 2), in table order with no depth sorting.
#include "viewer/pointtable.h"
#include "viewer/projection.h"

#include <QFont>
#include <QImage>

namespace zul {

struct RenderOptions {
    long selected = -1;   // entry marked by a white dot inside its colour dot
    bool numbers = false; // write each entry's number (from 1) at its dot
    QFont font;           // for the numbers
};

inline constexpr QRgb kViewBackground = 0xffe0e0e0; // light grey 224, 224, 224

// Ring and centre of an entry the display cannot show (magenta).
inline constexpr QRgb kOutOfDisplayMark = 0xffc0008c;
// True for an entry's colour as loaded when the display cannot show it.
bool outOfDisplay(std::uint32_t colour, float value);

// The default font of the view: a small serif face.
QFont viewFont();

// Redraws all of `image` (Format_RGB32 or ARGB32) for `view`.
void renderView(QImage& image, const PointTable& t, const View& view, const RenderOptions& o);

// Diameter in pixels of a dot drawn with pen width `width`: rounded, ties to even, at least 1.
int dotDiameter(float width);

} // namespace zul
