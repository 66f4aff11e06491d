#include "text/numtext.h"

#include "text/blanks.h"
#include "text/errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
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
// zero); the fraction has exactly `decimals` digits. Both are views into `m_digits` (or into
// `m_long` for numbers the exact integer path cannot take).
class RoundedDigits {
public:
    RoundedDigits(const RoundedDigits&) = delete; // views into its own storage
    RoundedDigits& operator=(const RoundedDigits&) = delete;
    RoundedDigits(double magnitude, int decimals) {
        if (!exact(magnitude, decimals)) expanded(magnitude, decimals);
    }
    std::string_view integer() const { return m_integer; }
    std::string_view fraction() const { return m_fraction; }

private:
    bool exact(double magnitude, int decimals);
    void expanded(double magnitude, int decimals);
    void split(const char* digits, std::size_t length, int decimals);

    std::array<char, 48> m_digits;
    std::string m_long;
    std::string_view m_integer;
    std::string_view m_fraction;
};

void RoundedDigits::split(const char* digits, std::size_t length, int decimals) {
    const std::size_t intLength = length - static_cast<std::size_t>(decimals);
    std::size_t intStart = 0;
    while (intStart < intLength && digits[intStart] == '0')
        ++intStart;
    m_integer = std::string_view(digits + intStart, intLength - intStart);
    m_fraction = std::string_view(digits + intLength, static_cast<std::size_t>(decimals));
}

// Fast exact path: magnitude = m * 2^e with a 53-bit m, so m * 10^d is an integer of at most
// 53 + 60 bits for d <= 18, and adding half of 2^-e before shifting right by -e rounds it half
// away from zero without any decimal expansion. Returns false where it does not apply.
bool RoundedDigits::exact(double magnitude, int decimals) {
    if (decimals > 18 || !(magnitude < 1e15)) return false;
    static constexpr auto kPowers = [] {
        std::array<std::uint64_t, 19> powers{};
        powers[0] = 1;
        for (std::size_t i = 1; i < powers.size(); ++i)
            powers[i] = powers[i - 1] * 10;
        return powers;
    }();
    // magnitude = mantissa * 2^-shift, read from the bits (IEEE 754 binary64).
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased ? fractionBits | (std::uint64_t{1} << 52) : fractionBits;
    const int shift = biased ? 1075 - biased : 1074;
    const unsigned __int128 product =
        static_cast<unsigned __int128>(mantissa) * kPowers[static_cast<std::size_t>(decimals)];
    // Below 1e15 the shift is at least 3; from 127 on the number is below 2^-74 and rounds to
    // zero at 18 places.
    unsigned __int128 scaled = 0;
    if (shift < 127)
        scaled = (product + (static_cast<unsigned __int128>(1) << (shift - 1))) >> shift;
    // Digits from the right, at least decimals + 1 of them (a zero integer digit included).
    char* const end = m_digits.data() + m_digits.size();
    char* p = end;
    while (scaled > std::numeric_limits<std::uint64_t>::max()) {
        *--p = static_cast<char>('0' + static_cast<int>(scaled % 10));
        scaled /= 10;
    }
    // Most numbers fit 64 bits, where division by ten is a multiplication.
    auto small = static_cast<std::uint64_t>(scaled);
    do {
        *--p = static_cast<char>('0' + static_cast<int>(small % 10));
        small /= 10;
    } while (small != 0);
    while (end - p <= decimals)
        *--p = '0';
    split(p, static_cast<std::size_t>(end - p), decimals);
    return true;
}

void RoundedDigits::expanded(double magnitude, int decimals) {
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
    std::string& digits = m_long;
    digits = text.substr(0, point) + text.substr(point + 1, static_cast<std::size_t>(decimals));
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
    split(digits.data(), digits.size(), decimals);
}

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

void requireFinite(double value) {
    if (!std::isfinite(value)) throw ArithmeticError("number is not finite");
}

// The search the direct method stands in for: the first digit count from `first` whose correctly
// rounded text reads back as the value. Only numbers whose rounding interval is lopsided (a power
// of two, with half the spacing below as above) come here.
template <typename T>
std::string_view searchShortest(T value, int first, int maxDigits, std::string_view shortest,
                                std::array<char, 64>& buffer) {
    std::string_view scientific;
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
    return scientific;
}

template <typename T> bool isPowerOfTwo(T value) {
    if constexpr (sizeof(T) == 4)
        return (std::bit_cast<std::uint32_t>(value) & 0x7fffffu) == 0;
    else
        return (std::bit_cast<std::uint64_t>(value) & 0xfffffffffffffull) == 0;
}

// Largest plain text: a sign, "0.", three zeros and 17 digits, or 17 digits, a point, "E+308".
constexpr std::size_t kPlainMax = 32;

// Shortest round-trip text of `value` with at most `maxDigits` significant digits, written at
// `out` (kPlainMax bytes); returns its length. Fixed notation while the leading digit's decimal
// exponent lies in -4..maxDigits-1, otherwise an exponent form with a sign and at least two
// exponent digits ("1E-05", "1.5E+08").
//
// The shortest round-trip text of the standard library is the answer whenever it has at most
// `maxDigits` digits: it is the nearest of the shortest texts, so no correctly rounded text of
// that length differs from it, except where the interval around a power of two is lopsided
// (there the search decides). Longer, the text rounded to `maxDigits` digits is taken.
template <typename T> std::size_t writePlain(T value, int maxDigits, char* out) {
    requireFinite(static_cast<double>(value));
    if (value == 0) {
        out[0] = '0';
        return 1;
    }
    std::array<char, 64> shortestBuffer;
    auto r = std::to_chars(shortestBuffer.data(), shortestBuffer.data() + shortestBuffer.size(),
                           value, std::chars_format::scientific);
    std::string_view scientific(shortestBuffer.data(),
                                static_cast<std::size_t>(r.ptr - shortestBuffer.data()));
    const std::size_t e = scientific.find('e');
    int count = 0;
    for (char c : scientific.substr(0, e))
        count += isDigit(c) ? 1 : 0;
    std::array<char, 64> buffer;
    if (count > maxDigits) {
        r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                          std::chars_format::scientific, maxDigits - 1);
        scientific =
            std::string_view(buffer.data(), static_cast<std::size_t>(r.ptr - buffer.data()));
    } else if (isPowerOfTwo(value)) {
        scientific = searchShortest(value, count, maxDigits, scientific, buffer);
    }

    char* p = out;
    if (scientific.front() == '-') {
        *p++ = '-';
        scientific.remove_prefix(1);
    }
    const std::size_t mark = scientific.find('e');
    std::array<char, 24> digitBuffer;
    std::size_t length = 0;
    for (char c : scientific.substr(0, mark))
        if (isDigit(c)) digitBuffer[length++] = c;
    while (length > 1 && digitBuffer[length - 1] == '0')
        --length;
    const std::string_view digits(digitBuffer.data(), length);
    // The exponent: a sign and two or three digits ("e-05", "e+308").
    int exponent = 0;
    for (char c : scientific.substr(mark + 2))
        exponent = exponent * 10 + (c - '0');
    if (scientific[mark + 1] == '-') exponent = -exponent;

    const auto put = [&p](std::string_view text) {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    };
    const auto zeros = [&p](std::size_t n) {
        std::memset(p, '0', n);
        p += n;
    };
    if (exponent >= -4 && exponent < maxDigits) {
        if (exponent < 0) {
            put("0.");
            zeros(static_cast<std::size_t>(-exponent - 1));
            put(digits);
        } else {
            const auto intLength = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intLength) {
                put(digits);
                zeros(intLength - digits.size());
            } else {
                put(digits.substr(0, intLength));
                *p++ = '.';
                put(digits.substr(intLength));
            }
        }
    } else {
        *p++ = digits[0];
        if (digits.size() > 1) {
            *p++ = '.';
            put(digits.substr(1));
        }
        put(exponent < 0 ? "E-" : "E+");
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) *p++ = '0';
        p = std::to_chars(p, p + 4, magnitude).ptr;
    }
    return static_cast<std::size_t>(p - out);
}

template <typename T> std::string plain(T value, int maxDigits) {
    std::array<char, kPlainMax> text;
    return std::string(text.data(), writePlain(value, maxDigits, text.data()));
}

template <typename T> void appendPlain(std::string& out, T value, int maxDigits, bool signBlank) {
    std::array<char, kPlainMax + 1> text;
    const std::size_t length = writePlain(value, maxDigits, text.data() + 1);
    const bool blank = signBlank && text[1] != '-';
    text[0] = ' ';
    out.append(text.data() + (blank ? 0 : 1), length + (blank ? 1 : 0));
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
    // The message is made only when it is needed: most fields read are numbers.
    const auto quoted = [&] { return std::string(name) + ": \"" + std::string(text) + "\" is "; };
    try {
        return parseStrict(text);
    } catch (const ConversionError&) {
        throw ConversionError(quoted() + "not a number");
    } catch (const RangeError&) {
        throw RangeError(quoted() + "out of range");
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

    const auto countPlaceholders = [](std::string_view part) {
        return static_cast<std::size_t>(std::count_if(part.begin(), part.end(), isPlaceholder));
    };
    const auto decimals = static_cast<int>(countPlaceholders(fracPart));
    const RoundedDigits rounded(std::fabs(value), decimals);
    const std::string_view integer = rounded.integer();
    const std::string_view fraction = rounded.fraction();
    const std::size_t lastSignificant = fraction.find_last_not_of('0');
    const bool negative =
        value < 0 && (!integer.empty() || lastSignificant != std::string_view::npos);

    // The integer digits shown: the rounded ones, with zeros ahead up to the mandatory count.
    const std::size_t firstZero = intPart.find('0');
    const std::size_t mandatory =
        firstZero == std::string_view::npos ? 0 : countPlaceholders(intPart.substr(firstZero));
    const std::size_t pad = mandatory > integer.size() ? mandatory - integer.size() : 0;
    const std::size_t shownSize = integer.size() + pad;
    const auto shownDigit = [&](std::size_t i) { return i < pad ? '0' : integer[i - pad]; };

    if (std::all_of(intPart.begin(), intPart.end(), isPlaceholder) &&
        std::all_of(fracPart.begin(), fracPart.end(), isPlaceholder)) {
        // Placeholders only, as in every field's picture: the layout below comes down to the
        // sign, every integer digit shown, and the fraction up to its last significant or last
        // mandatory digit.
        const std::size_t lastZero = fracPart.find_last_of('0');
        std::size_t fractionShown = lastZero == std::string_view::npos ? 0 : lastZero + 1;
        if (lastSignificant != std::string_view::npos)
            fractionShown = std::max(fractionShown, lastSignificant + 1);
        std::array<char, 64> buffer;
        if (shownSize + fractionShown + 2 <= buffer.size()) {
            char* p = buffer.data();
            if (negative) *p++ = '-';
            p = std::fill_n(p, pad, '0');
            p = std::copy(integer.begin(), integer.end(), p);
            if (point != std::string_view::npos) {
                *p++ = '.';
                p = std::copy_n(fraction.begin(), fractionShown, p);
            }
            return std::string(buffer.data(), p);
        }
    }

    // Every picture character gives at most one character, the integer digits and the sign
    // beyond that.
    std::string out(picture.size() + integer.size() + 2, '\0');
    char* p = out.data();
    const std::size_t slots = countPlaceholders(intPart);
    std::size_t slot = 0;
    for (char c : intPart) {
        if (!isPlaceholder(c)) {
            *p++ = c;
            continue;
        }
        const std::size_t fromRight = slots - 1 - slot;
        if (slot == 0) {
            if (negative) *p++ = '-';
            for (std::size_t i = 0; i + fromRight < shownSize; ++i)
                *p++ = shownDigit(i);
        } else if (fromRight < shownSize) {
            *p++ = shownDigit(shownSize - 1 - fromRight);
        }
        ++slot;
    }
    if (slots == 0) {
        if (negative) *p++ = '-';
        for (std::size_t i = 0; i < shownSize; ++i)
            *p++ = shownDigit(i);
    }
    if (point == std::string_view::npos) {
        out.resize(static_cast<std::size_t>(p - out.data()));
        return out;
    }

    *p++ = '.';
    std::size_t lastMandatory = std::string::npos;
    for (std::size_t k = 0; char c : fracPart) {
        if (!isPlaceholder(c)) continue;
        if (c == '0') lastMandatory = k;
        ++k;
    }
    const auto shownUpTo = [&](std::size_t k) {
        return (lastSignificant != std::string_view::npos && k <= lastSignificant) ||
               (lastMandatory != std::string::npos && k <= lastMandatory);
    };
    std::size_t k = 0;
    for (char c : fracPart) {
        if (!isPlaceholder(c)) {
            *p++ = c;
            continue;
        }
        if (shownUpTo(k)) *p++ = fraction[k];
        ++k;
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
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

void appendPlainText(std::string& out, float value) {
    appendPlain(out, value, 7, false);
}
void appendPlainText(std::string& out, double value) {
    appendPlain(out, value, 15, false);
}
void appendSignedText(std::string& out, float value) {
    appendPlain(out, value, 7, true);
}
void appendSignedText(std::string& out, double value) {
    appendPlain(out, value, 15, true);
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
