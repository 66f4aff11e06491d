#pragma once
// The window settings that `zul batch` and `zul table` take on the command line (--illuminant,
// --pwd, --gamma), turned into a workbench's options exactly as the window would hold them.
#include "munsell/table.h"
#include "workbench/workbench.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zul::cli {

struct WindowSettings {
    int illuminant = 0;
    bool pwd = false;
    std::string gamma; // empty: the start-up 2.2
};

// Takes the option at args[i] (and its argument) when it is one of the settings; true when it
// was. Sets `error` for a bad argument.
bool takeWindowSetting(const std::vector<std::string>& args, std::size_t& i, WindowSettings& s,
                       std::string& error);

// Options of a workbench started up and set as the user would set the window.
Workbench::Options windowOptions(std::shared_ptr<const RenotationTable> table,
                                 const WindowSettings& s);

// The shipped renotation table; nullptr with the reason in `error`.
std::shared_ptr<const RenotationTable> loadTable(std::string& error);

} // namespace zul::cli
