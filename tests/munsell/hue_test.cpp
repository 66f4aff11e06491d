#include "munsell/hue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zul {
namespace {

float readHue(std::string text, bool* error = nullptr) {
    return converth(text, error);
}

TEST(Converth, FamiliesAndCase) {
    bool error = true;
    EXPECT_FLOAT_EQ(readHue("5.6R", &error), 5.6f);
    EXPECT_FALSE(error);
    EXPECT_FLOAT_EQ(readHue("5.6r"), 5.6f);
    EXPECT_FLOAT_EQ(readHue("5.6 R"), 5.6f); // blanks are skipped by the number parse
    EXPECT_FLOAT_EQ(readHue("2.5YR"), 12.5f);
    EXPECT_FLOAT_EQ(readHue("5.6Y"), 25.6f); // "6Y" is no two-letter family
    EXPECT_FLOAT_EQ(readHue("10RP"), 100.0f);
    EXPECT_FLOAT_EQ(readHue("7.5RP"), 97.5f);
    EXPECT_FLOAT_EQ(readHue("7.5P"), 87.5f);
    EXPECT_FLOAT_EQ(readHue("2.5PB"), 72.5f);
    EXPECT_FLOAT_EQ(readHue("2.5B"), 62.5f);
    EXPECT_FLOAT_EQ(readHue("5bg"), 55.0f);
    EXPECT_FLOAT_EQ(readHue("R"), 0.0f);
}

// The hue number is the single nearest to family * 10 + the number part, not the sum of two
// separately rounded singles (1.06YR is 11.06f; adding 10 to 1.06f gives 11.0599995).
TEST(Converth, HueNumberIsTheNearestSingleToTheSum) {
    const char* families[] = {"R", "YR", "Y", "GY", "G", "BG", "B", "PB", "P", "RP"};
    for (int k = 0; k < 10; ++k)
        for (int hundredths = 0; hundredths <= 1000; ++hundredths) {
            char step[16], sum[16];
            std::snprintf(step, sizeof step, "%d.%02d", hundredths / 100, hundredths % 100);
            std::snprintf(sum, sizeof sum, "%d.%02d", k * 10 + hundredths / 100, hundredths % 100);
            ASSERT_EQ(readHue(std::string(step) + families[k]), std::strtof(sum, nullptr))
                << step << families[k];
        }
}

TEST(Converth, UpperCasesCallersText) {
    std::string text = "6.4gy";
    EXPECT_FLOAT_EQ(converth(text), 36.4f);
    EXPECT_EQ(text, "6.4GY");
}

TEST(Converth, UnknownFamilyFlagsFormatError) {
    bool error = false;
    EXPECT_FLOAT_EQ(readHue("5N", &error), 105.0f);
    EXPECT_TRUE(error);
    error = false;
    EXPECT_FLOAT_EQ(readHue("5.6R ", &error), 105.6f); // trailing blank hides the family
    EXPECT_TRUE(error);
    error = false;
    EXPECT_FLOAT_EQ(readHue("", &error), 100.0f);
    EXPECT_TRUE(error);
}

TEST(Hconvert, Examples) {
    EXPECT_EQ(hconvert(5.6f), "5.60R");
    EXPECT_EQ(hconvert(12.5f), "2.50YR");
    EXPECT_EQ(hconvert(0.5f), ".50R");
    EXPECT_EQ(hconvert(0.0f), ".00R");
    EXPECT_EQ(hconvert(10.0f), "10.00R");
    EXPECT_EQ(hconvert(10.01f), ".01YR");
    EXPECT_EQ(hconvert(97.5f), "7.50RP");
    EXPECT_EQ(hconvert(99.999f), "10.00RP");
    EXPECT_EQ(hconvert(100.0f), "10.00RP");
    EXPECT_EQ(hconvert(-1.0f), "-1.00R");
}

// Every hundredth of a hue step on the circle reads back to within the notation's two decimals.
TEST(Hconvert, RoundTripsOverWholeCircle) {
    for (int i = 1; i <= 10000; ++i) {
        const float hue = static_cast<float>(i) / 100.0f;
        std::string text = hconvert(hue);
        bool error = true;
        const float back = converth(text, &error);
        ASSERT_FALSE(error) << text;
        ASSERT_NEAR(back, hue, 0.0051f) << text;
    }
}

} // namespace
} // namespace zul
