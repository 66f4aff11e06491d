#include "cli/commands.h"

#include "text/printable.h"

#include <iostream>

namespace zul::cli {

Invocation::Invocation(const Command& c, const std::vector<std::string>& a, int& count,
                       char** values)
    : command(c), args(parseArguments(a, c.options, c.wording)), argc(count), argv(values) {}

int Invocation::stop(const Arg& a) const {
    if (a.kind == Arg::Kind::Help) {
        std::cout << command.usage << (command.help ? command.help : "");
        return 0;
    }
    return usageError(a.value);
}

int Invocation::usageError(const std::string& message) const {
    std::cerr << "zul " << command.name << ": " << printable(message) << '\n' << command.usage;
    if (command.help) std::cerr << "Try 'zul " << command.name << " --help'.\n";
    return 2;
}

int Invocation::fail(const std::string& message, int status) const {
    std::cerr << "zul " << command.name << ": " << printable(message) << '\n';
    return status;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        convertCommand(), paletteFromPictureCommand(),
        viewCommand(),    chartCommand(),
        measureCommand(), batchCommand(),
        tableCommand(),   spectralCommand(),
        qcCommand(),
    };
    return list;
}

} // namespace zul::cli
