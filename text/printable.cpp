#include "text/printable.h"

namespace zul {

std::string printable(std::string_view text) {
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
