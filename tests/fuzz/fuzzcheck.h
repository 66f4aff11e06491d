#pragma once
// What every fuzz target shares: the entry point's declaration and a check that stops the run
// (the fuzzer then saves the input as a crash; the corpus driver fails the test).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace zul::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Cuts the input at the first occurrence of `mark`: the part before it and the rest. Lets one
// input carry two texts (a picture and a number, a tag and the fields).
inline std::pair<std::string_view, std::string_view> cut(std::string_view text, char mark) {
    const std::size_t at = text.find(mark);
    if (at == std::string_view::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

// A spectrum read from outside: finite values and no error, or an error and no values.
template <typename Reading> void checkSpectrumReading(const Reading& r) {
    if (r.ok) {
        FUZZ_CHECK(r.error.isEmpty());
        for (float v : r.values)
            FUZZ_CHECK(std::isfinite(v));
    } else {
        FUZZ_CHECK(!r.error.isEmpty());
        for (float v : r.values)
            FUZZ_CHECK(v == 0.0f);
    }
}

} // namespace zul::fuzz
