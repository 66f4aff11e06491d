#include "munsell/notation.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

TEST(MunsellNotation, SplitsChromaticAndNeutralNotations) {
    struct Case {
        const char* text;
        const char* hue;
        const char* value;
        const char* chroma;
    };
    const Case cases[] = {
        {"5R 4/14", "5R", "4", "14"},
        {"5R 4/14.0", "5R", "4", "14.0"},
        {" 2.5yr  6 / 8 ", "2.5yr", "6", "8"},
        {"10RP 9/2", "10RP", "9", "2"},
        {"5R4/14", "5R", "4", "14"},
        {"N 5/", "N", "5", "0"},
        {"N 5", "N", "5", "0"},
        {"N5", "N", "5", "0"},
        {"n 9.5/0", "N", "9.5", "0"},
        {"N 5/2", "N", "5", "2"},
    };
    for (const Case& c : cases) {
        const auto parts = splitMunsellNotation(c.text);
        ASSERT_TRUE(parts) << c.text;
        EXPECT_EQ(parts->hue, c.hue) << c.text;
        EXPECT_EQ(parts->value, c.value) << c.text;
        EXPECT_EQ(parts->chroma, c.chroma) << c.text;
    }
}

TEST(MunsellNotation, LeavesEverythingElseAlone) {
    for (const char* text : {"5R", "5R 4", "5R 4/", "5R /14", "5X 4/14", "R 4/14", "5R 4/14x",
                             "5R 4/-2", "N", "N 5/x", "", "4/14", "5R 4/14/2"})
        EXPECT_FALSE(splitMunsellNotation(text)) << text;
}

TEST(MunsellNotation, NeutralHueIsTheLetterNAlone) {
    EXPECT_TRUE(isNeutralHue("N"));
    EXPECT_TRUE(isNeutralHue(" n "));
    EXPECT_FALSE(isNeutralHue("5N"));
    EXPECT_FALSE(isNeutralHue("NR"));
}

} // namespace
} // namespace zul
