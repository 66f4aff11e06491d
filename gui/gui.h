#pragma once
// The window face: the workbench window and everything it opens.

namespace zul {

int runGui(int argc, char** argv);

} // namespace zul
