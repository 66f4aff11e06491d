#pragma once
// The window face of the program: the workbench window and the windows it switches on.

namespace zul {

int runGui(int argc, char** argv);

} // namespace zul
