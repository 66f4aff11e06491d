// Numbers a colour professional relies on, through the built program: black and near black have
// the neutral notation, a clamped value says so, text in a number field is refused by name, and
// a failed command leaves no output file.
#include "records/csvline.h"
#include "support/zulprocess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

// The result line of `zul convert ARGS`, split into its fields.
std::vector<std::string> converted(const QStringList& args, int expectedStatus = 0) {
    const ProgramRun r = runZul(QStringList{"convert"} + args);
    EXPECT_EQ(r.status, expectedStatus) << r.err;
    const auto lines = r.lines();
    std::vector<std::string> fields;
    if (lines.size() == 2) splitCsvLine(lines[1], fields);
    return fields;
}

enum Column { kHue, kValue, kChroma, kX, kY, kZ, kSmallX, kSmallY, kNote = 18 };

TEST(CliNumbers, BlackAndNearBlackAreTheNeutralOfTheirValue) {
    struct Case {
        QStringList args;
        std::string value, x, y;
    };
    const Case cases[] = {
        {{"--from", "rgb", "0", "0", "0"}, "0.00", ".3101", ".3163"},
        {{"--from", "xyz", "0", "0", "0"}, "0.00", ".3101", ".3163"},
        {{"--from", "xyz", "--illuminant", "D65", "0", "0", "0"}, "0.00", ".3139", ".3312"},
        // The fields' two decimals leave X, Y, Z 0, 0, 0.01: no chromaticity to go by.
        {{"--from", "rgb", "--gamma", "1.8", "1", "1", "1"}, "0.00", ".3101", ".3163"},
        {{"--from", "xyz", "0.04", "0.03", "0"}, "0.02", ".3101", ".3163"},
    };
    for (const Case& c : cases) {
        const auto f = converted(c.args);
        ASSERT_EQ(f.size(), 19u) << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kHue], "N") << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kValue], c.value) << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kChroma], "0.00");
        EXPECT_EQ(f[kSmallX], c.x) << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kSmallY], c.y) << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kNote], "") << c.args.join(' ').toStdString();
    }
    // A chromatic colour with a zero among X, Y, Z, bright enough to know its chromaticity,
    // keeps it.
    const auto bright = converted({"--from", "xyz", "30", "30", "0"});
    ASSERT_EQ(bright.size(), 19u);
    EXPECT_NE(bright[kHue], "N");
    // The neutral black converts back: N 0/ is black.
    const auto back = converted({"--from", "munsell", "N 0.00/0.00"});
    ASSERT_EQ(back.size(), 19u);
    EXPECT_EQ(back[kX], "0.00");
    EXPECT_EQ(back[kY], "0.00");
    EXPECT_EQ(back[kZ], "0.00");
    const auto black = converted({"--from", "xyz", "0", "0", "0"});
    ASSERT_EQ(black.size(), 19u);
    EXPECT_EQ(back[11] + back[12] + back[13], black[11] + black[12] + black[13]);
}

TEST(CliNumbers, AClampedValueSaysSo) {
    struct Case {
        QStringList args;
        std::string shownValue, note;
    };
    const Case cases[] = {
        {{"--from", "rgb", "21", "14", "8"},
         "0.50",
         "Value 0.18 was shown as 0.5, the table's bottom"},
        {{"--from", "munsell", "N 10/"}, "10", "Value 10 was shown as 9.5, the table's top"},
        {{"--from", "munsell", "5R 9.99/2"},
         "9.99",
         "Value 9.99 was shown as 9.5, the table's top"},
        {{"--from", "munsell", "5R", "9.99", "2"},
         "9.99",
         "Value 9.99 was shown as 9.5, the table's top"},
    };
    for (const Case& c : cases) {
        const auto f = converted(c.args);
        ASSERT_EQ(f.size(), 19u) << c.args.join(' ').toStdString();
        EXPECT_EQ(f[kValue], c.shownValue);
        EXPECT_NE(f[kNote].find(c.note), std::string::npos)
            << c.args.join(' ').toStdString() << ": " << f[kNote];
    }
    // Within the table nothing is said.
    EXPECT_EQ(converted({"--from", "munsell", "5R 9.4/2"})[kNote], "");
}

TEST(CliNumbers, TextInANumberFieldIsRefusedByName) {
    const auto f = converted({"--from", "rgb", "abc", "1", "2"}, 1);
    ASSERT_EQ(f.size(), 19u);
    EXPECT_NE(f[kNote].find("R: \"abc\" is not a number"), std::string::npos) << f[kNote];
    EXPECT_EQ(f[kHue], "");

    const ProgramRun typo = runZul({"convert", "--from", "munsell", "7,5YR 5/6"});
    EXPECT_EQ(typo.status, 1);
    EXPECT_NE(typo.err.find("not a Munsell notation: \"7,5YR 5/6\""), std::string::npos)
        << typo.err;
    // A missing file with a file's name is still a missing file.
    const ProgramRun missing = runZul({"convert", "--from", "munsell", "samples.csv"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read \"samples.csv\""), std::string::npos) << missing.err;
}

TEST(CliNumbers, AFailedViewLeavesNoPicture) {
    QTemporaryDir dir;
    const ProgramRun r = runZul({"view", "nothere.csv", "--png", "v.png"}, {}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("v.png")));

    // Lines that are not records beside records: the records' picture, as the help says.
    QFile palette(dir.filePath("mixed.csv"));
    ASSERT_TRUE(palette.open(QIODevice::WriteOnly));
    palette.write("\"01-02-2026\",\"10:00:00\",\"a\",\"5R\",\"5\",\"10\"\r\nnot a record\r\n");
    palette.close();
    const ProgramRun mixed = runZul({"view", "mixed.csv", "--png", "m.png"}, {}, dir.path());
    EXPECT_EQ(mixed.status, 1);
    EXPECT_TRUE(QFile::exists(dir.filePath("m.png")));
}

} // namespace
} // namespace zul::testing
