#pragma once
// The reference the direct number texts are checked against: the value of the fewest significant
// digits (at most `maxDigits`) that read back as `value`, found by trying every digit count from
// one. Slow and plainly right.
#include <charconv>
#include <cstdlib>

namespace zul::testing {

template <typename T> double shortestBySearch(T value, int maxDigits) {
    char buf[64];
    for (int digits = 1;; ++digits) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        T back = 0;
        std::from_chars(buf, r.ptr, back);
        if (back == value || digits >= maxDigits) {
            *r.ptr = '\0';
            return std::strtod(buf, nullptr);
        }
    }
}

} // namespace zul::testing
