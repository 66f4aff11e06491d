// Output bytes of each job, compared with a workbench given the same entries in-process.
#include "batch/convert.h"
#include "batch_support.h"
#include "text/numtext.h"
#include "workbench/palette.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace zul::testing {
namespace {

std::string s(const QString& q) {
    return q.toStdString();
}

// A workbench as a worker has it: start-up options, quiet for the quiet jobs.
class Reference {
public:
    explicit Reference(bool quiet) : wb(sharedTable(), dialogs) {
        wb.applyOptions(startOptions());
        wb.setQuiet(quiet);
    }
    bool munsell(const char* h, const char* v, const char* c) {
        return run({Field::Hue, Field::Value, Field::Chroma}, {h, v, c}, &Workbench::muncie);
    }
    bool lab(const char* l, const char* a, const char* b) {
        return run({Field::L, Field::A, Field::B}, {l, a, b}, &Workbench::labChain);
    }
    // ",X,Y,Z,L*,a*,b*, R , G , B " from the fields and the last RGB computation.
    std::string tail() const {
        std::string t;
        for (Field f : {Field::X, Field::Y, Field::Z, Field::L, Field::A, Field::B})
            t += "," + s(wb.text(f));
        for (int c : wb.displayRgb())
            t += ", " + std::to_string(c) + " ";
        return t;
    }
    std::string munsellFields() const {
        return s(wb.text(Field::Hue)) + "," + s(wb.text(Field::Value)) + "," +
               s(wb.text(Field::Chroma));
    }

    NonInteractiveDialogs dialogs;
    Workbench wb;

private:
    // Cleared entries, three texts typed in, then the chain.
    bool run(const std::array<Field, 3>& fields, const std::array<const char*, 3>& texts,
             bool (Workbench::*chain)()) {
        wb.clearEntries();
        for (std::size_t i = 0; i < fields.size(); ++i)
            wb.setText(fields[i], texts[i]);
        return (wb.*chain)();
    }
};

const std::string kEmptyTail = ",,,,,,,,,";

TEST(BatchOutput, StepsLinesSummaryAndFailedShape) {
    const JobRun r = runJob("steps", "5R\t5\t14\r\n2.5YR\t6\t8\r\n\r\n10R\t9\t40\r\n5R\t5\r\n");
    Reference ref(true);
    const auto lines = crlfLines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "H,V,C,X,Y,Z,L*,a*,b*,R,G,B");
    ASSERT_TRUE(ref.munsell("5R", "5", "14"));
    EXPECT_EQ(lines[1], "5R,5,14" + ref.tail());
    ASSERT_TRUE(ref.munsell("2.5YR", "6", "8"));
    EXPECT_EQ(lines[2], "2.5YR,6,8" + ref.tail());
    EXPECT_FALSE(ref.munsell("10R", "9", "40")); // beyond the renotation data
    EXPECT_EQ(lines[3], "10R,9,40" + kEmptyTail);

    EXPECT_EQ(r.report.records, 4);
    EXPECT_EQ(r.report.converted, 2);
    EXPECT_EQ(r.report.failed, 1);
    EXPECT_EQ(r.report.skipped, 1);
    EXPECT_EQ(r.report.exitStatus(), 1);
    EXPECT_EQ(s(r.report.failureSummary()), "2 of 4 records not converted (lines 4, 5)");
    EXPECT_EQ(s(r.report.countsText()), "Total colors 3  Colors not displayed 0");
    const auto errors = crlfLines(r.errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "4,10R\t9\t40,Out of Munsell Range");
    EXPECT_EQ(errors[1].rfind("5,5R\t5,\"expected hue", 0), 0u) << errors[1];
}

TEST(BatchOutput, LabRecordNumbersAndTheLineOneRule) {
    const JobRun withHeading = runJob("lab", "L*,a*,b*\n50,10,-10\n90,0,0\n");
    const JobRun without = runJob("lab", "50,10,-10\n90,0,0\n");
    EXPECT_EQ(withHeading.out, without.out);
    Reference ref(false);
    const auto lines = crlfLines(without.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "#,Hue,Value,Chroma,X,Y,Z,L*,a*,b*,R,G,B");
    ASSERT_TRUE(ref.lab("50", "10", "-10"));
    EXPECT_EQ(lines[1], " 1 ," + ref.munsellFields() + ref.tail());
    ASSERT_TRUE(ref.lab("90", "0", "0"));
    EXPECT_EQ(lines[2], " 2 ," + ref.munsellFields() + ref.tail());
    EXPECT_EQ(without.report.exitStatus(), 0);
}

TEST(BatchOutput, MunsellJobKeepsTheTextsAsReadAndAddsCmyk) {
    const JobRun r = runJob("munsell", "Hue,Value,Chroma\n5r,4,14\n\"5PB\",3,30\n5R 4/14\n");
    Reference ref(false);
    const auto lines = crlfLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    auto cmyk = [&] {
        std::string t;
        for (Field f : {Field::C, Field::M, Field::Ye, Field::K})
            t += "," + s(ref.wb.text(f));
        return t;
    };
    ASSERT_TRUE(ref.munsell("5r", "4", "14"));
    EXPECT_EQ(lines[0], "5r,4,14" + ref.tail() + cmyk());
    // Not quiet: an out-of-gamut colour has the interactive R, G, B.
    ASSERT_TRUE(ref.munsell("5PB", "3", "30"));
    EXPECT_EQ(lines[1], "5PB,3,30" + ref.tail() + cmyk());
    ASSERT_TRUE(ref.munsell("5R", "4", "14"));
    EXPECT_EQ(lines[2], "5R,4,14" + ref.tail() + cmyk());
}

TEST(BatchOutput, CheckerHeadingsQuotingAndNotDisplayedCount) {
    const JobRun r = runJob("checker", "No,Name,Hue,Value,Chroma\n"
                                       "1,\"blue, \"\"sky\"\"\",5PB,5,12\n"
                                       "2,red,5R,4,14\n");
    Reference ref(true);
    const auto lines = crlfLines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("Chromatel  -", 0), 0u);
    EXPECT_NE(lines[1].find("illuminant C and the 2 degree observer"), std::string::npos);
    EXPECT_EQ(lines[2], "No,Name,Hue,Value,Chroma,X,Y,Z,L*,a*,b*,R,G,B");
    int notDisplayed = 0;
    auto count = [&] {
        const auto rgb = ref.wb.displayRgb();
        notDisplayed +=
            std::any_of(rgb.begin(), rgb.end(), [](int c) { return c == 0 || c == 255; });
    };
    ASSERT_TRUE(ref.munsell("5PB", "5", "12"));
    count();
    EXPECT_EQ(lines[3], "1,\"blue, \"\"sky\"\"\",5PB,5,12" + ref.tail());
    ASSERT_TRUE(ref.munsell("5R", "4", "14"));
    count();
    EXPECT_EQ(lines[4], "2,red,5R,4,14" + ref.tail());
    EXPECT_EQ(r.report.notDisplayed, notDisplayed);

    Workbench::Options d65 = startOptions();
    d65.illuminant = 2;
    d65.pwd = 1;
    const auto other = crlfLines(runJob("checker", "No,Name,Hue,Value,Chroma\n", d65).out);
    EXPECT_TRUE(other.empty()); // nothing but a heading: "File not found", nothing written
    EXPECT_NE(batch::headingLines(*batch::jobNamed("checker"), "h", d65)
                  .find("illuminant D65 and the 10 degree observer, luminance relative"),
              std::string::npos);
}

TEST(BatchOutput, ChartHeadingLabelsItsColumns) {
    const JobRun r = runJob("chart", "Name,Code,Group,Hue,Value,Chroma\nrose,55A,red,5R,4,14\n");
    Reference ref(true);
    const auto lines = crlfLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Chromatel  -");
    EXPECT_EQ(lines[1], "Name,Code,Group,X,Y,Z,L*,a*,b*,R,G,B");
    ASSERT_TRUE(ref.munsell("5R", "4", "14"));
    EXPECT_EQ(lines[2], "rose,55A,red" + ref.tail());
}

TEST(BatchOutput, SpectralLinesInFourteenColumnZones) {
    std::string line = "s1,\"two, words\",3";
    Reflectance refl{};
    for (int i = 0; i < 40; ++i) {
        refl[static_cast<std::size_t>(i)] = 20.0f + static_cast<float>(i);
        line += "," + std::to_string(20 + i);
    }
    const JobRun r = runJob("spectral", line + ",end note\n" + line + "\n");
    const auto lines = crlfLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Chromatel  -");

    Reference ref(false);
    const Xyz xyz = tris(refl, ref.wb.weights());
    ref.wb.clearEntries();
    ref.wb.setText(Field::X, QString::fromStdString(plainText(xyz.x)));
    ref.wb.setText(Field::Y, QString::fromStdString(plainText(xyz.y)));
    ref.wb.setText(Field::Z, QString::fromStdString(plainText(xyz.z)));
    ASSERT_TRUE(ref.wb.xyzChain());
    std::vector<std::string> items = {"s1",
                                      "\"two, words\"",
                                      "3",
                                      s(ref.wb.text(Field::Hue)),
                                      s(ref.wb.text(Field::Value)),
                                      s(ref.wb.text(Field::Chroma)),
                                      signedText(xyz.x) + " ",
                                      signedText(xyz.y) + " ",
                                      signedText(xyz.z) + " ",
                                      "end note"};
    for (float v : refl)
        items.push_back(signedText(v) + " ");
    std::string expected;
    for (const std::string& item : items) {
        if (!expected.empty())
            expected.append((expected.size() / 14 + 1) * 14 - expected.size(), ' ');
        expected += item;
    }
    EXPECT_EQ(lines[1], expected);
    EXPECT_EQ(lines[1].substr(14, 12), "\"two, words\"");
    EXPECT_EQ(lines[1][13], ' ');
    EXPECT_EQ(lines[1].substr(126, 8), "end note");
}

TEST(BatchOutput, ZonesKeepABlankWhenATextFillsItsZone) {
    std::string line = "abcdefghijklmn,b,c";
    for (int i = 0; i < 40; ++i)
        line += ",50";
    const auto lines = crlfLines(runJob("spectral", line + "\n").out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 29), "abcdefghijklmn              b");
}

TEST(BatchOutput, PaletteRecordsAsSaveDataWritesThem) {
    // Tags a spreadsheet would take for a formula are made safe as "Save to Palette" makes them.
    const std::vector<std::pair<std::string, std::string>> tags = {
        {"white", "white"},
        {"\"a, b\"", "a, b"},
        {"=1+2", "=1+2"},
        {"-A", "-A"},
        {"-1", "-1"},
        {"@x", "@x"},
        {"\"q \"\"x\"\"\"", "q \"x\""},
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"}};
    std::string input = "Tag,X,Y,Z\n";
    for (const auto& t : tags)
        input += t.first + ",20,10,5\n";
    input += "black,0,0,0\n";
    const JobRun r = runJob("xyz", input);
    EXPECT_EQ(r.out, "");
    const auto lines = crlfLines(r.palette);
    ASSERT_EQ(lines.size(), tags.size() + 1);
    EXPECT_EQ(r.report.failed, 0); // X + Y + Z = 0 is the neutral black
    EXPECT_NE(lines.back().find("\"black\",\"N\",\"0.00\",\"0.00\","), std::string::npos)
        << lines.back();
    EXPECT_NE(lines[2].find(",\"'=1+2\","), std::string::npos) << lines[2];

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedDialogs dialogs;
    Workbench wb(sharedTable(), dialogs);
    wb.startUp();
    wb.setPaletteFile(dir.filePath("p.csv"));
    for (const auto& t : tags) {
        wb.clearEntries();
        wb.setText(Field::X, "20");
        wb.setText(Field::Y, "10");
        wb.setText(Field::Z, "5");
        ASSERT_TRUE(wb.xyzChain());
        wb.setTag(QString::fromStdString(t.second));
        ASSERT_TRUE(wb.SaveData(1));
    }
    QFile saved(dir.filePath("p.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const auto savedLines = crlfLines(saved.readAll().toStdString());
    ASSERT_EQ(savedLines.size(), tags.size());
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, 24), "\"03-04-2026\",\"05:06:07\",");
        EXPECT_EQ(lines[i].substr(24), savedLines[i].substr(24)); // after date and time
    }
}

TEST(BatchOutput, FormatErrorOnAConvertedRecordIsAWarning) {
    const JobRun r = runJob("munsell", "H,V,C\n1,5,4\n");
    EXPECT_EQ(r.report.converted, 1);
    EXPECT_EQ(r.report.warnings, 1);
    EXPECT_EQ(r.report.exitStatus(), 0);
    EXPECT_EQ(crlfLines(r.out).size(), 1u);
}

TEST(BatchOutput, ManyRecordsStayInInputOrder) {
    std::string input;
    Reference ref(true);
    std::string expected = "H,V,C,X,Y,Z,L*,a*,b*,R,G,B\r\n";
    for (int i = 0; i < 60; ++i) {
        const std::string h = std::to_string(1 + i % 10) + "YR", v = std::to_string(2 + i % 7),
                          c = std::to_string(i % 6);
        input += h + "\t" + v + "\t" + c + "\n";
        ASSERT_TRUE(ref.munsell(h.c_str(), v.c_str(), c.c_str()));
        expected += h + "," + v + "," + c + ref.tail() + "\r\n";
    }
    const JobRun r = runJob("steps", input, startOptions(), 2, 4);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.report.exitStatus(), 0);
}

TEST(BatchOutput, EmptyInputs) {
    const JobRun steps = runJob("steps", "");
    EXPECT_EQ(steps.report.exitStatus(), 3);
    EXPECT_EQ(s(steps.report.error), "File not found");
    const JobRun lab = runJob("lab", "L*,a*,b*\r\n");
    EXPECT_EQ(lab.report.exitStatus(), 0);
    EXPECT_EQ(lab.out, "#,Hue,Value,Chroma,X,Y,Z,L*,a*,b*,R,G,B\r\n");
}

TEST(BatchOutput, CancelCommitsNothing) {
    std::atomic<bool> cancel{true};
    batch::StringSink out;
    batch::RunSettings s;
    s.options = startOptions();
    s.cancel = &cancel;
    const auto report =
        batch::runBatchStream(*batch::jobNamed("steps"), sharedTable(), stringReader("5R\t5\t14\n"),
                              &out, nullptr, nullptr, s);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.exitStatus(), 3);
    EXPECT_EQ(out.committed(), "");
}

} // namespace
} // namespace zul::testing
