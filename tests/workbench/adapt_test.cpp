// "Adapt entries to the illuminant": every displayed form of a Munsell colour, entered again under
// D50 or D65, gives the colour back.
#include "munsell/hue.h"
#include "text/numtext.h"
#include "workbench_fixture.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace zul::testing {
namespace {

constexpr float kHueTol = 0.1f;
constexpr float kChromaTol = 0.1f;
constexpr float kValueTol = 0.02f;
constexpr float kHueFromChroma = 4;
// RGB entries carry 8-bit steps (and the display's floor): what they allow, measured below.
constexpr float kRgbHueTol = 1.0f;
constexpr float kRgbChromaTol = 0.3f;
constexpr float kRgbValueTol = 0.05f;

struct Munsell {
    float hue, value, chroma;
};

Munsell shown(const Workbench& wb) {
    std::string notation = wb.text(Field::Hue).toStdString();
    return {converth(notation),
            static_cast<float>(parseStrict(wb.text(Field::Value).toStdString())),
            static_cast<float>(parseStrict(wb.text(Field::Chroma).toStdString()))};
}

float hueDistance(float a, float b) {
    const float d = std::fabs(a - b);
    return std::min(d, 100 - d);
}

struct Worst {
    float hue = 0, value = 0, chroma = 0;
    // Hue only from chroma 4 up: nearer the neutral axis the two decimals of the shown texts
    // alone turn the hue by more than 0.1.
    void take(const Munsell& want, const Munsell& got) {
        if (want.chroma >= kHueFromChroma) hue = std::max(hue, hueDistance(want.hue, got.hue));
        value = std::max(value, std::fabs(want.value - got.value));
        chroma = std::max(chroma, std::fabs(want.chroma - got.chroma));
    }
};

// The engine's own round trip (forward interpolation in x y, inverse between two value levels)
// and the rounding of the shown texts already move a colour by up to about 0.3 in hue and chroma
// between value levels, under illuminant C as under any other. What adaptation must not add is
// measured against that: each form entered again under D50 or D65 gives what it gives under C,
// within the tolerances; the distance to the colour typed first is printed for the record.
class AdaptRoundTrip : public WorkbenchTest, public ::testing::WithParamInterface<int> {};

TEST_P(AdaptRoundTrip, EveryFormEnteredAgainGivesWhatItGivesUnderC) {
    const int illuminant = GetParam();
    wb->selectIlluminant(illuminant);
    wb->setAdaptEntries(true);
    ScriptedDialogs quiet;
    Workbench underC(sharedTable(), quiet);
    underC.startUp();
    underC.setAdaptEntries(true); // CIELAB entries by the exact inverse there too
    std::mt19937 random(14 + illuminant);
    std::uniform_real_distribution<float> hueOf(0.5f, 99.5f), valueOf(2, 9), chromaOf(2, 14);

    struct FormCase {
        const char* name;
        std::vector<Field> fields;
        Worst added, typed;
    };
    std::vector<FormCase> forms = {{"XYZ", {Field::X, Field::Y, Field::Z}, {}, {}},
                                   {"x y", {Field::SmallX, Field::SmallY, Field::Y}, {}, {}},
                                   {"CIELAB", {Field::L, Field::A, Field::B}, {}, {}},
                                   {"RGB", {Field::R, Field::G, Field::Bl}, {}, {}}};
    // The displayed texts of `w` for the colour, or false outside the data or the display.
    auto convert = [](Workbench& w, const Munsell& m) {
        w.setText(Field::Hue, QString::fromStdString(hconvert(m.hue)));
        w.setText(Field::Value, QString::number(m.value));
        w.setText(Field::Chroma, QString::number(m.chroma));
        return w.muncie() && !w.outOfRange();
    };
    auto enterAgain = [](Workbench& w, const std::vector<Field>& fields,
                         const std::array<QString, static_cast<int>(Field::Count)>& texts) {
        for (Field f : fields)
            w.setText(f, texts[static_cast<int>(f)]);
        EXPECT_TRUE(w.enterPressed(fields.back())) << w.message().toStdString();
        return shown(w);
    };
    int tried = 0;
    while (tried < 1000) {
        const Munsell want{std::round(hueOf(random) * 10) / 10,
                           std::round(valueOf(random) * 10) / 10,
                           std::round(chromaOf(random) * 10) / 10};
        if (!convert(*wb, want) || !convert(underC, want)) continue;
        ++tried;
        std::array<QString, static_cast<int>(Field::Count)> texts, textsC;
        for (int f = 0; f < static_cast<int>(Field::Count); ++f) {
            texts[f] = wb->text(static_cast<Field>(f));
            textsC[f] = underC.text(static_cast<Field>(f));
        }
        for (FormCase& form : forms) {
            const Munsell got = enterAgain(*wb, form.fields, texts);
            const Munsell gotC = enterAgain(underC, form.fields, textsC);
            form.added.take(gotC, got);
            form.typed.take(want, got);
        }
    }
    const char* name = illuminant == 1 ? "D50" : "D65";
    for (const FormCase& form : forms) {
        std::printf("  %s %s: beyond C: hue %.2f value %.2f chroma %.2f; from the typed "
                    "colour: hue %.2f value %.2f chroma %.2f\n",
                    name, form.name, form.added.hue, form.added.value, form.added.chroma,
                    form.typed.hue, form.typed.value, form.typed.chroma);
        const bool rgb = form.fields[0] == Field::R;
        EXPECT_LE(form.added.hue, rgb ? kRgbHueTol : kHueTol) << form.name;
        EXPECT_LE(form.added.value, rgb ? kRgbValueTol : kValueTol) << form.name;
        EXPECT_LE(form.added.chroma, rgb ? kRgbChromaTol : kChromaTol) << form.name;
    }
}

// Unadapted, the same entries drift by the illuminant's colour: the switch is what brings
// them back.
TEST_F(WorkbenchTest, WithoutTheSwitchADisplayedD50FormComesBackShifted) {
    wb->selectIlluminant(1);
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "10"}}));
    const std::string l = text(Field::L), a = text(Field::A), b = text(Field::B);
    ASSERT_TRUE(enter({{Field::L, l.c_str()}, {Field::A, a.c_str()}, {Field::B, b.c_str()}}));
    EXPECT_EQ(text(Field::Hue), ".60R");
    EXPECT_EQ(text(Field::Value), "5.01");
    EXPECT_EQ(text(Field::Chroma), "10.34");
    wb->setAdaptEntries(true);
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "10"}}));
    ASSERT_TRUE(enter({{Field::L, l.c_str()}, {Field::A, a.c_str()}, {Field::B, b.c_str()}}));
    const Munsell back = shown(*wb);
    EXPECT_NEAR(back.hue, 5, kHueTol);
    EXPECT_NEAR(back.value, 5, kValueTol);
    EXPECT_NEAR(back.chroma, 10, kChromaTol);
}

INSTANTIATE_TEST_SUITE_P(D50AndD65, AdaptRoundTrip, ::testing::Values(1, 2));

TEST_F(WorkbenchTest, UntickedEntriesAreReadAsIlluminantCAndTickedAsTheSelectedOne) {
    wb->selectIlluminant(1);
    ASSERT_TRUE(enter({{Field::R, "128"}, {Field::G, "128"}, {Field::Bl, "128"}}));
    EXPECT_EQ(text(Field::Hue), "5.57Y"); // a D50 grey read as a C colour
    wb->setAdaptEntries(true);
    ASSERT_TRUE(enter({{Field::R, "128"}, {Field::G, "128"}, {Field::Bl, "128"}}));
    EXPECT_LT(std::stof(text(Field::Chroma)), 0.2f);

    // A dark CIELAB entry goes through the linear segment of the exact inverse.
    ASSERT_TRUE(enter({{Field::L, "5"}, {Field::A, "0"}, {Field::B, "0"}}));
    Xyz xyz{std::stof(text(Field::X)), std::stof(text(Field::Y)), std::stof(text(Field::Z))};
    EXPECT_NEAR(xyz.y, 100 * 5 / 903.3, 0.01);
    EXPECT_NEAR(xyz.x / xyz.y, 0.9642, 0.02);

    // The worker gets the switch with the other options.
    Workbench worker(sharedTable(), dialogs);
    worker.applyOptions(wb->options());
    EXPECT_TRUE(worker.adaptEntries());
    EXPECT_TRUE(wb->options().adapt);
}

} // namespace
} // namespace zul::testing
