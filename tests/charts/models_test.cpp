// The chart models without any drawing: element mapping, spokes, captions, the tolerance set's
// palette bytes, the ccnames.csv reader; chip colours against the main window's conversion.
#include "charts/colorchecker.h"
#include "charts/huepage.h"
#include "charts/tolerance.h"
#include "charts/valuepage.h"
#include "workbench/workbench_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace zul::testing {
namespace {

ChartSettings defaults() {
    return {};
}

class ChartModelTest : public WorkbenchTest {};

TEST(HuePageModel, ElementsCaptionsAndReach) {
    const auto page = fillbook("5R", *sharedTable(), defaults());
    ASSERT_TRUE(page);
    EXPECT_FLOAT_EQ(page->hueNumber, 5);
    EXPECT_EQ(page->scroll, 5);
    // Element 5c + 9 - v: 5R 4/10 is element 55, column 5, row 5.
    const ChartChip& chip = page->chips[55];
    EXPECT_EQ(chip.notation, "5.00R 4/10");
    EXPECT_DOUBLE_EQ(chip.cx, 1320 + 5 * 720 + 307.5);
    EXPECT_DOUBLE_EQ(chip.cy, 120 + 5 * 720 + 307.5);
    EXPECT_EQ(page->chipAt(chip.cx + 300, chip.cy - 300), &chip);
    EXPECT_EQ(page->chipAt(chip.cx + 320, chip.cy), nullptr); // the gap between chips
    EXPECT_EQ(page->chipAt(1320 + 5 * 720 + 300, 120 + 9 * 720 + 300), nullptr); // row 9: empty
    // Element 9 is the black chip; the other row-9 slots are never painted.
    EXPECT_TRUE(page->chips[9].painted);
    EXPECT_EQ(page->chips[9].rgb, (DisplayRgb{0, 0, 0}));
    EXPECT_FALSE(page->chips[19].painted);
    // Beyond the data: grey and not in reach; 83 chips of 5R are in reach under C at 2.2.
    const ChartChip& far = page->chips[5 * 28 + 9 - 1];
    EXPECT_FALSE(far.inReach);
    EXPECT_EQ(far.rgb, (DisplayRgb{192, 192, 192}));
    EXPECT_EQ(page->inReachCount(), 83);
    EXPECT_EQ(chromaCaption(0), "N");
    EXPECT_EQ(chromaCaption(14), "28");
    EXPECT_EQ(valueCaption(0), "9");
    EXPECT_EQ(valueCaption(9), "0");
}

TEST(HuePageModel, TenRpIsPageZeroAndBadHuesKeepThePage) {
    const auto page = fillbook("10RP", *sharedTable(), defaults());
    ASSERT_TRUE(page);
    EXPECT_FLOAT_EQ(page->hueNumber, 0);
    EXPECT_EQ(page->scroll, 0);
    EXPECT_EQ(page->hueCaption, "10RP");
    EXPECT_FALSE(fillbook("5Q", *sharedTable(), defaults()));
    EXPECT_FALSE(fillbook("", *sharedTable(), defaults()));
    EXPECT_FALSE(fillbook("-5R", *sharedTable(), defaults()));
}

TEST_F(ChartModelTest, InGamutChipsMatchTheMunsellEntryChain) {
    // Asymmetric colours: a swapped channel would not pass.
    const std::pair<const char*, std::pair<int, int>> chips[] = {
        {"5R", {4, 10}}, {"5PB", {4, 10}}, {"2.5GY", {6, 6}}, {"7.5BG", {5, 4}}};
    for (const auto& [hue, vc] : chips) {
        for (int illuminant : {0, 2}) {
            wb->selectIlluminant(illuminant);
            const auto page = fillbook(hue, *sharedTable(), {wb->conditions(), wb->rgbSettings()});
            ASSERT_TRUE(page);
            const ChartChip& chip =
                page->chips[static_cast<std::size_t>(5 * vc.second + 9 - vc.first)];
            ASSERT_TRUE(chip.inReach);
            ASSERT_FALSE(chip.outOfRange) << hue;
            ASSERT_TRUE(enter({{Field::Hue, hue},
                               {Field::Value, std::to_string(vc.first).c_str()},
                               {Field::Chroma, std::to_string(vc.second).c_str()}}));
            EXPECT_EQ(text(Field::R), std::to_string(chip.rgb[0])) << hue;
            EXPECT_EQ(text(Field::G), std::to_string(chip.rgb[1])) << hue;
            EXPECT_EQ(text(Field::Bl), std::to_string(chip.rgb[2])) << hue;
        }
    }
}

TEST(ValuePageModel, SpokeDirections) {
    double px = 0, py = 0;
    spokeOffset(0, 10, px, py); // right
    EXPECT_DOUBLE_EQ(px, 1000);
    EXPECT_DOUBLE_EQ(py, 0);
    spokeOffset(25, 10, px, py); // up (y grows downwards)
    EXPECT_NEAR(px, 0, 1);
    EXPECT_NEAR(py, -1000, 1e-3);
    spokeOffset(50, 12, px, py); // left
    EXPECT_DOUBLE_EQ(px, -1200);
    EXPECT_DOUBLE_EQ(py, 0);
    spokeOffset(75, 10, px, py); // down
    EXPECT_NEAR(px, 0, 1);
    EXPECT_NEAR(py, 1000, 1e-3);
    spokeOffset(12.5, 20, px, py); // 45 degrees up and right
    EXPECT_NEAR(px, 2000 / std::sqrt(2.0), 0.5);
    EXPECT_NEAR(py, -2000 / std::sqrt(2.0), 0.5);
    spokeOffset(62.5, 20, px, py); // 225 degrees: down and left
    EXPECT_NEAR(px, -2000 / std::sqrt(2.0), 0.5);
    EXPECT_NEAR(py, 2000 / std::sqrt(2.0), 0.5);
}

TEST(ValuePageModel, TitleScrollAndSpokeEnds) {
    float v = 5;
    const ValuePage page = plotvalue(v, *sharedTable(), defaults());
    EXPECT_EQ(page.title, "Value   5.");
    EXPECT_EQ(valueTitle(8.25f), "Value   8.25");
    EXPECT_EQ(page.scroll, 500);
    EXPECT_EQ(page.cx, 6000);
    EXPECT_DOUBLE_EQ(page.radius, 150);
    // One notation per spoke, where the first chroma beyond the data would stand.
    ASSERT_EQ(page.labels.size(), 40u);
    for (int k = 0; k < 40; ++k) {
        const float hue = 2.5f * static_cast<float>(k);
        int last = -2;
        for (const ChartChip& d : page.dots)
            if (d.element / 100 == k) last = d.element % 100;
        double px = 0, py = 0;
        spokeOffset(hue, static_cast<float>(last + 2 + 10), px, py);
        EXPECT_DOUBLE_EQ(page.labels[static_cast<std::size_t>(k)].x, page.cx + px) << k;
        EXPECT_DOUBLE_EQ(page.labels[static_cast<std::size_t>(k)].y, page.cy + py) << k;
    }
    EXPECT_EQ(page.labels[0].text, ".00R");
    // The topmost dot under a point.
    const ChartChip& first = page.dots.front();
    EXPECT_EQ(page.chipAt(first.cx, first.cy), &first);
    EXPECT_EQ(page.chipAt(page.cx, page.cy), nullptr);

    float high = 9.8f;
    EXPECT_EQ(plotvalue(high, *sharedTable(), defaults()).scroll, 950);
    EXPECT_FLOAT_EQ(high, 9.5f);
    float low = 0.5f;
    const ValuePage dark = plotvalue(low, *sharedTable(), defaults());
    EXPECT_EQ(dark.scroll, 100); // the bar is clamped; the page is the true one
    EXPECT_FLOAT_EQ(dark.value, 0.5f);
}

TEST(ToleranceModel, StepCaptions) {
    const auto steps = stepCaptions({2.5f, 5, 1.5f});
    EXPECT_EQ(steps[0], "L + 2.5");
    EXPECT_EQ(steps[1], "L - 2.5");
    EXPECT_EQ(steps[2], "A + 5");
    EXPECT_EQ(steps[3], "A -  5");
    EXPECT_EQ(steps[4], "B + 1.5");
    EXPECT_EQ(steps[5], "B -  1.5");
}

TEST(ToleranceModel, NeighboursAndDifferences) {
    const ToleranceSet set = MakeCTol({50, 40, 20}, {5, 3, 4}, *sharedTable(), defaults());
    EXPECT_FLOAT_EQ(set.swatches[1].lab.l, 55);
    EXPECT_FLOAT_EQ(set.swatches[2].lab.l, 45);
    EXPECT_FLOAT_EQ(set.swatches[3].lab.a, 43);
    EXPECT_FLOAT_EQ(set.swatches[4].lab.a, 37);
    EXPECT_FLOAT_EQ(set.swatches[5].lab.b, 24);
    EXPECT_FLOAT_EQ(set.swatches[6].lab.b, 16);
    for (const ToleranceSwatch& s : set.swatches)
        EXPECT_TRUE(s.ok);
    EXPECT_EQ(set.swatches[0].deltaE00, 0);
    // CIEDE2000 weighs a lightness step near L* 50 at about its size, a chroma step less.
    EXPECT_NEAR(set.swatches[1].deltaE00, 5, 0.3);
    EXPECT_LT(set.swatches[3].deltaE00, 3);
    EXPECT_EQ(set.swatches[1].direction, "Lighter");
    EXPECT_EQ(set.swatches[6].direction, "Bluer");
    EXPECT_EQ(set.swatches[4].step, "A -  3");
    // Redder has the larger a*: its red channel is higher than greener's.
    EXPECT_GT(set.swatches[3].rgb[0], set.swatches[4].rgb[0]);
}

TEST(ToleranceModel, SwatchBeyondValueTenIsEmptyAndLeftOutOfThePalette) {
    const ToleranceSet set = MakeCTol({98, 0, 0}, {5, 5, 5}, *sharedTable(), defaults());
    EXPECT_FALSE(set.swatches[1].ok); // L* 103
    EXPECT_TRUE(set.swatches[0].ok);
    const std::string text = cpaletteText(set, "12-07-2026", "10:11:12");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
    EXPECT_EQ(text.find(",1,"), std::string::npos);
}

TEST(ToleranceModel, PaletteBytes) {
    ToleranceSet set;
    for (int k = 0; k < 7; ++k) {
        ToleranceSwatch& s = set.swatches[static_cast<std::size_t>(k)];
        s.ok = true;
        s.hue = "5.00R";
        s.value = std::to_string(k);
        s.chroma = "2.5";
        s.rgb = {static_cast<std::int16_t>(100 + k), 7, 255};
        s.xyz = {20.125f, 21, 0.5f};
        s.lab = {53, -0.25f, static_cast<float>(k)};
    }
    const std::string text = cpaletteText(set, "12-07-2026", "09:08:07");
    std::string expected;
    for (int k = 6; k >= 0; --k)
        expected += "12-07-2026,09:08:07," + std::to_string(k) + ",5.00R," + std::to_string(k) +
                    ",2.5,20.13,21.00,0.50,53.00,-.25," + (k ? std::to_string(k) : "") +
                    ".00,0,0,0, " + std::to_string(100 + k) + " , 7 , 255 ,end\r\n";
    EXPECT_EQ(text, expected);
}

TEST(ColorCheckerModel, ShippedFileFillsAllPatches) {
    std::ifstream in(std::string(ZUL_SOURCE_DIR) + "/data/ccnames.csv", std::ios::binary);
    const CcNames names = readCcNames(in);
    EXPECT_EQ(names.read, 24);
    EXPECT_EQ(names.fault, "");
    const ColorChecker cc = fillCC(names, *sharedTable(), defaults());
    EXPECT_EQ(cc.patches[0].rgb, (DisplayRgb{114, 82, 68}));
    EXPECT_EQ(cc.names[0], "dark skin");
    // Element 6 opens the second row, element 23 closes the last one.
    EXPECT_DOUBLE_EQ(cc.patches[6].cx, cc.patches[0].cx);
    EXPECT_DOUBLE_EQ(cc.patches[6].cy, cc.patches[0].cy + 1680);
    EXPECT_DOUBLE_EQ(cc.patches[23].cx, 120 + 5 * 1680 + 1455 / 2.0);
    EXPECT_DOUBLE_EQ(cc.patches[23].cy, 240 + 3 * 1680 + 1455 / 2.0);
    EXPECT_EQ(cc.names[23], "black");
}

TEST(ColorCheckerModel, ReaderFaults) {
    {
        // CR LF, a quoted name with a comma, a bad hue on line 3: that patch only is n/a.
        std::istringstream in("No,Name,Hue,Value,Chroma\r\n1,\"skin, dark\",3YR,3.7,3.2\r\n"
                              "2,odd,5Q,5,5\r\n3,red,5R,4,12\r\n");
        const CcNames n = readCcNames(in);
        EXPECT_TRUE(n.records[0].valid);
        EXPECT_EQ(n.records[0].name, "skin, dark");
        EXPECT_FALSE(n.records[1].valid);
        EXPECT_TRUE(n.records[2].valid);
        EXPECT_EQ(n.read, 2);
        EXPECT_EQ(n.fault, "line 3: hue \"5Q\" is not a Munsell hue");
        const ColorChecker cc = fillCC(n, *sharedTable(), defaults());
        EXPECT_TRUE(cc.patches[0].inReach);
        EXPECT_FALSE(cc.patches[1].inReach);
        EXPECT_EQ(cc.names[1], "n/a");
        EXPECT_FALSE(cc.patches[3].inReach);
    }
    {
        std::istringstream in("No,Name,Hue,Value,Chroma\n1,a,5R,4\n2,b,5R,x,2\n");
        const CcNames n = readCcNames(in);
        EXPECT_EQ(n.fault, "line 2: holds 4 fields, not 5 (No,Name,Hue,Value,Chroma)");
        EXPECT_EQ(n.read, 0);
    }
    {
        std::istringstream in("No,Name,Hue,Value,Chroma\n1,a,5R,4,2\n\n2,b,5R,5,2\n");
        const CcNames n = readCcNames(in);
        EXPECT_EQ(n.read, 2);
        EXPECT_EQ(n.fault, "line 5: 2 of 24 patches found");
    }
    {
        std::istringstream empty("");
        EXPECT_EQ(readCcNames(empty).fault, "line 1: 0 of 24 patches found");
    }
}

} // namespace
} // namespace zul::testing
