#pragma once
// The commands of `zul COMMAND ...`: each runs without a window (or on the offscreen platform),
// takes the arguments after its name and returns the exit status.
#include <string>
#include <vector>

namespace zul::cli {

using CommandFunction = int (*)(const std::vector<std::string>& args, int& argc, char** argv);

struct Command {
    const char* name;
    const char* synopsis; // for `zul --help`: "convert --from FORM [OPTION...] [--] [VALUE...]"
    const char* summary;  // one line
    CommandFunction run;
};

// Every command, in the order `zul --help` lists them.
const std::vector<Command>& commands();

int runConvert(const std::vector<std::string>& args, int& argc, char** argv);
int runPaletteFromPicture(const std::vector<std::string>& args, int& argc, char** argv);
int runView(const std::vector<std::string>& args, int& argc, char** argv);
int runChart(const std::vector<std::string>& args, int& argc, char** argv);
int runMeasure(const std::vector<std::string>& args, int& argc, char** argv);
int runBatch(const std::vector<std::string>& args, int& argc, char** argv);
int runTable(const std::vector<std::string>& args, int& argc, char** argv);

} // namespace zul::cli
