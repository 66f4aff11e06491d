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

// Powers of ten that a double holds exactly: 10^22 is the last (5^22 < 2^53).
constexpr auto kExactPowers = [] {
    std::array<double, 23> powers{};
    powers[0] = 1.0;
    for (std::size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10.0;
    return powers;
}();

// The powers of ten a 64-bit integer holds, 10^0 to 10^18.
constexpr auto kTenPowers = [] {
    std::array<std::uint64_t, 19> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

// "00" to "99", for writing digits two at a time.
constexpr auto kPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the digits of `v` ending at `end`; returns where they start.
char* writeDigits(std::uint32_t v, char* end) {
    for (; v >= 100; v /= 100) {
        end -= 2;
        std::memcpy(end, &kPairs[2 * (v % 100)], 2);
    }
    if (v >= 10) {
        end -= 2;
        std::memcpy(end, &kPairs[2 * v], 2);
    } else {
        *--end = static_cast<char>('0' + v);
    }
    return end;
}

enum class Quick { Read, NotANumber, Slow };

// One pass over a text without surrounding blanks: the strict syntax (as numberPrefix taking the
// whole text), and the value where it comes exactly from one operation. A decimal whose
// significant digits make an integer w <= 2^53 with a power of ten 10^e, |e| <= 22, is
// w * 10^e or w / 10^-e: both operands are exact doubles, so the one rounding of the product or
// quotient is the correct rounding of the decimal, as the general reader gives it. Slow: a
// well-formed number outside that case.
Quick quickNumber(std::string_view s, double& value) {
    const char* p = s.data();
    const char* const end = p + s.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    // Every digit goes into w; past 19 digits it may wrap, and the general reader decides.
    std::uint64_t w = 0;
    const char* const intStart = p;
    for (; p != end && isDigit(*p); ++p)
        w = w * 10 + static_cast<std::uint64_t>(*p - '0');
    auto digits = p - intStart;
    int exponent = 0;
    if (p != end && *p == '.') {
        const char* const fracStart = ++p;
        for (; p != end && isDigit(*p); ++p)
            w = w * 10 + static_cast<std::uint64_t>(*p - '0');
        digits += p - fracStart;
        exponent = -static_cast<int>(std::min<std::ptrdiff_t>(p - fracStart, 100000));
    }
    if (digits == 0) return Quick::NotANumber;
    const bool slow = digits > 19;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        if (p == end || !isDigit(*p)) return Quick::NotANumber; // "1e", "1e+": no exponent
        int e = 0;
        for (; p != end && isDigit(*p); ++p)
            e = std::min(e * 10 + (*p - '0'), 100000);
        exponent += negativeExponent ? -e : e;
    }
    if (p != end) return Quick::NotANumber;
    if (slow || w > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return Quick::Slow;
    if (w == 0) {
        value = 0.0; // no reading yields a negative zero
        return Quick::Read;
    }
    const auto magnitude = static_cast<double>(w);
    value = exponent >= 0 ? magnitude * kExactPowers[static_cast<std::size_t>(exponent)]
                          : magnitude / kExactPowers[static_cast<std::size_t>(-exponent)];
    if (negative) value = -value;
    return Quick::Read;
}

// Converts a text already known to be a well-formed decimal number by the general reader.
double readGeneral(std::string_view number, std::string_view original) {
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

// Converts a text already known to be a well-formed decimal number.
double convertNumber(std::string_view number, std::string_view original) {
    double value = 0.0;
    if (quickNumber(number, value) == Quick::Read) return value;
    return readGeneral(number, original);
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
    // magnitude = mantissa * 2^-shift, read from the bits (IEEE 754 binary64).
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased ? fractionBits | (std::uint64_t{1} << 52) : fractionBits;
    const int shift = biased ? 1075 - biased : 1074;
    const unsigned __int128 product =
        static_cast<unsigned __int128>(mantissa) * kTenPowers[static_cast<std::size_t>(decimals)];
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
    // Most numbers fit 64 bits, where division by ten is a multiplication, and most of those
    // 32 bits, where it is a cheaper one.
    auto small = static_cast<std::uint64_t>(scaled);
    while (small > std::numeric_limits<std::uint32_t>::max()) {
        *--p = static_cast<char>('0' + static_cast<int>(small % 10));
        small /= 10;
    }
    p = writeDigits(static_cast<std::uint32_t>(small), p);
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

// Room for the largest plain text (a sign, "0.", three zeros and 15 digits, or 15 digits, a point
// and "E+308") and for a block of 24 digits copied whole where a digit part starts.
constexpr std::size_t kPlainMax = 48;

// The digits of a plain text: the significant ones without trailing zeros (a view into
// `buffer`), the decimal exponent of the first, the sign.
struct PlainDigits {
    std::array<char, 48> buffer; // room past the digits for the fixed-size copies of the layout
    std::string_view digits;
    int exponent = 0;
    bool negative = false;
};

// Writes `n` (not zero, below 2^32) as the digits of `d`, `p` the power of ten of its last
// digit; trailing zeros are dropped.
void setDigits(PlainDigits& d, std::uint64_t n, int p) {
    char* end = d.buffer.data() + 16;
    const char* first = writeDigits(static_cast<std::uint32_t>(n), end);
    d.exponent = p + static_cast<int>(end - first) - 1;
    while (end - first > 1 && end[-1] == '0')
        --end;
    d.digits = std::string_view(first, static_cast<std::size_t>(end - first));
}

// The digits of a single-precision number from 2^-17 to below 2^24, worked out in 64-bit
// integers. There the number is m / 2^k (m of 24 bits, 0 <= k <= 40), and the numbers that read
// back as it lie within 1 / 2^(k+1) of it either way (except at a power of two, where the
// interval below is half as wide). The shortest round-trip text is the multiple of the largest
// power of ten 10^p found in that interval that lies nearest the number; when there is none with
// at most 7 digits, the number rounded to 7 digits is the text. False where the general path must
// decide: a tie between two nearest multiples, a multiple on the edge of the interval, a power of
// two below 1, a whole number of 8 digits.
bool quickDigits(float value, PlainDigits& d) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto biased = static_cast<int>((bits >> 23) & 0xffu);
    const int k = 150 - biased; // value = m / 2^k
    if (k < 0 || k > 40) return false;
    const std::uint64_t fraction = bits & 0x7fffffu;
    const std::uint64_t m = fraction | 0x800000u;
    const std::uint64_t unit = std::uint64_t{1} << k;
    d.negative = (bits >> 31) != 0;
    if ((m & (unit - 1)) == 0) {
        // A whole number: every other number that short is a float of its own.
        const std::uint64_t whole = m >> k;
        if (whole >= 10'000'000) return false;
        setDigits(d, whole, 0);
        return true;
    }
    if (fraction == 0) return false;

    static constexpr std::array<double, 8> kTenths = {1e-7, 1e-6, 1e-5, 1e-4,
                                                      1e-3, 1e-2, 1e-1, 1e0};
    // The decimal exponent of the leading digit: floor(log10 |value|) is b log10(2) rounded
    // down or one more, b the binary exponent. No float lies between 10^-j and the double
    // nearest it, so the comparison with the table's doubles is exact.
    const int estimate = ((biased - 127) * 1233) >> 12;
    const double magnitude = std::fabs(static_cast<double>(value));
    const int next = estimate + 1;
    const double tenToNext = next <= 0
                                 ? kTenths[static_cast<std::size_t>(next + 7)]
                                 : static_cast<double>(kTenPowers[static_cast<std::size_t>(next)]);
    const int leading = magnitude >= tenToNext ? next : estimate;
    const int pMin = leading - 6;
    if (pMin > 0 || pMin < -12) return false;

    // The multiple of 10^p nearest the number is n 10^p, n = round(m 10^-p / 2^k); it lies
    // within 1 / 2^(k+1) of m / 2^k when 2 |n 2^k - m 10^-p| <= 10^-p. 1: inside, 0: outside,
    // -1: undecided (on the edge, or a tie where it matters: inside, or rounding to 7 digits).
    std::uint64_t n = 0;
    const auto nearest = [&](int p) {
        const std::uint64_t scale = kTenPowers[static_cast<std::size_t>(-p)];
        const std::uint64_t scaled = m * scale; // below 2^24 * 10^12 < 2^64
        n = scaled >> k;
        const std::uint64_t rest = scaled & (unit - 1);
        std::uint64_t distance = rest;
        if (2 * rest > unit) {
            ++n;
            distance = unit - rest;
        }
        if (2 * distance == scale) return -1;
        const int inside = 2 * distance < scale ? 1 : 0;
        if (2 * rest == unit && (inside || p == pMin)) return -1;
        return inside;
    };
    const int inside = nearest(pMin);
    if (inside < 0) return false;
    setDigits(d, n, pMin);
    if (inside == 0) return true; // more than 7 digits: the number rounded to 7
    // The multiple found is one of every power of ten its trailing zeros allow; a multiple of a
    // larger power may lie in the interval too. Not being whole, the number has no integer in
    // its interval: the powers stay below 1.
    for (;;) {
        const int p = d.exponent - static_cast<int>(d.digits.size()) + 2;
        if (p >= 0) break;
        const int found = nearest(p);
        if (found < 0) return false;
        if (found == 0) break;
        setDigits(d, n, p);
    }
    return true;
}

// The digits by the standard library's shortest round-trip text. That text is the answer
// whenever it has at most `maxDigits` digits: it is the nearest of the shortest texts, so no
// correctly rounded text of that length differs from it, except where the interval around a
// power of two is lopsided (there the search decides). Longer, the text rounded to `maxDigits`
// digits is taken.
template <typename T> void generalDigits(T value, int maxDigits, PlainDigits& d) {
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

    d.negative = scientific.front() == '-';
    if (d.negative) scientific.remove_prefix(1);
    const std::size_t mark = scientific.find('e');
    std::size_t length = 0;
    for (char c : scientific.substr(0, mark))
        if (isDigit(c)) d.buffer[length++] = c;
    while (length > 1 && d.buffer[length - 1] == '0')
        --length;
    d.digits = std::string_view(d.buffer.data(), length);
    // The exponent: a sign and two or three digits ("e-05", "e+308").
    int exponent = 0;
    for (char c : scientific.substr(mark + 2))
        exponent = exponent * 10 + (c - '0');
    d.exponent = scientific[mark + 1] == '-' ? -exponent : exponent;
}

// Shortest round-trip text of `value` with at most `maxDigits` significant digits, written at
// `out` (kPlainMax bytes); returns its length. Fixed notation while the leading digit's decimal
// exponent lies in -4..maxDigits-1, otherwise an exponent form with a sign and at least two
// exponent digits ("1E-05", "1.5E+08").
template <typename T> std::size_t writePlain(T value, int maxDigits, char* out) {
    requireFinite(static_cast<double>(value));
    if (value == 0) {
        out[0] = '0';
        return 1;
    }
    PlainDigits d;
    bool quick = false;
    if constexpr (sizeof(T) == 4) quick = quickDigits(value, d);
    if (!quick) generalDigits(value, maxDigits, d);

    char* p = out;
    if (d.negative) *p++ = '-';
    const std::string_view digits = d.digits;
    const int exponent = d.exponent;
    // Digits (at most 15 of them) and zeros (at most 14) are copied in fixed-size blocks, which
    // the compiler turns into a few moves: a digit part starts within the first 24 bytes of the
    // digit buffer and of `out`, so both have room for a block past it.
    static_assert(kPlainMax >= 24 + 24 && sizeof d.buffer >= 24 + 24);
    const auto put = [&p](std::string_view digitsPart) {
        std::memcpy(p, digitsPart.data(), 24);
        p += digitsPart.size();
    };
    const auto zeros = [&p](std::size_t n) {
        std::memset(p, '0', 16);
        p += n;
    };
    if (exponent >= -4 && exponent < maxDigits) {
        if (exponent < 0) {
            *p++ = '0';
            *p++ = '.';
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
        *p++ = 'E';
        *p++ = exponent < 0 ? '-' : '+';
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
    const std::string_view s = trimBlanks(text);
    double value = 0.0;
    switch (quickNumber(s, value)) {
    case Quick::Read:
        return value;
    case Quick::NotANumber:
        throw ConversionError(notANumber(text));
    case Quick::Slow:
        break;
    }
    return readGeneral(s, text);
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
    std::string_view s = text;
    if (std::any_of(text.begin(), text.end(), isBlank)) {
        compact.reserve(text.size());
        for (char c : text)
            if (!isBlank(c)) compact += c;
        s = compact;
    }
    const std::size_t length = numberPrefix(s);
    if (length == 0) return 0.0;
    return convertNumber(s.substr(0, length), text);
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
    // One pass over the picture: the point, the fraction's placeholders, and what a picture of
    // placeholders alone needs (the first '0' ahead of the point, the last one after it).
    std::size_t point = std::string_view::npos;
    std::size_t firstIntZero = std::string_view::npos;
    std::size_t lastFracZero = std::string_view::npos; // counted in fraction placeholders
    int decimals = 0;
    bool placeholdersOnly = true;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const char c = picture[i];
        if (point == std::string_view::npos) {
            if (c == '.')
                point = i;
            else if (c == '0' && firstIntZero == std::string_view::npos)
                firstIntZero = i;
            else if (!isPlaceholder(c))
                placeholdersOnly = false;
        } else if (c == '0') {
            lastFracZero = static_cast<std::size_t>(decimals++);
        } else if (c == '#') {
            ++decimals;
        } else {
            placeholdersOnly = false;
        }
    }
    const std::string_view intPart = picture.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view{} : picture.substr(point + 1);

    const RoundedDigits rounded(std::fabs(value), decimals);
    const std::string_view integer = rounded.integer();
    const std::string_view fraction = rounded.fraction();
    std::size_t lastSignificant = std::string_view::npos;
    for (std::size_t i = fraction.size(); i-- > 0;) {
        if (fraction[i] != '0') {
            lastSignificant = i;
            break;
        }
    }
    const bool negative =
        value < 0 && (!integer.empty() || lastSignificant != std::string_view::npos);

    const auto countPlaceholders = [](std::string_view part) {
        return static_cast<std::size_t>(std::count_if(part.begin(), part.end(), isPlaceholder));
    };
    // The integer digits shown: the rounded ones, with zeros ahead up to the mandatory count.
    const std::size_t mandatory = firstIntZero == std::string_view::npos ? 0
                                  : placeholdersOnly
                                      ? intPart.size() - firstIntZero
                                      : countPlaceholders(intPart.substr(firstIntZero));
    const std::size_t pad = mandatory > integer.size() ? mandatory - integer.size() : 0;
    const std::size_t shownSize = integer.size() + pad;
    const auto shownDigit = [&](std::size_t i) { return i < pad ? '0' : integer[i - pad]; };

    if (placeholdersOnly) {
        // Placeholders only, as in every field's picture: the layout below comes down to the
        // sign, every integer digit shown, and the fraction up to its last significant or last
        // mandatory digit.
        std::size_t fractionShown = lastFracZero == std::string_view::npos ? 0 : lastFracZero + 1;
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
    const auto shownUpTo = [&](std::size_t k) {
        return (lastSignificant != std::string_view::npos && k <= lastSignificant) ||
               (lastFracZero != std::string_view::npos && k <= lastFracZero);
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
