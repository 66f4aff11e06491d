#pragma once
// A spectrum's colour under one condition: X, Y, Z, chromaticity and CIELAB against that
// condition's own white (CIE 15, double precision).
#include "spectral/weights.h"

#include <string>

namespace zul::spectral {

struct LabD3 {
    double l = 0, a = 0, b = 0;
};

struct ConditionColour {
    Condition condition;
    XyzD xyz;
    double x = 0, y = 0; // chromaticity; 0, 0 for a black
    LabD3 lab;
};

// CIELAB of `xyz` against `white` (CIE 15, with the linear part below (6/29)^3).
LabD3 labOf(const XyzD& xyz, const XyzD& white);

ConditionColour colourUnder(const Spectrum& s, Condition c);

// Every illuminant under both observers, 2 degree first: the twenty conditions.
std::vector<Condition> allConditions();

// "D65", "10" style texts of a condition.
std::string observerText(Observer o);

} // namespace zul::spectral
