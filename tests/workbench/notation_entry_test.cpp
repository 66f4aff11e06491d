// A whole Munsell notation typed into the hue field, and the neutral hue "N".
#include "workbench/workbench_fixture.h"

namespace zul::testing {
namespace {

using NotationEntry = WorkbenchTest;

TEST_F(NotationEntry, WholeNotationInTheHueFieldFillsAllThree) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "14"}}));
    const std::string x = text(Field::X), l = text(Field::L);
    wb->clearEntries();
    ASSERT_TRUE(enter({{Field::Value, "9"}, {Field::Hue, "5R 4/14.0"}}));
    EXPECT_EQ(text(Field::Hue), "5R");
    EXPECT_EQ(text(Field::Value), "4");
    EXPECT_EQ(text(Field::Chroma), "14.0");
    EXPECT_EQ(text(Field::X), x);
    EXPECT_EQ(text(Field::L), l);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(NotationEntry, NeutralNIsHueZeroOnlyWithoutChroma) {
    ASSERT_TRUE(enter({{Field::Hue, "10RP"}, {Field::Value, "5"}, {Field::Chroma, "0"}}));
    const std::string x = text(Field::X), b = text(Field::B);
    for (const char* notation : {"N 5/", "N 5", "N5", "n 5/0"}) {
        wb->clearEntries();
        ASSERT_TRUE(enter({{Field::Hue, notation}})) << notation;
        EXPECT_EQ(text(Field::Hue), "N");
        EXPECT_EQ(text(Field::Chroma), "0");
        EXPECT_EQ(text(Field::X), x) << notation;
        EXPECT_EQ(text(Field::B), b) << notation;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
    // With a chroma the letter N names no hue: as any hue without a family ("Format Error",
    // then 100 + 0, which is 10RP).
    EXPECT_TRUE(enter({{Field::Hue, "N"}, {Field::Value, "5"}, {Field::Chroma, "2"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Format Error"});
    const std::string neutralX = text(Field::X);
    EXPECT_TRUE(enter({{Field::Hue, "10RP"}, {Field::Value, "5"}, {Field::Chroma, "2"}}));
    EXPECT_EQ(text(Field::X), neutralX);
}

TEST_F(NotationEntry, OtherTextsBehaveAsBefore) {
    // No family: "Format Error", then the number 100 + 1 on the hue circle.
    EXPECT_TRUE(enter({{Field::Hue, "1"}, {Field::Value, "5"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Format Error"});
    EXPECT_EQ(text(Field::Hue), "1");
    dialogs.clear();
    EXPECT_FALSE(enter({{Field::Hue, "5R 4/"}, {Field::Value, "x"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(text(Field::Hue), "5R 4/");
    EXPECT_EQ(dialogs.messages(), (QStringList{"Format Error", "Out of Munsell Range"}));
}

} // namespace
} // namespace zul::testing
