#include "app/cli_commands.h"

namespace zul::cli {

const std::vector<Command>& commands() {
    // One line per command; each command lives in a file of its own.
    static const std::vector<Command> list = {
        {"convert", "zul convert --from FORM [OPTION...] [--] [VALUE...]",
         "convert colours without a window", runConvert},
        {"measure",
         "zul measure --instrument NAME (--port N | --device PATH | --file F) [OPTION...]",
         "measure or import one spectral sample without a window", runMeasure},
    };
    return list;
}

} // namespace zul::cli
