// The shortest number text against a plain search over every digit count from one.
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace zul {
namespace {

// The decimal value of the fewest significant digits (at most 7) that read back as `value`.
double shortestByFullSearch(float value) {
    char buf[64];
    for (int digits = 1; digits <= 7; ++digits) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        float back = 0;
        std::from_chars(buf, r.ptr, back);
        if (back == value || digits == 7) {
            *r.ptr = '\0';
            return std::strtod(buf, nullptr);
        }
    }
    return 0;
}

TEST(PlainTextSearch, SameDigitsAsTheFullSearch) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_int_distribution<int> hundredths(-1000000, 1000000);
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        float v;
        if (i % 2) {
            const std::uint32_t b = bits(rng);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v) || v == 0) continue;
        } else {
            v = static_cast<float>(hundredths(rng)) / 100.0f; // values as files give them
            if (v == 0) continue;
        }
        const std::string text = plainText(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), shortestByFullSearch(v)) << text;
        ++checked;
    }
    EXPECT_GT(checked, 190000);
}

} // namespace
} // namespace zul
