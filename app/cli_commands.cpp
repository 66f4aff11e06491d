#include "app/cli_commands.h"

namespace zul::cli {

const std::vector<Command>& commands() {
    // One line per command; each command lives in a file of its own.
    static const std::vector<Command> list = {
        {"convert", "zul convert --from FORM [OPTION...] [--] [VALUE...]",
         "convert colours without a window", runConvert},
        {"chart", "zul chart hue|value|tolerance|colorchecker ... [--png F] [--pdf F] [--csv F]",
         "render a chart without a window", runChart},
    };
    return list;
}

} // namespace zul::cli
