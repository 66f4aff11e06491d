// The one palette-record builder against the record written from the fields' texts, and the
// entry converter's linear texts across a change of options.
#include "colorimetry/rgb.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/entryconverter.h"
#include "workbench/palette.h"
#include "workbench/workbench_fixture.h"

#include <algorithm>

namespace zul::testing {
namespace {

class PaletteRecordTest : public WorkbenchTest {};

// The record the general palette line makes of the fields, after its date, time and tag.
std::string recordFromTexts(const Workbench& w) {
    PaletteRecord r;
    for (Field f : {Field::Hue, Field::Value, Field::Chroma, Field::X, Field::Y, Field::Z, Field::L,
                    Field::A, Field::B})
        r.fields << w.text(f);
    DisplayRgb rgb{};
    const Field channels[3] = {Field::R, Field::G, Field::Bl};
    for (std::size_t i = 0; i < 3; ++i)
        rgb[i] = std::clamp<std::int16_t>(
            roundToInt16(parseStrict(w.text(channels[i]).toStdString())), 0, 255);
    r.linear = displayToLinear(rgb, w.rgbSettings());
    for (Field f : {Field::R, Field::G, Field::Bl, Field::C, Field::M, Field::Ye, Field::K})
        r.rgbCmyk << w.text(f);
    r.when = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    r.tag = "T";
    const QByteArray line = paletteLine(r);
    return line.mid(line.indexOf("\"T\"") + 3).toStdString();
}

TEST_F(PaletteRecordTest, EveryChannelTextReadsAsThePaletteLineReadsIt) {
    struct Case {
        const char *r, *g, *b;
        bool ok;
    };
    // Plain whole numbers take a short way; the rest the general reading, clamped to 0..255.
    const Case cases[] = {
        {"0", "128", "255", true}, {"007", "300", "12.5", true}, {"-3", "999", "0010", true},
        {"abc", "1", "2", false},  {"", "1", "2", false},
    };
    Workbench::LinearTexts cache;
    for (const Case& c : cases) {
        wb->setText(Field::Hue, "=5R");
        wb->setText(Field::Value, "a\"b");
        wb->setText(Field::R, c.r);
        wb->setText(Field::G, c.g);
        wb->setText(Field::Bl, c.b);
        for (Workbench::LinearTexts* linear :
             {&cache, &cache, static_cast<Workbench::LinearTexts*>(nullptr)}) {
            std::string line = "x";
            const std::string failure = wb->paletteRecord(line, linear);
            EXPECT_EQ(failure.empty(), c.ok) << c.r << ' ' << c.g << ' ' << c.b;
            if (c.ok)
                EXPECT_EQ(line, "x" + recordFromTexts(*wb)) << c.r << ' ' << c.g << ' ' << c.b;
            else
                EXPECT_EQ(line, "x");
        }
    }
}

TEST_F(PaletteRecordTest, NewOptionsMakeNewLinearTexts) {
    EntryConverter converter(sharedTable(), wb->options());
    auto record = [&converter] {
        EXPECT_TRUE(converter.convert(EntryForm::Rgb, {"100", "150", "200"}));
        std::string line;
        EXPECT_EQ(converter.appendPaletteRecord(line), "");
        return line;
    };
    const std::string before = record();
    wb->setText(Field::Gamma, "1.8");
    converter.setOptions(wb->options());
    const std::string after = record();
    EntryConverter fresh(sharedTable(), wb->options());
    EXPECT_NE(after, before);
    fresh.convert(EntryForm::Rgb, {"100", "150", "200"});
    std::string expected;
    fresh.appendPaletteRecord(expected);
    EXPECT_EQ(after, expected);
}

} // namespace
} // namespace zul::testing
