#pragma once
// The command table of `zul COMMAND ...`: each command runs without a window (or on the
// offscreen platform), is one file of this folder and one row here; `zul --help` is built from
// the rows.
#include "text/options.h"

#include <string>
#include <vector>

namespace zul::cli {

class Invocation;
using RunFunction = int (*)(const Invocation&);

struct Command {
    const char* name;
    const char* synopsis; // for `zul --help`: "zul convert --from FORM [OPTION...] ..."
    const char* summary;  // one line
    const char* usage;    // the command's "Usage: ..." block, shown with --help and usage errors
    const char* help;     // the rest of --help; nullptr: the usage block is the whole help and
                          // a usage error does not point to --help
    std::vector<OptionRule> options;
    RunFunction run;
    OptionWording wording = {};
};

// One run of a command: its arguments read by the option layer, and the process's argc and
// argv for the application object.
class Invocation {
public:
    Invocation(const Command& command, const std::vector<std::string>& args, int& argc,
               char** argv);

    const Command& command;
    const std::vector<Arg> args;
    int& argc;
    char** argv;

    // For an Arg of kind Help or Error: prints the help (0) or the usage error (2).
    int stop(const Arg& a) const;
    // "zul COMMAND: message", the usage block, and where to find help on standard error; 2.
    int usageError(const std::string& message) const;
    // "zul COMMAND: message" on standard error; `status`.
    int fail(const std::string& message, int status = 1) const;
};

// Every command, in the order `zul --help` lists them.
const std::vector<Command>& commands();

Command convertCommand();
Command paletteFromPictureCommand();
Command viewCommand();
Command chartCommand();
Command measureCommand();
Command batchCommand();
Command tableCommand();
Command spectralCommand();
Command qcCommand();

} // namespace zul::cli
