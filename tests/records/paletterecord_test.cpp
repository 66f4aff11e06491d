// Reading palette records: their fields, the hue circle and the tolerance set's all-zero
// colorimetry.
#include "records/paletterecord.h"

#include <gtest/gtest.h>

#include <utility>

namespace zul {
namespace {

TEST(PaletteRecord, FamilyEndingsTwoLettersBeforeOne) {
    const std::pair<const char*, float> steps[] = {
        {"5.6yr", 15.6f},
        {"2.5RP", 92.5f},
        {"5GY", 35.0f},
        {"5bg", 55.0f},
        {"5PB", 75.0f},
        {"5R", 5.0f},
        {"5Y", 25.0f},
        {"5G", 45.0f},
        {"5B", 65.0f},
        {"5P", 85.0f},
        {" 7.5 yr ", 17.5f}, // blanks around, as typed
        // Neutrals and texts without a family sit at angle 0 rather than anywhere else.
        {"N", 0.0f},
        {"5", 0.0f},
        {"", 0.0f},
        // A number beyond a float (a damaged file) must not stop the loading.
        {"1e400YR", 0.0f},
        {"1e39R", 0.0f}};
    for (const auto& [text, step] : steps)
        EXPECT_FLOAT_EQ(paletteHueStep(text), step) << '"' << text << '"';
    // 10YR and 0Y are the same hue: same step, same angle.
    EXPECT_EQ(paletteHueStep("10YR"), paletteHueStep("0Y"));
    EXPECT_EQ(paletteHueAngle(paletteHueStep("10YR")), paletteHueAngle(paletteHueStep("0y")));
}

TEST(PaletteRecord, AngleUsesTheTenDigitFactorInSinglePrecision) {
    EXPECT_NEAR(paletteHueAngle(5), 0.314159f, 1e-6);
    const float degrees = static_cast<float>(25.0 * 3.6);
    EXPECT_EQ(paletteHueAngle(25), static_cast<float>(static_cast<double>(degrees) * 0.0174532925));
    EXPECT_EQ(lowerHueText("5.6YR"), "5.6yr");
}

TEST(PaletteRecord, RecordFieldsAndFormatErrors) {
    std::vector<std::string> scratch;
    PaletteFields f;
    // Quoted fields may hold commas; columns after the sixth are ignored.
    EXPECT_EQ(readPaletteRecord(R"("12-07-2026","10:00:00","a, b","5.6YR","4","0.5","x",1,2)",
                                scratch, f),
              "");
    EXPECT_EQ(f.name, "a, b");
    EXPECT_EQ(f.hue, "5.6YR");
    EXPECT_FLOAT_EQ(f.valueNumber, 4);
    EXPECT_FLOAT_EQ(f.chromaNumber, 0.5f);
    // The tolerance set's layout: no quotes, blanks around the numbers.
    EXPECT_EQ(readPaletteRecord("12/07/2026,10:43:54,6,5.00R,4.00,10.00,0,0,0,0,0,0,0,0,0, 128 , "
                                "64 , 32 ,end",
                                scratch, f),
              "");
    EXPECT_EQ(f.name, "6");
    EXPECT_EQ(f.hue, "5.00R");
    EXPECT_FLOAT_EQ(f.chromaNumber, 10);

    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","4")", scratch, f),
              "5 fields, a record needs date, time, tag, hue, value and chroma");
    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","nan","4")", scratch, f),
              R"(value: "nan" is not a number)");
    EXPECT_EQ(readPaletteRecord(R"("d","t","tag","5R","4","")", scratch, f),
              R"(chroma: "" is not a number)");
    EXPECT_NE(readPaletteRecord(R"("d","t","tag","5R","4","1e60")", scratch, f), "");
    EXPECT_NE(readPaletteRecord(std::string(kMaxPaletteLine + 1, 'x'), scratch, f), "");
}

TEST(PaletteRecord, HeaderIsSixFieldsWithoutValueAndChromaNumbers) {
    EXPECT_TRUE(isPaletteHeader({"Date", "Time", "Tag", "Hue", "Value", "Chroma", "X"}));
    EXPECT_FALSE(isPaletteHeader({"12-07-2026", "10:00", "t", "5R", "4", "10"}));
    EXPECT_FALSE(isPaletteHeader({"Date", "Time", "Tag"}));
}

TEST(PaletteRecord, AllZeroColorimetryIsNoColourOfTheRecordsOwn) {
    struct Case {
        const char* line;
        bool hasLab, hasRgb;
        float l;
    };
    const Case cases[] = {
        // The tolerance set's records as it wrote them: zeros for X, Y, Z and L*, a*, b*.
        {"12-07-2026,10:43:54,6,5.00R,4.00,10.00,0,0,0,0,0,0,0,0,0, 128 , 64 , 32 ,end", false,
         false, 0},
        {"12-07-2026,10:43:54,6,5.00R,4.00,10.00,0.00,.00,0,.00,-0,0,0,0,0, 128 , 64 , 32 ,end",
         false, false, 0},
        // As it writes them now.
        {"12-07-2026,10:43:54,6,5.00R,4.00,10.00,14.10,12.00,8.60,41.22,20.10,11.40,0,0,0, 128 , "
         "64 , 32 ,end",
         true, true, 41.22f},
        // Black measured as black: Y is zero only with X and Z, but L* alone is not enough.
        {"d,t,x,5.00R,4.00,10.00,.01,0,0,0,0,0,0,0,0,1,2,3", true, true, 0},
        // Without a notation the record's own fields are all it has.
        {"d,t,x,,,,0,0,0,0,0,0,0,0,0,1,2,3", true, true, 0},
    };
    std::vector<std::string> scratch;
    for (const Case& c : cases) {
        PaletteFields f;
        ASSERT_EQ(readPaletteRecord(c.line, scratch, f), "") << c.line;
        EXPECT_EQ(f.own.hasLab, c.hasLab) << c.line;
        EXPECT_EQ(f.own.hasRgb, c.hasRgb) << c.line;
        EXPECT_FLOAT_EQ(f.own.l, c.l) << c.line;
    }
}

} // namespace
} // namespace zul
