#include "text/printable.h"

#include <algorithm>

namespace zul {

std::string printable(std::string_view text) {
    // Most texts hold nothing to show otherwise: one look at each byte, one copy.
    const bool plain = std::none_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return (c < 0x20 && c != '\t') || c == 0x7f || c == 0xc2;
    });
    if (plain) return std::string(text);
    std::string out;
    out.reserve(text.size());
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\t') {
            out += '\t';
        } else if (c < 0x20 || c == 0x7f) {
            out += '^';
            out += static_cast<char>(c ^ 0x40);
        } else if (c == 0xc2 && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xe0) == 0x80) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0xf];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace zul
