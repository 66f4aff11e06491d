#include "munsell/hue.h"

#include "text/numtext.h"

#include <cctype>
#include <cmath>

namespace zul {

float converth(std::string& notation, bool* formatError) {
    for (char& ch : notation)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));

    const std::string_view text(notation);
    int family = 10;
    std::size_t suffix = 0;
    // Two-letter families first, so that YR is not read as R nor RP as P.
    for (int i = 1; i <= 9 && suffix == 0; i += 2) {
        if (text.size() >= 2 && text.substr(text.size() - 2) == kHueFamilies[i]) {
            family = i;
            suffix = 2;
        }
    }
    for (int i = 0; i <= 8 && suffix == 0; i += 2) {
        if (!text.empty() && text.substr(text.size() - 1) == kHueFamilies[i]) {
            family = i;
            suffix = 1;
        }
    }
    if (formatError) *formatError = (suffix == 0);

    // The sum is formed before it is stored as single: rounding the number part first can land
    // one step away from the nearest single ("1.06YR" would give 11.0599995, not 11.06).
    const double number = parseLenient(text.substr(0, text.size() - suffix));
    return static_cast<float>(family * 10 + number);
}

std::string hconvert(float hue) {
    int k = static_cast<int>(std::floor((hue - 0.001f) / 10.0f));
    if (k < 0) k = 0;
    if (k > 10) k = 10;
    const float n = hue - static_cast<float>(10 * k);
    return formatPicture(n, "##.00") + std::string(kHueFamilies[static_cast<std::size_t>(k)]);
}

} // namespace zul
