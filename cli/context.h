#pragma once
// What every command shares besides its options: the window settings it takes on the command
// line (--illuminant, --pwd, --gamma, --adapt) turned into a workbench's options exactly as the
// window would hold them, and the shipped renotation table.
#include "munsell/table.h"
#include "text/options.h"
#include "workbench/workbench.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zul::cli {

struct WindowSettings {
    int illuminant = 0; // option button 0..2
    bool pwd = false;   // "PWD" ticked
    std::string gamma;  // gamma field text; empty keeps the start-up 2.2
    bool adapt = false; // "Adapt entries to the illuminant" ticked

    // "C", "D50" or "D65" in any case; the message for anything else.
    std::string setIlluminant(const std::string& name);
    // A number from 1 to 3; the message for anything else.
    std::string setGamma(const std::string& text);
    // Takes `a` when it is one of the settings (false otherwise); `error` says what is wrong
    // with its value.
    bool take(const Arg& a, std::string& error);

    // Start-up, then the settings set as the user sets them in the window.
    void applyTo(Workbench& wb) const;
    Workbench::Options options(std::shared_ptr<const RenotationTable> table) const;
};

// The options of the settings, for a command's option list; --adapt only where asked.
std::vector<OptionRule> settingOptions(bool adapt = false);
// The same followed by a command's own options.
std::vector<OptionRule> settingOptions(bool adapt, std::initializer_list<OptionRule> own);

// The shipped renotation table; nullptr after "zul COMMAND: reason" on standard error.
std::shared_ptr<const RenotationTable> loadTable(const char* command);

} // namespace zul::cli
