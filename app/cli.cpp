// placeholder until the command line lands
#include "app/entrypoints.h"

#include <cstdio>

namespace zul {
int runCli(int, char**) {
    std::fputs("zul: the command line is not built yet\n", stderr);
    return 2;
}
} // namespace zul
