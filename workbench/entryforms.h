#pragma once
// The six entry forms of the main window described once: their fields in the order they are
// typed, each field's name on the command line, its caption in the window and its control, and
// the field Enter is pressed in. The workbench, the window and the command line read them here.
#include "workbench/workbench.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

enum class EntryForm { Munsell, Xyz, Xy, Lab, Rgb, Cmyk };

struct EntryField {
    Field field;
    const char* name;       // on the command line and in its messages: "hue", "X", "L*"
    const char* caption;    // beside the field in the window: "Hue", "sx"
    const char* objectName; // the window's control: "Text12_0"
};

struct EntryFormInfo {
    EntryForm form;
    const char* name;               // on the command line: "munsell"
    const char* title;              // the window's caption of the form: "Munsell", "CMYK %"
    std::vector<EntryField> fields; // in the order they are typed
    std::size_t shown;              // the first `shown` fields sit in the form's group
    Field enter;                    // the field Enter is pressed in
};

const std::array<EntryFormInfo, 6>& entryForms();
const EntryFormInfo& entryForm(EntryForm form);
// "munsell", "xyz", ...; nullopt for anything else.
std::optional<EntryForm> entryFormNamed(std::string_view name);
// The form whose group shows `f`; nullopt for the gamma field.
std::optional<EntryForm> formShowing(Field f);
// The fields' names for messages: "X, Y, Z".
std::string fieldNames(EntryForm form);
// A field's caption in messages: "Hue", "Cyan", "Gamma".
const char* fieldCaption(Field f);

} // namespace zul
