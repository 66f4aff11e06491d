// zul: opens the workbench window when started without arguments; with a subcommand it runs on
// the command line without any window.
#include "app/entrypoints.h"

int main(int argc, char** argv) {
    if (argc > 1) return zul::runCli(argc, argv);
    return zul::runGui(argc, argv);
}
