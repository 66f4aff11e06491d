#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace zul {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Each number written with its picture, and the text expected.
struct Formatted {
    double number;
    const char* picture;
    const char* text;
};

void expectFormatted(std::initializer_list<Formatted> cases) {
    for (const Formatted& c : cases)
        EXPECT_EQ(formatPicture(c.number, c.picture), c.text)
            << c.number << " \"" << c.picture << '"';
}

TEST(FormatPicture, LeadingDigitsFollowZeroAndHashPlaceholders) {
    expectFormatted({
        {0.5, "##0.00", "0.50"},
        {0.5, "###.00", ".50"},
        {-0.5, "###.00", "-.50"},
        {-1.0, "##.00", "-1.00"},
        {0.31006, "0.0000", "0.3101"},
        {0.5, ".0000", ".5000"},
        {0.0, "###.00", ".00"},
        {0.0, "##0", "0"},
        {56.25, "##0.00", "56.25"},
    });
}

TEST(FormatPicture, DigitsBeyondThePictureAreAllShown) {
    expectFormatted({
        {1234.5, "##0.00", "1234.50"},
        {12.3, "0.0000", "12.3000"},
        {-1.25, ".0000", "-1.2500"},
        {999.996, "##0.00", "1000.00"},
        {1e20, "##0", "100000000000000000000"},
    });
}

TEST(FormatPicture, RoundsHalfAwayFromZeroOnTheExactBinaryValue) {
    expectFormatted({
        {0.125, "###.00", ".13"},
        {-0.125, "###.00", "-.13"},
        {127.5, "##0", "128"},
        {126.5, "##0", "127"},
        {-126.5, "##0", "-127"},
        // 2.675, 0.995 and 1.005 lie just below the half; 12.345 and 99.995 just above it.
        {2.675, "###.00", "2.67"},
        {0.995, "###.00", ".99"},
        {1.005, "##0.00", "1.00"},
        {12.345, "##.00", "12.35"},
        {99.995, "##0.00", "100.00"},
        {0.00005, "0.0000", "0.0001"},
        {5e-324, "0.0000", "0.0000"},
        // Either side of the magnitude where rounding switches from integer arithmetic to the long
        // decimal expansion.
        {999999999999999.5, "##0", "1000000000000000"},
        {1e15 + 0.125, "##0.00", "1000000000000000.13"},
        {0.1234567890123456789, "0.000000000000000000", "0.123456789012345677"},
    });
}

TEST(FormatPicture, ZeroResultCarriesNoMinusSign) {
    expectFormatted({
        {-0.001, "###.00", ".00"},
        {-0.004, "##0.00", "0.00"},
        {-0.4, "##0", "0"},
        {-0.0, "0.0000", "0.0000"},
        {-0.5, "##0", "-1"},
    });
}

TEST(FormatPicture, LiteralTextIsCopiedAndSignFollowsIt) {
    expectFormatted({
        {5.0, " ##.00", " 5.00"},
        {0.5, " ##.00", " .50"},
        {12.0, " ##.00", " 12.00"},
        {-1.0, " ##.00", " -1.00"},
        {123.0, " ##.00", " 123.00"},
    });
}

TEST(FormatPicture, OptionalDecimalsDropInsignificantZeros) {
    expectFormatted({
        {5.0, "   #.##", "   5."},
        {0.5, "   #.##", "   .5"},
        {5.25, "   #.##", "   5.25"},
        {5.2, "   #.##", "   5.2"},
        {9.999, "   #.##", "   10."},
        {5.05, "   #.##", "   5.05"},
        {-0.5, "   #.##", "   -.5"},
    });
}

TEST(FormatPicture, NonFiniteNumbersAreRefused) {
    EXPECT_THROW(formatPicture(kNaN, "##0.00"), ArithmeticError);
    EXPECT_THROW(formatPicture(-kInf, "###.00"), ArithmeticError);
}

TEST(PlainText, SinglePrecisionShortestWithinSevenDigits) {
    EXPECT_EQ(plainText(2.2f), "2.2");
    EXPECT_EQ(plainText(128.0f), "128");
    EXPECT_EQ(plainText(0.25f), "0.25");
    EXPECT_EQ(plainText(-3.0f), "-3");
    EXPECT_EQ(plainText(0.1f), "0.1");
    EXPECT_EQ(plainText(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(plainText(100.0f / 3.0f), "33.33333");
    EXPECT_EQ(plainText(123456.7f), "123456.7");
    EXPECT_EQ(plainText(-0.0f), "0");
    // 16777217 has no float of its own; the nearest, 16777216, needs eight digits.
    EXPECT_EQ(plainText(16777216.0f), "1.677722E+07");
}

TEST(PlainText, SinglePrecisionExponentFormOutsideFixedRange) {
    EXPECT_EQ(plainText(0.0001f), "0.0001");
    EXPECT_EQ(plainText(0.00012345f), "0.00012345");
    EXPECT_EQ(plainText(1e-5f), "1E-05");
    EXPECT_EQ(plainText(-2.5e-7f), "-2.5E-07");
    EXPECT_EQ(plainText(1234567.0f), "1234567");
    EXPECT_EQ(plainText(12345678.0f), "1.234568E+07");
    EXPECT_EQ(plainText(1.5e8f), "1.5E+08");
    EXPECT_EQ(plainText(std::numeric_limits<float>::max()), "3.402823E+38");
    EXPECT_EQ(plainText(std::numeric_limits<float>::denorm_min()), "1E-45");
    EXPECT_EQ(plainText(9999999.0f), "9999999");
}

TEST(PlainText, DoublePrecisionShortestWithinFifteenDigits) {
    EXPECT_EQ(plainText(0.1 + 0.2), "0.3");
    EXPECT_EQ(plainText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(plainText(2.2), "2.2");
    EXPECT_EQ(plainText(static_cast<double>(2.2f)), "2.20000004768372");
    EXPECT_EQ(plainText(123456789012345.0), "123456789012345");
    EXPECT_EQ(plainText(1e15), "1E+15");
    EXPECT_EQ(plainText(0.00001), "1E-05");
    EXPECT_EQ(plainText(-97.5), "-97.5");
    EXPECT_THROW(plainText(kNaN), ArithmeticError);
    EXPECT_THROW(plainText(std::numeric_limits<float>::infinity()), ArithmeticError);
}

TEST(SignedText, BlankStandsForThePlusSign) {
    EXPECT_EQ(signedText(128.0), " 128");
    EXPECT_EQ(signedText(-3.0), "-3");
    EXPECT_EQ(signedText(0.0), " 0");
    EXPECT_EQ(signedText(-0.0), " 0");
    EXPECT_EQ(signedText(1.5f), " 1.5");
    EXPECT_EQ(signedText(-2.2f), "-2.2");
}

TEST(Rounding, TiesGoToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(2.4999999999999996), 2.0);
    EXPECT_EQ(roundHalfEven(-2.6), -3.0);
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_TRUE(std::isnan(roundHalfEven(kNaN)));
}

TEST(Rounding, SixteenBitRange) {
    EXPECT_EQ(roundToInt16(2.5), 2);
    EXPECT_EQ(roundToInt16(3.5), 4);
    EXPECT_EQ(roundToInt16(-2.5), -2);
    EXPECT_EQ(roundToInt16(12.5), 12);
    EXPECT_EQ(roundToInt16(32767.4), 32767);
    EXPECT_EQ(roundToInt16(-32768.5), -32768);
    EXPECT_THROW(roundToInt16(32767.5), RangeError);
    EXPECT_THROW(roundToInt16(-32768.6), RangeError);
    EXPECT_THROW(roundToInt16(1e10), RangeError);
    EXPECT_THROW(roundToInt16(kNaN), RangeError);
    EXPECT_THROW(roundToInt16(kInf), RangeError);
}

TEST(ParseStrict, AcceptsWholeDecimalNumbers) {
    EXPECT_EQ(parseStrict("12.5"), 12.5);
    EXPECT_EQ(parseStrict("  -3e2\t"), -300.0);
    EXPECT_EQ(parseStrict("+.5"), 0.5);
    EXPECT_EQ(parseStrict("1."), 1.0);
    EXPECT_EQ(parseStrict("1E-3"), 0.001);
    EXPECT_EQ(parseStrict("2.5e+1"), 25.0);
    EXPECT_EQ(parseStrict("0.3101"), 0.3101);
    EXPECT_FALSE(std::signbit(parseStrict("-0")));
}

TEST(ParseStrict, RejectsAnythingElseQuotingTheText) {
    for (const char* text : {"", "   ", "1,2.3", "12abc", ".", "1e", "1e+", "1 2", "--1", "+",
                             "inf", "nan", "0x10", "1.2.3", "e5"}) {
        try {
            parseStrict(text);
            ADD_FAILURE() << "accepted \"" << text << "\"";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "\"" + std::string(text) + "\" is not a number");
        }
    }
}

TEST(ParseStrict, NamedItemsAreNamedInTheError) {
    EXPECT_EQ(parseStrictNamed("Y", " 12.5 "), 12.5);
    try {
        parseStrictNamed("Y", "1,2.3");
        ADD_FAILURE();
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "Y: \"1,2.3\" is not a number");
    }
    try {
        parseStrictNamed("Chroma", "1e999");
        ADD_FAILURE();
    } catch (const RangeError& e) {
        EXPECT_EQ(std::string(e.what()), "Chroma: \"1e999\" is out of range");
    }
    EXPECT_TRUE(isNumber("-3e2"));
    EXPECT_FALSE(isNumber("5R"));
    EXPECT_FALSE(isNumber("1e999"));
}

TEST(ParseStrict, RangeOfTheDouble) {
    EXPECT_THROW(parseStrict("1e999"), RangeError);
    EXPECT_THROW(parseStrict("-1e999"), RangeError);
    EXPECT_THROW(parseStrict("1e99999999999999999999999"), RangeError);
    EXPECT_EQ(parseStrict("1e-999"), 0.0);
    EXPECT_EQ(parseStrict("0e999"), 0.0);
    EXPECT_EQ(parseStrict("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

// Strict reading against a reference: the syntax as a regular expression, the value from the C
// library's correctly rounded reader. Texts at the edges of the direct conversion (15 to 20
// digits, 2^53, powers of ten around 10^22, leading zeros) and random ones.
TEST(ParseStrict, SameAsTheReferenceReader) {
    const std::regex syntax(R"([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    // Edge texts, separated by '|'.
    const std::string_view edges =
        "5.|.5|+.5|-0|-0.0e5|00012.50|0.000000000000000000012|1e22|1e23|9e-22|9e-23|"
        "1.5e-22|123456789012345|1234567890123456|9007199254740992|9007199254740993|"
        "9007199254740993e-5|12345678901234567890|1234567890123456789|"
        "0.1234567890123456789|4.35|1e|1e+|e5|.|+|1.2.3|1,5|--1|0x1p3|inf|nan| 12.5\t|"
        "1 2|1e-0|7E+09";
    std::vector<std::string> texts;
    for (std::size_t from = 0; from <= edges.size();) {
        const std::size_t bar = std::min(edges.find('|', from), edges.size());
        texts.emplace_back(edges.substr(from, bar - from));
        from = bar + 1;
    }
    std::mt19937_64 rng(17);
    for (int i = 0; i < 100000; ++i) {
        std::string t = (rng() & 1) ? "-" : "";
        const int digits = 1 + static_cast<int>(rng() % 20);
        const int point = static_cast<int>(rng() % (digits + 2)) - 1;
        for (int d = 0; d < digits; ++d) {
            if (d == point) t += '.';
            t += static_cast<char>('0' + rng() % 10);
        }
        if (rng() % 3 == 0) t += "e" + std::to_string(static_cast<int>(rng() % 61) - 30);
        texts.push_back(t);
    }
    for (const std::string& text : texts) {
        const std::string trimmed(trimBlanks(text));
        if (!std::regex_match(trimmed, syntax)) {
            EXPECT_THROW(parseStrict(text), ConversionError) << text;
            continue;
        }
        const double expected = std::strtod(trimmed.c_str(), nullptr);
        const double got = parseStrict(text);
        ASSERT_EQ(got, expected) << text;
        ASSERT_FALSE(std::signbit(got) && got == 0) << text;
    }
}

TEST(ParseLenient, TakesTheLeadingNumber) {
    const std::pair<const char*, double> cases[] = {
        {"1 2.5", 12.5}, {"abc", 0.0}, {"12abc", 12.0}, {"-", 0.0},     {"3e", 3.0},
        {"3e+x", 3.0},   {".5", 0.5},  {"- 5", -5.0},   {"\t7\t", 7.0}, {"1e3x", 1000.0},
        {"1.2.3", 1.2},  {"5.6", 5.6}, {"", 0.0},       {"+-1", 0.0},   {"300", 300.0}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(parseLenient(text), number) << '"' << text << '"';
    EXPECT_THROW(parseLenient("1e999"), RangeError);
}

} // namespace
} // namespace zul
