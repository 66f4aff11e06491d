#pragma once
// The current colour as one text for the clipboard, and such texts read back: Munsell notation
// ("5R 4/14", "N 5.23/"), hex ("#C85A5A"), CIELAB ("L* 52.0 a* 44.8 b* 23.0") and the CSV
// line `zul convert` writes.
#include "workbench/workbench.h"

#include <QString>

#include <array>
#include <optional>

namespace zul {

enum class CopyForm { Notation, Hex, Lab, Csv };

// Notation from the three Munsell field texts: a neutral (hue "N" or chroma 0) as "N 5.23/";
// a hue whose number is 0 (".00R", ".03Y" at one decimal) as 10 of the family before it
// ("10RP", "10GY"). Empty when the hue or value field is empty.
QString notationText(const QString& hue, const QString& value, const QString& chroma);
QString colourText(const Workbench& workbench, CopyForm form);

// What a pasted text holds, as the texts of the forms it carries.
struct PastedColour {
    std::optional<std::array<QString, 3>> munsell; // hue, value, chroma
    std::optional<std::array<QString, 3>> lab;     // L*, a*, b*
    std::optional<std::array<QString, 3>> rgb;     // R, G, B
};
// nullopt when `text` is none of the copied forms (nor a bare "#RRGGBB").
std::optional<PastedColour> readPastedColour(const QString& text);

} // namespace zul
