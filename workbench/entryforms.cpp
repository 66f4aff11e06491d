#include "workbench/entryforms.h"

namespace zul {

const std::array<EntryFormInfo, 6>& entryForms() {
    // The x y form also takes Y, which the window shows in the XYZ form.
    static const std::array<EntryFormInfo, 6> forms = {{
        {EntryForm::Munsell,
         "munsell",
         "Munsell",
         {{Field::Hue, "hue", "Hue", "Text12_0"},
          {Field::Value, "value", "Value", "Text12_1"},
          {Field::Chroma, "chroma", "Chroma", "Text12_2"}},
         3,
         Field::Chroma},
        {EntryForm::Xyz,
         "xyz",
         "XYZ",
         {{Field::X, "X", "X", "Text11_0"},
          {Field::Y, "Y", "Y", "Text11_1"},
          {Field::Z, "Z", "Z", "Text11_2"}},
         3,
         Field::Z},
        {EntryForm::Xy,
         "xy",
         "x y",
         {{Field::SmallX, "x", "sx", "Text18_0"},
          {Field::SmallY, "y", "sy", "Text18_1"},
          {Field::Y, "Y", "Y", "Text11_1"}},
         2,
         Field::SmallY},
        {EntryForm::Lab,
         "lab",
         "CIELAB",
         {{Field::L, "L*", "L*", "Text15_0"},
          {Field::A, "a*", "a*", "Text15_1"},
          {Field::B, "b*", "b*", "Text15_2"}},
         3,
         Field::B},
        {EntryForm::Rgb,
         "rgb",
         "RGB",
         {{Field::R, "R", "R", "Text1_0"},
          {Field::G, "G", "G", "Text1_1"},
          {Field::Bl, "B", "B", "Text1_2"}},
         3,
         Field::Bl},
        {EntryForm::Cmyk,
         "cmyk",
         "CMYK %",
         {{Field::C, "C", "C", "Text2_0"},
          {Field::M, "M", "M", "Text2_1"},
          {Field::Ye, "Y", "Y", "Text2_2"},
          {Field::K, "K", "K", "Text2_3"}},
         4,
         Field::K},
    }};
    return forms;
}

const EntryFormInfo& entryForm(EntryForm form) {
    return entryForms()[static_cast<std::size_t>(form)];
}

std::optional<EntryForm> entryFormNamed(std::string_view name) {
    for (const EntryFormInfo& f : entryForms())
        if (name == f.name) return f.form;
    return std::nullopt;
}

std::optional<EntryForm> formShowing(Field field) {
    for (const EntryFormInfo& f : entryForms())
        for (std::size_t i = 0; i < f.shown; ++i)
            if (f.fields[i].field == field) return f.form;
    return std::nullopt;
}

std::string fieldNames(EntryForm form) {
    std::string out;
    for (const EntryField& f : entryForm(form).fields)
        out += (out.empty() ? "" : ", ") + std::string(f.name);
    return out;
}

const char* fieldCaption(Field f) {
    static const char* const names[] = {"Hue",  "Value",   "Chroma", "X",     "Y",    "Z", "x",
                                        "y",    "L*",      "a*",     "b*",    "R",    "G", "B",
                                        "Cyan", "Magenta", "Yellow", "Black", "Gamma"};
    return names[static_cast<int>(f)];
}

} // namespace zul
