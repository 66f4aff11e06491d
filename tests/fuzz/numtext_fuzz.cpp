// Strict and lenient number reading, the plain text rules and the picture formatter on any
// text. Properties: strict reading accepts exactly what isNumber accepts and fails only with
// the typed errors; a number that reads back formats to a text that reads back to the same
// number and the same text; lenient reading never fails on an in-range number and agrees with
// strict reading where that succeeds; an accepted text reads as the correctly rounded value.
#include "fuzzcheck.h"

#include "tests/support/shortestsearch.h"
#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace zul;
using zul::testing::shortestBySearch;

template <typename T> void checkShortest(T value, const std::string& text, int maxDigits) {
    FUZZ_CHECK(std::strtod(text.c_str(), nullptr) == shortestBySearch(value, maxDigits));
    std::string appended = "=";
    appendPlainText(appended, value);
    appendSignedText(appended, value);
    FUZZ_CHECK(appended == "=" + text + signedText(value));
}

void checkRoundTrip(double read) {
    if (!std::isfinite(read)) return;
    // Double rule.
    const std::string d = plainText(read);
    const double d2 = parseStrict(d);
    FUZZ_CHECK(plainText(d2) == d);
    if (read != 0) checkShortest(read, d, 15);
    FUZZ_CHECK(parseStrict(signedText(read)) == d2);
    // Single rule, as a field shows a float.
    const float f = static_cast<float>(read);
    if (!std::isfinite(f)) return;
    const std::string s = plainText(f);
    FUZZ_CHECK(!s.empty() && s.front() != ' ');
    const float f2 = static_cast<float>(parseStrict(s));
    FUZZ_CHECK(plainText(f2) == s);
    if (f != 0) checkShortest(f, s, 7);
    const std::string blank = signedText(f);
    FUZZ_CHECK(blank.front() == ' ' || blank.front() == '-');
}

// An accepted text reads as the correctly rounded value, as the C library reads it (below the
// normal range the two may differ on what is too small to tell from zero).
void checkValue(std::string_view text, double strict) {
    const std::string trimmed(trimBlanks(text));
    const double reference = std::strtod(trimmed.c_str(), nullptr);
    if (std::isnormal(reference) || reference == 0) FUZZ_CHECK(strict == reference);
}

void checkPicture(std::string_view picture, double value) {
    if (picture.size() > 40) picture = picture.substr(0, 40);
    try {
        const std::string shown = formatPicture(value, picture);
        (void)shown;
    } catch (const RangeError&) {
    } catch (const ArithmeticError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    double strict = 0;
    bool read = false;
    try {
        strict = parseStrict(text);
        read = true;
    } catch (const ConversionError&) {
    } catch (const RangeError&) {
    }
    FUZZ_CHECK(isNumber(text) == read);
    if (read) {
        checkValue(text, strict);
        checkRoundTrip(strict);
        FUZZ_CHECK(parseLenient(text) == strict);
    } else {
        try {
            checkRoundTrip(parseLenient(text));
        } catch (const RangeError&) {
        }
    }
    try {
        parseStrictNamed("field", text);
    } catch (const ConversionError&) {
    } catch (const RangeError&) {
    }

    // A picture before the first '|', a number text after it.
    const auto [picture, rest] = fuzz::cut(text, '|');
    try {
        checkPicture(picture, parseLenient(rest));
    } catch (const RangeError&) {
    }
    if (read) {
        try {
            (void)roundToInt16(strict);
        } catch (const RangeError&) {
        }
        (void)roundHalfEven(strict);
    }
    return 0;
}
