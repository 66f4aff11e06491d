#pragma once
// The program's two faces: the window (no arguments) and the command line (a subcommand).

namespace zul {

int runGui(int argc, char** argv);
int runCli(int argc, char** argv);

} // namespace zul
