// The current colour as clipboard texts, and such texts read back into entry forms.
#include "workbench/colourtexts.h"
#include "workbench/workbench_fixture.h"

namespace zul::testing {
namespace {

TEST(NotationText, NeutralsAndFamilyEnds) {
    const struct {
        const char *hue, *value, *chroma, *expected;
    } cases[] = {
        {"5R", "4", "14", "5R 4/14"},           {"6.4Y", "8.6", "10.4", "6.4Y 8.6/10.4"},
        {"N", "5.23", "", "N 5.23/"},           {"N", "5.23", "0", "N 5.23/"},
        {"5.60R", "5.23", "0", "N 5.23/"},      // no chroma: neutral whatever the hue
        {".00R", "4.1", "2.3", "10RP 4.1/2.3"}, // the end of the family before R
        {".03Y", "6", "4", "10YR 6/4"},         // .0 at one decimal
        {".05Y", "6", "4", ".05Y 6/4"},         // shows as .1: stays in Y
        {"10.00RP", "3", "2", "10.00RP 3/2"},   {"", "5", "2", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notationText(c.hue, c.value, c.chroma).toStdString(), c.expected) << c.hue;
}

TEST(PastedColour, EachCopiedFormReadsBack) {
    auto munsell = readPastedColour(" 5R 4/14 ");
    ASSERT_TRUE(munsell && munsell->munsell);
    EXPECT_EQ((*munsell->munsell)[0], "5R");
    EXPECT_EQ((*munsell->munsell)[2], "14");
    EXPECT_FALSE(munsell->rgb);

    auto hex = readPastedColour("#c85A5a");
    ASSERT_TRUE(hex && hex->rgb);
    EXPECT_EQ(*hex->rgb, (std::array<QString, 3>{"200", "90", "90"}));

    auto lab = readPastedColour("L* 52.0 a* -44.8 b* 23.0");
    ASSERT_TRUE(lab && lab->lab);
    EXPECT_EQ(*lab->lab, (std::array<QString, 3>{"52.0", "-44.8", "23.0"}));

    auto neutral = readPastedColour("N 5.23/");
    ASSERT_TRUE(neutral && neutral->munsell);
    EXPECT_EQ((*neutral->munsell)[0], "N");

    for (const char* other : {"", "hello", "#C85A5", "L* 50", "5R", "1,2,3"})
        EXPECT_FALSE(readPastedColour(other)) << other;
}

TEST_F(WorkbenchTest, CopiedTextsOfTheCurrentColour) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "14"}}));
    EXPECT_EQ(colourText(*wb, CopyForm::Notation), "5R 4/14");
    const std::array<int, 3> rgb = wb->displayRgb();
    EXPECT_EQ(colourText(*wb, CopyForm::Hex),
              QString::asprintf("#%02X%02X%02X", rgb[0], rgb[1], rgb[2]));
    const QString lab = colourText(*wb, CopyForm::Lab);
    EXPECT_EQ(lab, QString("L* %1 a* %2 b* %3")
                       .arg(wb->text(Field::L).toDouble(), 0, 'f', 1)
                       .arg(wb->text(Field::A).toDouble(), 0, 'f', 1)
                       .arg(wb->text(Field::B).toDouble(), 0, 'f', 1));

    // The CSV line carries every form; read back it gives the fields as they stand.
    const auto csv = readPastedColour(colourText(*wb, CopyForm::Csv));
    ASSERT_TRUE(csv && csv->munsell && csv->lab && csv->rgb);
    EXPECT_EQ((*csv->munsell)[0], wb->text(Field::Hue).trimmed());
    EXPECT_EQ((*csv->lab)[1], wb->text(Field::A).trimmed());
    EXPECT_EQ((*csv->rgb)[2], wb->text(Field::Bl).trimmed());
    EXPECT_EQ(colourText(*wb, CopyForm::Csv).count(','), 18); // 18 columns, then the note
}

} // namespace
} // namespace zul::testing
