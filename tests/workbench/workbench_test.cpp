#include "workbench_fixture.h"

#include "munsell/value.h"
#include "text/numtext.h"

#include <QSignalSpy>

namespace zul::testing {
namespace {

const Field kAllForms[] = {Field::Hue, Field::Value,  Field::Chroma, Field::X,  Field::Y,
                           Field::Z,   Field::SmallX, Field::SmallY, Field::L,  Field::A,
                           Field::B,   Field::R,      Field::G,      Field::Bl, Field::C,
                           Field::M,   Field::Ye,     Field::K};

TEST_F(WorkbenchTest, StartUpConvertsTheDesignTimeEntry) {
    EXPECT_EQ(text(Field::Hue), "6.4Y");
    EXPECT_EQ(wb->slider(Slider::Hue), 53); // 26.4 * 2 = 52.8
    EXPECT_EQ(wb->slider(Slider::Value), 17);
    EXPECT_EQ(wb->slider(Slider::Chroma), 10);
    EXPECT_EQ(wb->illuminantCaption().toStdString(), "illuminant C  2\u00B0 Observer ");
    for (Field f : kAllForms)
        EXPECT_FALSE(wb->text(f).isEmpty()) << static_cast<int>(f);
    EXPECT_EQ(text(Field::Gamma), "2.2");
    EXPECT_EQ(wb->slider(Slider::Gamma), 22);
    EXPECT_TRUE(wb->rangeWarning().isEmpty());
    EXPECT_TRUE(wb->munsellNote().isEmpty());
    // A light yellow: Y from the value scale, R and G above B.
    EXPECT_EQ(text(Field::Y), formatPicture(vtoy(8.6f, false), "##0.00"));
    const auto rgb = wb->displayRgb();
    EXPECT_GT(rgb[0], rgb[2]);
    EXPECT_GT(rgb[1], rgb[2]);
    EXPECT_EQ(text(Field::R), std::to_string(rgb[0]));
}

TEST_F(WorkbenchTest, MunsellEntriesOutsideTheSlidersAreOutOfRangeOnce) {
    for (const char* chroma : {"41", "-1"}) {
        dialogs.clear();
        EXPECT_FALSE(enter({{Field::Value, "5"}, {Field::Chroma, chroma}}));
        EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"}) << chroma;
    }
    dialogs.clear();
    EXPECT_FALSE(enter({{Field::Value, "10.5"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"});
    dialogs.clear();
    EXPECT_FALSE(enter({{Field::Value, "five"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"});
}

TEST_F(WorkbenchTest, ValueTenNeutralPassesTheSliderCheck) {
    EXPECT_TRUE(enter({{Field::Value, "10"}, {Field::Chroma, "0"}}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(wb->slider(Slider::Value), 20);
    // mun2xyz clamps the value to 9.5: Y is vtoy(9.5).
    EXPECT_EQ(text(Field::Y), "90.01");
}

TEST_F(WorkbenchTest, ColourBeyondTheDataIsNotShownAsBlack) {
    const std::string before = text(Field::X);
    EXPECT_FALSE(enter({{Field::Hue, "5R"}, {Field::Value, "1"}, {Field::Chroma, "30"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"});
    EXPECT_EQ(text(Field::X), before);
}

TEST_F(WorkbenchTest, UnknownHueFamilyShowsFormatErrorThenOutOfRange) {
    EXPECT_FALSE(enter({{Field::Hue, "5N"}, {Field::Value, "5"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(dialogs.messages(), (QStringList{"Format Error", "Out of Munsell Range"}));
    EXPECT_EQ(text(Field::Hue), "5N");
}

TEST_F(WorkbenchTest, RgbEntryReadsStrictlyRoundsAndClamps) {
    EXPECT_TRUE(enter({{Field::R, "300"}, {Field::G, "-5"}, {Field::Bl, "12.5"}}));
    EXPECT_EQ(text(Field::R), "255");
    EXPECT_EQ(text(Field::G), "0");
    EXPECT_EQ(text(Field::Bl), "12"); // ties to even
    EXPECT_EQ(wb->slider(Slider::R), 255);
    EXPECT_EQ(wb->slider(Slider::G), 0);
    EXPECT_EQ(wb->slider(Slider::B), 12);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Text that is no number is refused by name, as in the other fields, never read as 0.
    for (const char* bad : {"abc", "1 28", "64xyz"}) {
        EXPECT_FALSE(enter({{Field::R, "12"}, {Field::G, bad}, {Field::Bl, "64"}})) << bad;
        EXPECT_EQ(wb->message(), QStringLiteral("G: \"%1\" is not a number").arg(bad)) << bad;
    }
    dialogs.clear();

    EXPECT_FALSE(enter({{Field::R, "40000"}}));
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(WorkbenchTest, RgbEntryFillsEveryOtherForm) {
    EXPECT_TRUE(enter({{Field::R, "255"}, {Field::G, "255"}, {Field::Bl, "255"}}));
    // Display white is the D65 white scaled to illuminant C, about the C white.
    EXPECT_NEAR(parseStrict(text(Field::X)), 98.07, 0.05);
    EXPECT_NEAR(parseStrict(text(Field::Y)), 100.0, 0.05);
    EXPECT_NEAR(parseStrict(text(Field::Z)), 118.23, 0.05);
    EXPECT_NEAR(parseStrict(text(Field::L)), 100.0, 0.05);
    EXPECT_NEAR(parseStrict(text(Field::Chroma)), 0.0, 0.1);
    EXPECT_EQ(text(Field::C), "0");
    EXPECT_EQ(text(Field::K), "0");
}

TEST_F(WorkbenchTest, XyzZeroGivesNeutralBlackWithoutWarning) {
    const std::string hue = text(Field::Hue);
    EXPECT_TRUE(enter({{Field::X, "0"}, {Field::Y, "0"}, {Field::Z, "0"}}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(wb->rangeWarning().isEmpty());
    EXPECT_FALSE(wb->outOfRange());
    const auto rgb = wb->displayRgb();
    EXPECT_LE(rgb[0], 12);
    EXPECT_LE(rgb[1], 12);
    EXPECT_LE(rgb[2], 12);
    EXPECT_EQ(text(Field::L), ".09");
    EXPECT_EQ(text(Field::X), "0"); // the user's text stays
    EXPECT_NE(text(Field::Hue), hue);
    EXPECT_EQ(text(Field::Hue), "N"); // black is the neutral of value 0
    EXPECT_EQ(text(Field::Value), "0.00");
}

TEST_F(WorkbenchTest, XyzEntryKeepsTheUsersTextAndFindsTheMunsellNotation) {
    // Round trip: the start-up colour's own XYZ lead back to 6.4Y 8.6/10.4.
    const std::string x = text(Field::X), y = text(Field::Y), z = text(Field::Z);
    EXPECT_TRUE(enter({{Field::X, x.c_str()}, {Field::Y, y.c_str()}, {Field::Z, z.c_str()}}));
    EXPECT_EQ(text(Field::X), x);
    EXPECT_NEAR(parseStrict(text(Field::Value)), 8.6, 0.01);
    EXPECT_NEAR(parseStrict(text(Field::Chroma)), 10.4, 0.05);
    EXPECT_EQ(text(Field::Hue).substr(text(Field::Hue).size() - 1), "Y");
    EXPECT_EQ(text(Field::SmallX).front(), '.'); // written without a leading zero
}

TEST_F(WorkbenchTest, StrictFailureNamesTheFieldAndStopsTheChain) {
    const std::string l = text(Field::L);
    EXPECT_FALSE(enter({{Field::Y, "1,2.3"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Y: \"1,2.3\" is not a number"});
    EXPECT_EQ(text(Field::L), l);
}

TEST_F(WorkbenchTest, ChromaticityWithZeroYStopsBeforeXAndZ) {
    const std::string x = text(Field::X), z = text(Field::Z);
    EXPECT_FALSE(enter({{Field::SmallX, "0.3"}, {Field::SmallY, "0"}}));
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(text(Field::X), x);
    EXPECT_EQ(text(Field::Z), z);
}

TEST_F(WorkbenchTest, ChromaticityEntryComputesXAndZ) {
    EXPECT_TRUE(enter({{Field::Y, "20"}, {Field::SmallX, "0.3101"}, {Field::SmallY, "0.3163"}}));
    EXPECT_EQ(text(Field::X), "19.61");
    EXPECT_EQ(text(Field::Z), "23.62");
    EXPECT_NEAR(parseStrict(text(Field::Chroma)), 0.0, 0.05);
}

TEST_F(WorkbenchTest, LabEntryBelowMinus16IsRefused) {
    EXPECT_FALSE(enter({{Field::L, "-17"}, {Field::A, "0"}, {Field::B, "0"}}));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("-16"));
}

TEST_F(WorkbenchTest, LabEntryFindsMunsellAndKeepsTheUsersText) {
    EXPECT_TRUE(enter({{Field::L, "50"}, {Field::A, "0"}, {Field::B, "0"}}));
    EXPECT_EQ(text(Field::L), "50");
    EXPECT_EQ(text(Field::Y), "18.42");
    EXPECT_NEAR(parseStrict(text(Field::Value)), 4.85, 0.01);
}

TEST_F(WorkbenchTest, EveryIlluminantRewritesCaptionAndForms) {
    std::vector<std::string> xs;
    for (int i : {1, 2, 0}) {
        wb->selectIlluminant(i);
        EXPECT_EQ(wb->illuminantCaption().toStdString(),
                  std::string(kIlluminants[static_cast<std::size_t>(i)].statusCaption));
        xs.push_back(text(Field::X) + "/" + text(Field::L) + "/" + text(Field::R));
    }
    EXPECT_NE(xs[0], xs[1]);
    EXPECT_NE(xs[0], xs[2]);
    EXPECT_NE(xs[1], xs[2]);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(WorkbenchTest, SlidersWriteTheirFieldAndRunTheChain) {
    wb->sliderMoved(Slider::Hue, 0);
    EXPECT_EQ(text(Field::Hue), "10.00RP");
    wb->sliderMoved(Slider::Hue, 202);
    EXPECT_EQ(text(Field::Hue), "1.00R");
    wb->sliderMoved(Slider::Hue, 25);
    EXPECT_EQ(text(Field::Hue), "2.50YR");
    wb->sliderMoved(Slider::Chroma, 6);
    EXPECT_EQ(text(Field::Chroma), "6");
    wb->sliderMoved(Slider::Value, 9);
    EXPECT_EQ(text(Field::Value), "4.5");
    const std::string x = text(Field::X);
    wb->sliderMoved(Slider::Value, 20); // leaves the field, still converts
    EXPECT_EQ(text(Field::Value), "4.5");
    EXPECT_EQ(text(Field::X), x);
    wb->sliderMoved(Slider::G, 200);
    EXPECT_EQ(text(Field::G), "200");
    EXPECT_EQ(wb->displayRgb()[1], 200);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(WorkbenchTest, SwatchPressRunsTheRgbChainOnlyInsideTheRange) {
    const std::string x = text(Field::X);
    wb->swatchPressed(255, 255, 255);
    EXPECT_EQ(text(Field::R), "255");
    EXPECT_EQ(text(Field::X), x);
    wb->swatchPressed(10, 20, 30);
    EXPECT_EQ(text(Field::Bl), "30");
    EXPECT_NE(text(Field::X), x);
}

TEST_F(WorkbenchTest, GammaFieldAcceptsOneToThree) {
    wb->setText(Field::Gamma, "0.5");
    wb->setText(Field::Gamma, "4");
    wb->setText(Field::Gamma, "abc");
    EXPECT_EQ(wb->slider(Slider::Gamma), 22);
    EXPECT_FLOAT_EQ(wb->displayExponents()[0], 1.0f / 2.2f);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    wb->setText(Field::Gamma, "1");
    EXPECT_EQ(wb->slider(Slider::Gamma), 10);
    EXPECT_EQ(text(Field::Gamma), "1");
    EXPECT_FLOAT_EQ(wb->displayExponents()[2], 1.0f);
    // Gamma 1 makes RGB linear: mid grey Y 18.42 shows as about 0.18 * 255.
    EXPECT_TRUE(enter({{Field::L, "50"}, {Field::A, "0"}, {Field::B, "0"}}));
    EXPECT_NEAR(wb->displayRgb()[1], 47, 1);
}

TEST_F(WorkbenchTest, TintSliderSetsGainsAndBackgrounds) {
    wb->sliderMoved(Slider::Tint, 50);
    EXPECT_FLOAT_EQ(wb->gains()[2], 0.5f);
    EXPECT_NEAR(wb->gains()[1], 1 - 0.5 / (85.0 / 52.0), 1e-6);
    EXPECT_EQ(wb->tintBackground()[0], 200);
    EXPECT_EQ(wb->tintBackground()[2], 100);
    EXPECT_FALSE(wb->logoVisible());
    wb->sliderMoved(Slider::Tint, 100);
    EXPECT_TRUE(wb->logoVisible());
    EXPECT_EQ(wb->tintFieldBackground()[1], 255);
}

TEST_F(WorkbenchTest, SaturatedDisplayBlueIsMarkedExtrapolated) {
    EXPECT_TRUE(enter({{Field::R, "0"}, {Field::G, "0"}, {Field::Bl, "255"}}));
    EXPECT_FALSE(wb->munsellNote().isEmpty());
    EXPECT_GT(parseStrict(text(Field::Chroma)), 28.0);
    EXPECT_LE(wb->slider(Slider::Chroma),
              40); // an extrapolated chroma leaves the slider at its end
    // Typing a notation in shows no mark.
    EXPECT_TRUE(enter({{Field::Hue, "5PB"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    EXPECT_TRUE(wb->munsellNote().isEmpty());
}

TEST_F(WorkbenchTest, RefreshHooksFollowTheSwitches) {
    QSignalSpy hue(wb.get(), &Workbench::huePageRefresh);
    QSignalSpy tolerance(wb.get(), &Workbench::toleranceRefresh);
    wb->muncie();
    EXPECT_EQ(hue.count(), 0);
    EXPECT_EQ(tolerance.count(), 0);
    wb->setSwitch(Switch::HuePage, true);
    wb->setSwitch(Switch::Tolerance, true);
    EXPECT_EQ(hue.count(), 1);
    EXPECT_EQ(tolerance.count(), 1);
    wb->muncie();
    EXPECT_EQ(hue.count(), 2);
    EXPECT_EQ(tolerance.count(), 2);
}

TEST_F(WorkbenchTest, BlackIsTheNeutralAndAClampSaysSoInMessages) {
    EXPECT_TRUE(enter({{Field::R, "0"}, {Field::G, "0"}, {Field::Bl, "0"}}));
    EXPECT_EQ(text(Field::Hue), "N");
    EXPECT_EQ(text(Field::Value), "0.00");
    EXPECT_EQ(text(Field::Chroma), "0.00");
    EXPECT_EQ(wb->slider(Slider::Chroma), 0);
    EXPECT_TRUE(wb->message().isEmpty());
    // The black record goes back through the Munsell chain to black.
    EXPECT_TRUE(enter({{Field::Hue, "N"}, {Field::Value, "0.00"}, {Field::Chroma, "0.00"}}));
    EXPECT_EQ(text(Field::X) + text(Field::Y) + text(Field::Z), "0.000.000.00");

    EXPECT_TRUE(enter({{Field::R, "21"}, {Field::G, "14"}, {Field::Bl, "8"}}));
    EXPECT_EQ(text(Field::Value), "0.50");
    EXPECT_EQ(wb->message(), "Value 0.18 was shown as 0.5, the table's bottom");
    EXPECT_TRUE(enter({{Field::Hue, "N 10/"}}));
    EXPECT_EQ(wb->message(), "Value 10 was shown as 9.5, the table's top");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    // The next colour in range clears the note.
    EXPECT_TRUE(enter({{Field::R, "120"}, {Field::G, "80"}, {Field::Bl, "40"}}));
    EXPECT_TRUE(wb->message().isEmpty());
}

TEST_F(WorkbenchTest, TextInAnRgbFieldIsRefusedByName) {
    ASSERT_TRUE(enter({{Field::R, "120"}, {Field::G, "80"}, {Field::Bl, "40"}}));
    const std::string hue = text(Field::Hue);
    EXPECT_FALSE(enter({{Field::R, "abc"}, {Field::G, "80"}, {Field::Bl, "40"}}));
    EXPECT_EQ(wb->message(), "R: \"abc\" is not a number");
    EXPECT_EQ(text(Field::R), "abc"); // not made 0
    EXPECT_EQ(text(Field::Hue), hue);
}

} // namespace
} // namespace zul::testing
