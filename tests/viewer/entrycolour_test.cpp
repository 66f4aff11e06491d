// The palette load's short way through the Munsell entry chain against the chain itself, and its
// record splitting against the program's CSV reading.
#include "records/csvline.h"
#include "records/paletterecord.h"
#include "text/errors.h"
#include "text/numtext.h"

#include "workbench/entryconverter.h"
#include "workbench/workbench_fixture.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

namespace zul::testing {
namespace {

class EntryColourTest : public WorkbenchTest {};

float readText(std::string_view text) {
    float v = std::nanf("");
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

float fieldReading(const Workbench& wb, Field f) {
    return readText(wb.textUtf8(f));
}

TEST(TwoDecimalsNumber, ReadsAsThePictureTextReads) {
    std::vector<float> values = {0.0f,   -0.0f,   0.004f, -0.004f,   0.005f,   -0.005f,
                                 0.125f, -0.125f, 0.375f, 2.625f,    -99.875f, 51.575f,
                                 100.0f, -16.0f,  1e-30f, 123456.7f, 3e7f,     -2.5e9f,
                                 1e13f,  1e20f,   -3e38f, 0.015f,    1.005f,   -1.005f};
    // Ties of hundredths (eighths) and a sweep over the range CIELAB fields take.
    for (int m = -4000; m <= 4000; ++m)
        values.push_back(static_cast<float>(m) / 8.0f);
    for (float v = -600.0f; v < 600.0f; v += 0.0371f)
        values.push_back(v);
    for (float v : values) {
        const float expected = readText(formatPicture(v, "###.00"));
        const float got = twoDecimalsNumber(v);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected))
            << v << " " << formatPicture(v, "###.00");
    }
}

TEST_F(EntryColourTest, GivesWhatTheChainGivesForEveryKindOfEntry) {
    // Hues of every family, neutrals, texts the chain rewrites (whole notations, non-ASCII),
    // hues it reports as format errors and goes on with, and hues out of range.
    const std::vector<std::string> hues = {
        "5R",   "2.5YR", "10Y",  "7.5GY", "0G",    "10BG", "5B",         "2.5PB", "5p",
        "10RP", "N",     " n ",  "5R 4/", "N 5/",  "N5",   "5R 6/12",    "5XX",   "abc",
        "",     "1R",    "100R", "101R",  "1e3YR", "-5R",  "5R\xC2\xA0", "5Y\xE9"};
    const std::vector<std::string> values = {"0",   "0.2", "0.49", "0.5",  "1",   "4",
                                             "8.6", "9.5", "10",   "10.5", " 3 ", "-1"};
    const std::vector<std::string> chromas = {"0",  "2",  "6",    "10.4", "14",
                                              "26", "40", "40.4", "41",   "-0.2"};
    struct Settings {
        int illuminant, pwd;
        const char* gamma;
        int tint;
    };
    for (const Settings s :
         {Settings{0, 0, "2.2", 100}, Settings{1, 1, "1.8", 80}, Settings{2, 2, "2.6", 55}}) {
        wb->selectIlluminant(s.illuminant);
        wb->setPwd(s.pwd);
        wb->setText(Field::Gamma, s.gamma);
        wb->sliderMoved(Slider::Tint, s.tint);
        const Workbench::Options options = wb->options();
        ScriptedDialogs quiet;
        Workbench chain(sharedTable(), quiet);
        chain.startUp();
        chain.applyOptions(options);
        EntryConverter fast(sharedTable(), options);
        int good = 0, failed = 0, black = 0;
        for (const std::string& h : hues) {
            for (const std::string& v : values) {
                for (const std::string& c : chromas) {
                    const std::string entry = "'" + h + "' " + v + "/" + c;
                    chain.setTextUtf8(Field::Hue, h);
                    chain.setTextUtf8(Field::Value, v);
                    chain.setTextUtf8(Field::Chroma, c);
                    const bool ok = chain.muncie();
                    const auto got = fast.munsellColour(h, v, c, static_cast<float>(parseStrict(v)),
                                                        static_cast<float>(parseStrict(c)));
                    ASSERT_EQ(got.has_value(), ok) << entry;
                    if (!ok) {
                        ++failed;
                        continue;
                    }
                    ++good;
                    const auto rgb = chain.displayRgb();
                    black += chain.outOfRange() ? 1 : 0;
                    EXPECT_EQ(got->rgb, (std::array<int, 3>{rgb[0], rgb[1], rgb[2]})) << entry;
                    EXPECT_EQ(got->lab, (std::array<float, 3>{fieldReading(chain, Field::L),
                                                              fieldReading(chain, Field::A),
                                                              fieldReading(chain, Field::B)}))
                        << entry;
                }
            }
        }
        // Every kind was met: converted, failed, and out of the display gamut.
        EXPECT_GT(good, 500) << s.illuminant;
        EXPECT_GT(failed, 500) << s.illuminant;
        EXPECT_GT(black, 10) << s.illuminant;
    }
}

TEST(RecordFields, SplitAsTheCsvReaderSplitsUpToTheLastFieldRead) {
    const std::vector<std::string> lines = {
        R"("12-07-2026","10:00:00","S1","5R","4","6","19.77",".2",1,2,3,4,5,6,7,"124","124","124","0","0","0","51")",
        R"( a , "b, c" ,  "d""e"  , "f"junk, g ,"unclosed, h)",
        R"("""",""" x """,,, "" ,"a""""b")",
        "\t1\t,\t2\t,3",
        "one",
        "   ",
        "",
        ",",
        "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r",
        "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,",
        R"(a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,"r,s",t)",
        R"(a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,"q",r"x,y)",
        R"("a"b"c,d)",
        "\"last\"\"",
    };
    std::vector<std::string> all, unquoted = {"left", "over", "from", "before"};
    RecordFields read;
    for (const std::string& line : lines) {
        splitCsvLine(line, all);
        splitRecordFields(line, read, unquoted);
        if (all.size() > kRecordFields) all.resize(kRecordFields);
        EXPECT_EQ(std::vector<std::string>(read.text.begin(), read.text.begin() + read.count), all)
            << line;
    }
}

} // namespace
} // namespace zul::testing
