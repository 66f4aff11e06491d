#pragma once
// Standards and samples read as the main window reads an entry: one entry form's texts through
// the entry converter, and the CIELAB and Munsell fields it shows. The command line, the window
// and a palette all judge the same numbers.
#include "qc/tolerance.h"
#include "workbench/entryconverter.h"
#include "workbench/entryforms.h"

#include <optional>
#include <string>
#include <vector>

namespace zul {

// The colour the workbench's fields show now; nullopt when L*, a*, b* do not hold numbers (the
// Munsell part is left out when hue, value or chroma do not).
std::optional<QcColour> colourShown(const Workbench& wb);

struct QcReading {
    std::optional<QcColour> colour;
    std::string error; // why there is no colour
};

// Converts `fields` (one whole Munsell notation stands for three) as an entry of `form`.
QcReading readColour(EntryConverter& converter, EntryForm form,
                     const std::vector<std::string>& fields);

// A colour written in one text: "FORM:v1,v2,..." for any entry form by its command-line name
// ("xyz:41.2,21.3,1.9"), a Munsell notation ("5R 4/14", "N 5/") or three numbers, read as
// CIELAB ("52.1,40.5,20.2"). nullopt when it is none of these.
struct ColourText {
    EntryForm form;
    std::vector<std::string> fields;
};
std::optional<ColourText> splitColourText(const std::string& text);
// An entry form by its command-line name in any case ("LAB", "xyz").
std::optional<EntryForm> formNamed(std::string name);

} // namespace zul
