// zul: opens the workbench window when started without a subcommand; with one it runs on the
// command line without any window. Options of the window system ("-platform offscreen") still
// reach the window.
#include "cli/cli.h"
#include "gui/gui.h"

#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1) {
        const char* first = argv[1];
        const bool help = std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0;
        const bool version = std::strcmp(first, "--version") == 0;
        if (help || version || first[0] != '-') return zul::runCli(argc, argv);
    }
    return zul::runGui(argc, argv);
}
