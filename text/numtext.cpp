#include "text/numtext.h"

#include "text/blanks.h"
#include "text/errors.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace zul {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string notANumber(std::string_view text) {
    return "\"" + std::string(text) + "\" is not a number";
}

// Length of the longest prefix of `s` that is a decimal number (sign, digits with an optional
// point, optional exponent); 0 when `s` does not start with one. An exponent counts only when at
// least one digit follows the letter and its sign.
std::size_t numberPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expStart = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > expStart) i = j;
    }
    return i;
}

// Decimal exponent of the leading significant digit of a well-formed number text (1 for "5",
// 0 for ".5", -1 for ".05", 3 for "5e2"); tells overflow from underflow when conversion reports
// a result out of range. Saturates instead of overflowing on absurd exponents.
long long leadingMagnitude(std::string_view s) {
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') ++i;
    long long intDigits = 0;
    long long leadingFracZeros = 0;
    bool seen = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        if (s[i] != '0') seen = true;
        if (seen) ++intDigits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (s[i] != '0') seen = true;
            if (!seen) ++leadingFracZeros;
        }
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        for (; i < s.size() && isDigit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), LLONG_MAX / 20);
        if (negative) exponent = -exponent;
    }
    return (intDigits > 0 ? intDigits : -leadingFracZeros) + exponent;
}

// Converts a text already known to be a well-formed decimal number.
double convertNumber(std::string_view number, std::string_view original) {
    std::string_view s = number;
    // from_chars takes no plus sign.
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (leadingMagnitude(s) > 0)
            throw RangeError("\"" + std::string(original) + "\" is out of range");
        return 0.0; // too small to be told from zero
    }
    if (ec != std::errc{} || end != s.data() + s.size())
        throw ConversionError(notANumber(original));
    // No reading yields a negative zero: it would later show as "-0".
    return value == 0.0 ? 0.0 : value;
}

// Decimal digits of a non-negative finite number rounded half away from zero to `decimals`
// places, judged on the exact binary value. The integer digits carry no leading zeros (empty for
// zero); the fraction has exactly `decimals` digits.
struct RoundedDigits {
    std::string integer;
    std::string fraction;
};

// Fast exact path: magnitude = m * 2^e with a 53-bit m, so m * 10^d is an integer of at most
// 53 + 60 bits for d <= 18, and adding half of 2^-e before shifting right by -e rounds it half
// away from zero without any decimal expansion. Returns false where it does not apply.
bool roundedDigitsExact(double magnitude, int decimals, RoundedDigits& out) {
    if (decimals > 18 || !(magnitude < 1e15)) return false;
    unsigned __int128 scaled = 0;
    if (magnitude != 0) {
        int exponent = 0;
        const double fraction = std::frexp(magnitude, &exponent); // magnitude = fraction * 2^e
        const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
        const int shift = 53 - exponent; // magnitude = mantissa * 2^-shift
        unsigned __int128 power = 1;
        for (int i = 0; i < decimals; ++i)
            power *= 10;
        const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * power;
        if (shift <= 0) {
            scaled = product << -shift; // a whole number: nothing to round (below 1e15 * 10^18)
        } else if (shift < 127) {
            scaled = (product + (static_cast<unsigned __int128>(1) << (shift - 1))) >> shift;
        } else {
            scaled = 0; // below 2^-74: rounds to zero at 18 places
        }
    }
    char buffer[48];
    int length = 0;
    do {
        buffer[length++] = static_cast<char>('0' + static_cast<int>(scaled % 10));
        scaled /= 10;
    } while (scaled != 0);
    std::string digits;
    digits.reserve(static_cast<std::size_t>(std::max(length, decimals + 1)));
    for (int i = length; i <= decimals; ++i)
        digits += '0';
    for (int i = length - 1; i >= 0; --i)
        digits += buffer[i];
    const std::size_t intLength = digits.size() - static_cast<std::size_t>(decimals);
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    const std::size_t intStart =
        firstNonZero == std::string::npos ? intLength : std::min(firstNonZero, intLength);
    out.integer = digits.substr(intStart, intLength - intStart);
    out.fraction = digits.substr(intLength);
    return true;
}

RoundedDigits roundedDigits(double magnitude, int decimals) {
    if (RoundedDigits fast; roundedDigitsExact(magnitude, decimals, fast)) return fast;
    // Enough fraction digits for the exact expansion: the lowest bit of a double with binary
    // exponent e is 2^(e-53), which has 53-e decimal places. One more digit than asked decides
    // the rounding, whatever follows it.
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    const int exactPlaces = std::clamp(53 - binaryExponent, 0, 1075);
    const int precision = std::max(exactPlaces, decimals + 1);

    std::string text(static_cast<std::size_t>(precision) + 330, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                      std::chars_format::fixed, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));

    const std::size_t point = text.find('.');
    std::string digits =
        text.substr(0, point) + text.substr(point + 1, static_cast<std::size_t>(decimals));
    const bool roundUp = text[point + 1 + static_cast<std::size_t>(decimals)] >= '5';
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const std::size_t intLength = digits.size() - static_cast<std::size_t>(decimals);
    RoundedDigits out{digits.substr(0, intLength), digits.substr(intLength)};
    const std::size_t firstNonZero = out.integer.find_first_not_of('0');
    out.integer.erase(0, firstNonZero == std::string::npos ? out.integer.size() : firstNonZero);
    return out;
}

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

void requireFinite(double value) {
    if (!std::isfinite(value)) throw ArithmeticError("number is not finite");
}

// Shortest round-trip text of `value` with at most `maxDigits` significant digits. Fixed
// notation while the leading digit's decimal exponent lies in -4..maxDigits-1, otherwise an
// exponent form with a sign and at least two exponent digits ("1E-05", "1.5E+08").
template <typename T> std::string plain(T value, int maxDigits) {
    requireFinite(static_cast<double>(value));
    if (value == 0) return "0";

    std::array<char, 64> buffer{};
    std::string_view scientific;
    // No text with fewer digits than the shortest one that reads back as the value can do:
    // the search starts there instead of at one digit.
    std::array<char, 64> shortestBuffer{};
    std::string_view shortest;
    int first = 0;
    {
        const auto r =
            std::to_chars(shortestBuffer.data(), shortestBuffer.data() + shortestBuffer.size(),
                          value, std::chars_format::scientific);
        shortest = std::string_view(shortestBuffer.data(),
                                    static_cast<std::size_t>(r.ptr - shortestBuffer.data()));
        for (char c : shortest.substr(0, shortest.find('e')))
            if (isDigit(c)) ++first;
        first = std::clamp(first, 1, maxDigits);
    }
    for (int digits = first; digits <= maxDigits; ++digits) {
        const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                     std::chars_format::scientific, digits - 1);
        scientific =
            std::string_view(buffer.data(), static_cast<std::size_t>(r.ptr - buffer.data()));
        if (scientific == shortest) break; // reads back as the value by construction
        T back{};
        std::from_chars(scientific.data(), scientific.data() + scientific.size(), back);
        if (back == value) break;
    }

    const bool negative = scientific.front() == '-';
    if (negative) scientific.remove_prefix(1);
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e))
        if (isDigit(c)) digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::string_view expText = scientific.substr(e + 1);
    if (expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < maxDigits) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto intLength = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intLength) {
                out += digits;
                out.append(intLength - digits.size(), '0');
            } else {
                out += digits.substr(0, intLength);
                out += '.';
                out += digits.substr(intLength);
            }
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string expDigits = std::to_string(std::abs(exponent));
        if (expDigits.size() < 2) out += '0';
        out += expDigits;
    }
    return out;
}

std::string withSignBlank(std::string text) {
    if (text.front() != '-') text.insert(text.begin(), ' ');
    return text;
}

} // namespace

double parseStrict(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    if (s.empty() || numberPrefix(s) != s.size()) throw ConversionError(notANumber(text));
    return convertNumber(s, text);
}

double parseStrictNamed(std::string_view name, std::string_view text) {
    const std::string quoted = std::string(name) + ": \"" + std::string(text) + "\" is ";
    try {
        return parseStrict(text);
    } catch (const ConversionError&) {
        throw ConversionError(quoted + "not a number");
    } catch (const RangeError&) {
        throw RangeError(quoted + "out of range");
    }
}

bool isNumber(std::string_view text) {
    try {
        parseStrict(text);
        return true;
    } catch (const Error&) {
        return false;
    }
}

double parseLenient(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (!isBlank(c)) compact += c;
    const std::size_t length = numberPrefix(compact);
    if (length == 0) return 0.0;
    return convertNumber(std::string_view(compact).substr(0, length), text);
}

// Layout: integer digits fill the integer placeholders from the right; a '#' left of every '0'
// shows nothing when not significant, and digits beyond the placeholders all go where the first
// one stands. Fraction digits fill the fraction placeholders from the left; a '#' there drops
// its digit when that digit and every one after it is an insignificant zero. The point is always
// written, so a whole number under "#.##" ends in a point ("5."). A minus sign stands where the
// first integer placeholder is (after any leading literal text, " -1.00" under " ##.00") or, in
// a picture without integer placeholders, ahead of the digits before the point ("-.5000").
std::string formatPicture(double value, std::string_view picture) {
    requireFinite(value);
    const std::size_t point = picture.find('.');
    const std::string_view intPart = picture.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view{} : picture.substr(point + 1);

    const auto decimals =
        static_cast<int>(std::count_if(fracPart.begin(), fracPart.end(), isPlaceholder));
    const RoundedDigits rounded = roundedDigits(std::fabs(value), decimals);
    const bool negative =
        value < 0 &&
        (!rounded.integer.empty() || rounded.fraction.find_first_not_of('0') != std::string::npos);

    const auto countPlaceholders = [](std::string_view part) {
        return static_cast<std::size_t>(std::count_if(part.begin(), part.end(), isPlaceholder));
    };
    const std::size_t firstZero = intPart.find('0');
    const std::size_t mandatory =
        firstZero == std::string_view::npos ? 0 : countPlaceholders(intPart.substr(firstZero));
    std::string shown = rounded.integer;
    if (shown.size() < mandatory) shown.insert(0, mandatory - shown.size(), '0');

    const std::size_t slots = countPlaceholders(intPart);
    std::string out;
    std::size_t slot = 0;
    for (char c : intPart) {
        if (!isPlaceholder(c)) {
            out += c;
            continue;
        }
        const std::size_t fromRight = slots - 1 - slot;
        if (slot == 0) {
            if (negative) out += '-';
            if (shown.size() > fromRight) out += shown.substr(0, shown.size() - fromRight);
        } else if (fromRight < shown.size()) {
            out += shown[shown.size() - 1 - fromRight];
        }
        ++slot;
    }
    if (slots == 0) {
        if (negative) out += '-';
        out += shown;
    }
    if (point == std::string_view::npos) return out;

    out += '.';
    const std::size_t lastSignificant = rounded.fraction.find_last_not_of('0');
    std::size_t lastMandatory = std::string::npos;
    for (std::size_t k = 0; char c : fracPart) {
        if (!isPlaceholder(c)) continue;
        if (c == '0') lastMandatory = k;
        ++k;
    }
    const auto shownUpTo = [&](std::size_t k) {
        return (lastSignificant != std::string::npos && k <= lastSignificant) ||
               (lastMandatory != std::string::npos && k <= lastMandatory);
    };
    std::size_t k = 0;
    for (char c : fracPart) {
        if (!isPlaceholder(c)) {
            out += c;
            continue;
        }
        if (shownUpTo(k)) out += rounded.fraction[k];
        ++k;
    }
    return out;
}

std::string plainText(float value) {
    return plain(value, 7);
}
std::string plainText(double value) {
    return plain(value, 15);
}

std::string signedText(float value) {
    return withSignBlank(plainText(value));
}
std::string signedText(double value) {
    return withSignBlank(plainText(value));
}

double roundHalfEven(double value) {
    const double below = std::floor(value);
    // Exact: a double minus its floor loses no bits.
    const double diff = value - below;
    if (diff < 0.5) return below;
    if (diff > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::int16_t roundToInt16(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) throw RangeError("Overflow");
    return static_cast<std::int16_t>(r);
}

} // namespace zul
