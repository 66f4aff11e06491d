#pragma once
// Blanks as the program's text files have them: spaces and tabs around fields.
#include <string_view>

namespace zul {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// `s` without the blanks at either end.
inline std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace zul
