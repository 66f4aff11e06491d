#include "app/cli_commands.h"

namespace zul::cli {

const std::vector<Command>& commands() {
    // One line per command; each command lives in a file of its own.
    static const std::vector<Command> list = {
        {"convert", "zul convert --from FORM [OPTION...] [--] [VALUE... | FILE]",
         "convert colours without a window", runConvert},
    };
    return list;
}

} // namespace zul::cli
