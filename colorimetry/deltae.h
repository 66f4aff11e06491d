#pragma once
// Colour differences between two CIELAB colours, in double precision.
namespace zul {

struct LabD {
    double l = 0, a = 0, b = 0;
};

// CIE 1976 ΔE*ab: the Euclidean distance.
double deltaE76(const LabD& x, const LabD& y);

// CIEDE2000 (CIE 142-2001) with kL = kC = kH = 1, following the implementation notes of Sharma,
// Wu and Dalal (2005): a hue angle of a zero chroma is 0, the mean hue across the 0/360 seam is
// taken on the short arc. Symmetric in its arguments.
double deltaE2000(const LabD& x, const LabD& y);

} // namespace zul
