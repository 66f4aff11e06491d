#include "app/cli_commands.h"

namespace zul::cli {

const std::vector<Command>& commands() {
    // One line per command; each command lives in a file of its own.
    static const std::vector<Command> list = {
        {"convert", "zul convert --from FORM [OPTION...] [--] [VALUE...]",
         "convert colours without a window", runConvert},
        {"batch", "zul batch JOB [-i FILE|-] [-o FILE|-] [--palette NAME] [OPTION...]",
         "convert a whole file as the window's Import does", runBatch},
        {"table", "zul table [-o FILE|-] [--illuminant C|D50|D65] [--pwd] [--gamma G]",
         "write the Munsell reference table muntable2.prn", runTable},
    };
    return list;
}

} // namespace zul::cli
