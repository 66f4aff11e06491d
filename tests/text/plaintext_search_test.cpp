// The shortest number text against a plain search over every digit count from one, and the
// picture formatter's rounding against the exact decimal expansion.
#include "tests/support/shortestsearch.h"
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace zul {
namespace {

double shortestByFullSearch(float value) {
    return testing::shortestBySearch(value, 7);
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

// Powers of two have a rounding interval twice as wide above as below: the nearest text of the
// shortest length may fall outside it, and a longer text is needed.
TEST(PlainTextSearch, PowersOfTwoOverTheWholeRange) {
    for (int e = -149; e <= 127; ++e) {
        const float v = std::ldexp(1.0f, e);
        for (float x : {v, -v}) {
            const std::string text = plainText(x);
            ASSERT_EQ(std::strtod(text.c_str(), nullptr), shortestByFullSearch(x)) << text;
        }
    }
    for (int e = -1074; e <= 1023; ++e) {
        const double v = std::ldexp(1.0, e);
        const std::string text = plainText(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), testing::shortestBySearch(v, 15)) << text;
    }
}

TEST(PlainTextSearch, DoublesSameDigitsAsTheFullSearch) {
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> hundredths(-1000000, 1000000);
    for (int i = 0; i < 100000; ++i) {
        double v = std::bit_cast<double>(rng());
        if (i % 2 == 0) v = hundredths(rng) / 100.0;
        if (!std::isfinite(v) || v == 0) continue;
        const std::string text = plainText(v);
        // Fifteen digits may not name the number: compare with what fifteen digits give.
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), testing::shortestBySearch(v, 15)) << text;
    }
}

// Single-precision texts from 2^-17 to 2^24 are worked out in integers: check them where that
// is hardest, around ties at the next power of ten (numbers of few binary places), at the
// powers of ten, the ends of that range and the 7-digit whole numbers.
TEST(PlainTextSearch, DirectDigitsAtTiesPowersOfTenAndTheRangeEnds) {
    std::vector<float> values;
    for (int places = 1; places <= 12; ++places)
        for (int k = 1; k < 4000; k += 3)
            values.push_back(std::ldexp(static_cast<float>(k), -places));
    const auto around = [&](float centre, int steps) {
        float up = centre, down = centre;
        for (int i = 0; i < steps; ++i) {
            values.push_back(up = std::nextafter(up, 1e30f));
            values.push_back(down = std::nextafter(down, 0.0f));
        }
    };
    for (int e = -6; e <= 8; ++e)
        around(static_cast<float>(std::pow(10.0, e)), 3000);
    around(std::ldexp(1.0f, -17), 3000);
    around(std::ldexp(1.0f, 24), 3000);
    around(9999999.0f, 100);
    for (float v : values) {
        for (float x : {v, -v}) {
            const std::string text = plainText(x);
            ASSERT_EQ(std::strtod(text.c_str(), nullptr), shortestByFullSearch(x)) << text;
        }
    }
}

// The appending forms write what the returning forms return.
TEST(PlainTextSearch, AppendedTextsMatch) {
    std::mt19937 rng(3);
    std::string out = "x";
    std::string expected = "x";
    for (int i = 0; i < 2000; ++i) {
        float f = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
        if (!std::isfinite(f)) f = static_cast<float>(i) - 1000.5f;
        const double d = static_cast<double>(f) * 3.1;
        appendPlainText(out, f);
        appendSignedText(out, f);
        appendPlainText(out, d);
        appendSignedText(out, d);
        expected += plainText(f) + signedText(f) + plainText(d) + signedText(d);
    }
    EXPECT_EQ(out, expected);
    std::string zero;
    appendSignedText(zero, 0.0f);
    EXPECT_EQ(zero, " 0");
}

// "0.000000" shows every rounded digit: compare with the exact expansion rounded half away
// from zero, over magnitudes where the integer path and the long expansion each apply.
TEST(FormatPictureRounding, SameDigitsAsTheExactExpansion) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> exponent(-12, 22);
    std::string exact(1500, '\0');
    for (int i = 0; i < 50000; ++i) {
        double v = std::pow(10.0, exponent(rng)) * ((rng() & 1) ? -1 : 1);
        if (i % 3 == 0) v = std::round(v * 1e6) / 1e6 + ((rng() & 1) ? 5e-7 : 0); // near ties
        const auto r = std::to_chars(exact.data(), exact.data() + exact.size(), std::fabs(v),
                                     std::chars_format::fixed, 1100);
        std::string digits(exact.data(), r.ptr);
        const std::size_t point = digits.find('.');
        const bool up = digits[point + 7] >= '5';
        digits = digits.substr(0, point) + digits.substr(point + 1, 6);
        if (up) {
            std::size_t k = digits.size();
            while (k > 0 && digits[k - 1] == '9')
                digits[--k] = '0';
            if (k == 0)
                digits.insert(digits.begin(), '1');
            else
                ++digits[k - 1];
        }
        std::string expected = digits.substr(0, digits.size() - 6);
        expected.erase(0, std::min(expected.find_first_not_of('0'), expected.size() - 1));
        expected += '.' + digits.substr(digits.size() - 6);
        if (v < 0 && expected.find_first_of("123456789") != std::string::npos)
            expected.insert(0, "-");
        ASSERT_EQ(formatPicture(v, "0.000000"), expected) << v;
    }
}

// Pictures of placeholders alone take a shorter way; a leading literal blank sends the same
// picture through the general layout, which must give the same text after the blank.
TEST(FormatPictureLayout, PlaceholderPicturesMatchTheGeneralLayout) {
    const char* const pictures[] = {"##0.00", "###.00", "0.0000", ".0000", "##0", "#.##",
                                    "0.#0",   "00.00#", "#",      "0",     "",    "#0#.#0#"};
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> exponent(-7, 9);
    for (int i = 0; i < 20000; ++i) {
        double v = std::pow(10.0, exponent(rng)) * ((rng() & 1) ? -1 : 1);
        if (i % 4 == 0) v = std::round(v * 100) / 100 + ((rng() & 1) ? 0.005 : 0); // near ties
        if (i % 50 == 0) v = (rng() & 1) ? 0.0 : -0.0001;
        for (const char* picture : pictures) {
            const std::string general = formatPicture(v, std::string(" ") + picture);
            ASSERT_EQ(formatPicture(v, picture), general.substr(1)) << v << " " << picture;
        }
    }
}

} // namespace
} // namespace zul
