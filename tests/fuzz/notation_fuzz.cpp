// The notation reader ("5R 4/14", "N 5/") on any text. Properties: the parts hold no blank and no
// slash, and the notation written back from them splits into the same parts.
#include "fuzzcheck.h"

#include "munsell/notation.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    const auto parts = splitMunsellNotation(fuzz::asText(data, size));
    if (!parts) return 0;
    for (const std::string* p : {&parts->hue, &parts->value, &parts->chroma}) {
        FUZZ_CHECK(!p->empty());
        FUZZ_CHECK(p->find_first_of(" \t/") == std::string::npos);
    }
    const std::string written = parts->hue + " " + parts->value + "/" + parts->chroma;
    const auto again = splitMunsellNotation(written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->hue == parts->hue && again->value == parts->value &&
               again->chroma == parts->chroma);
    (void)isNeutralHue(parts->hue);
    return 0;
}
