#pragma once
// The command face: `zul COMMAND ...`, `zul --help`, `zul --version`.

namespace zul {

int runCli(int argc, char** argv);

} // namespace zul
