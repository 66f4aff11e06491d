// The Munsell reference table: grid, filter, columns, and the values of a quiet workbench.
#include "batch/maketable.h"
#include "batch_support.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <set>

namespace zul::testing {
namespace {

std::vector<std::string> split(const std::string& line, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(sep, start)) != std::string::npos; start = end + 1)
        parts.push_back(line.substr(start, end - start));
    parts.push_back(line.substr(start));
    return parts;
}

TEST(MakeTable, HeadingGridAndFilter) {
    const std::string table = batch::makeTable(*sharedTable(), startOptions());
    EXPECT_EQ(table, batch::makeTable(*sharedTable(), startOptions())); // the same every time
    const auto lines = crlfLines(table);
    ASSERT_GT(lines.size(), 1000u);
    EXPECT_EQ(lines[0].rfind("\u00a9Chromatel  -", 0), 0u);
    EXPECT_EQ(lines[0].find('\t'), std::string::npos);
    EXPECT_EQ(lines[1].rfind("If R G B value is 0 or 255 the color is out of the gamut of a CRT "
                             "and is for approximation only  Illuminant C 2 degree observer  ",
                             0),
              0u);
    EXPECT_EQ(lines[2], "Angle\tHue\tValue\tChroma\tX\tY\tZ\tL*\ta*\tb*\tR\tG\tB");

    const auto first = split(lines[3], '\t');
    ASSERT_EQ(first.size(), 13u);
    EXPECT_EQ(first[0], " 0 ");
    EXPECT_EQ(first[1], ".00R");
    EXPECT_EQ(first[2], " 1 ");
    EXPECT_EQ(first[3], " 0 ");

    const std::set<std::string> values = {" 1 ", " 2 ", " 3 ",    " 4 ",   " 5 ",    " 6 ",
                                          " 7 ", " 8 ", " 8.25 ", " 8.5 ", " 8.75 ", " 9 "};
    bool clipped = false;
    std::string previousValue;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const auto cols = split(lines[i], '\t');
        ASSERT_EQ(cols.size(), 13u) << lines[i];
        EXPECT_TRUE(values.count(cols[2])) << lines[i];
        const double chroma = std::stod(cols[3]);
        EXPECT_FALSE(chroma > 8 && static_cast<int>(chroma) % 2 == 1) << lines[i];
        EXPECT_LE(chroma, 30);
        const double angle = std::stod(cols[0]);
        EXPECT_TRUE(angle >= 0 && angle <= 97.5 && std::fmod(angle, 2.5) == 0) << lines[i];
        for (int c = 4; c <= 6; ++c)
            EXPECT_GT(std::stod(cols[static_cast<std::size_t>(c)]), 0.01) << lines[i];
        const int r = std::stoi(cols[10]), g = std::stoi(cols[11]), b = std::stoi(cols[12]);
        // Quiet: a clipped colour keeps its clipped channels, not the window's black.
        if ((r == 0 || r == 255 || g == 0 || g == 255 || b == 0 || b == 255) && r + g + b > 0)
            clipped = true;
        if (cols[2] != previousValue) {
            EXPECT_EQ(cols[0], " 0 ") << "values are the outermost loop: " << lines[i];
            previousValue = cols[2];
        }
    }
    EXPECT_TRUE(clipped);
}

TEST(MakeTable, ValuesAreThoseOfAQuietWorkbenchUnderTheSameSettings) {
    ScriptedDialogs dialogs;
    Workbench wb(sharedTable(), dialogs);
    wb.startUp();
    wb.selectIlluminant(2);
    wb.setPwd(1);
    wb.setText(Field::Gamma, "1.8");
    wb.setQuiet(true);
    const auto lines = crlfLines(batch::makeTable(*sharedTable(), wb.options()));
    EXPECT_NE(lines[1].find("Illuminant D65 10 degree observer PWD  "), std::string::npos);
    int compared = 0;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const auto cols = split(lines[i], '\t');
        if (cols[0] != " 0 ") continue; // hue number 0.001, which "0.001R" names exactly
        wb.clearEntries();
        wb.setText(Field::Hue, "0.001R");
        wb.setText(Field::Value, QString::fromStdString(cols[2]).trimmed());
        wb.setText(Field::Chroma, QString::fromStdString(cols[3]).trimmed());
        ASSERT_TRUE(wb.muncie()) << lines[i];
        const Field fields[] = {Field::X, Field::Y, Field::Z, Field::L, Field::A, Field::B};
        for (std::size_t c = 0; c < 6; ++c) {
            // The workbench writes X, Y, Z with "##0.00", the table with "###.00".
            QString expected = wb.text(fields[c]);
            if (expected.startsWith("0.")) expected.remove(0, 1);
            EXPECT_EQ(cols[4 + c], expected.toStdString()) << lines[i];
        }
        const auto rgb = wb.displayRgb();
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_EQ(cols[10 + c], std::to_string(rgb[c])) << lines[i];
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

} // namespace
} // namespace zul::testing
