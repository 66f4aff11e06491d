// The renotation table loader on any bytes: it loads a complete table or throws DataFileError
// and leaves the table it was loading into as it was.
#include "fuzzcheck.h"

#include "munsell/table.h"
#include "text/errors.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using zul::RenotationTable;
    static const auto sentinel = [] {
        RenotationTable t;
        for (int v = 0; v < RenotationTable::kValues; ++v)
            t.set(v, 7, 3, 0, static_cast<std::int16_t>(1000 + v));
        return t;
    }();
    RenotationTable table = sentinel;
    std::istringstream in(std::string(zul::fuzz::asText(data, size)));
    try {
        table.load(in, "fuzz");
    } catch (const zul::DataFileError&) {
        for (int v = 0; v < RenotationTable::kValues; ++v)
            for (int h = 0; h < RenotationTable::kHues; ++h)
                for (int c = 0; c < RenotationTable::kChromas; ++c)
                    for (int k = 0; k < 2; ++k)
                        FUZZ_CHECK(table.at(v, h, c, k) == sentinel.at(v, h, c, k));
        return 0;
    }
    for (int v = 0; v < RenotationTable::kValues; ++v) {
        for (int h = 0; h < RenotationTable::kHues; ++h) {
            FUZZ_CHECK(table.at(v, h, 0, 0) == (h == 41 ? 0 : zul::kWhiteX4));
            FUZZ_CHECK(table.at(v, h, 0, 1) == (h == 41 ? 0 : zul::kWhiteY4));
            for (int c = 0; c < RenotationTable::kChromas; ++c)
                for (int k = 0; k < 2; ++k) {
                    if (h == 41 || c >= RenotationTable::kFileChromas)
                        FUZZ_CHECK(table.at(v, h, c, k) == 0);
                    if (h == 40) FUZZ_CHECK(table.at(v, 40, c, k) == table.at(v, 0, c, k));
                }
        }
    }
    return 0;
}
