// muncie_gen SOURCE OUTPUT: rebuilds the renotation table file from the renotation source.
#include "tools/muncie_gen.h"

#include "text/errors.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: muncie_gen all.dat Muncie.dat\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::ostringstream text;
    try {
        zul::generateMuncie(in, text);
    } catch (const zul::Error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    // Write beside the target and rename, so a failure never leaves half a table.
    const std::filesystem::path target(argv[2]);
    const std::filesystem::path temp = target.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text.str();
        if (!out.flush()) {
            std::cerr << temp.string() << ": cannot write\n";
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::cerr << target.string() << ": " << ec.message() << '\n';
        return 1;
    }
    return 0;
}
