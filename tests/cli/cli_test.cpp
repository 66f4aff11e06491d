// `zul convert` run as a user runs it: the built program, its arguments, standard input and
// output, exit status; its texts checked against a workbench converting the same entries.
#include "cli/convert.h"
#include "records/csvline.h"
#include "support/testfiles.h"
#include "support/zulprocess.h"
#include "workbench/workbench_fixture.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "munsell/inverse.h"
#include "text/numtext.h"
#include "text/seqfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <charconv>
#include <sstream>

namespace zul::testing {
namespace {

using ZulRun = ProgramRun;

ZulRun convert(const QStringList& args, const QByteArray& input = {}) {
    return runZul(QStringList{"convert"} + args, input);
}

const char* const kHeader = "hue,value,chroma,X,Y,Z,x,y,L*,a*,b*,R,G,B,C,M,Ye,K,note";
constexpr int kColumns = 19;

struct FormCase {
    const char* name;
    std::vector<Field> fields;
    Field enter;
    std::vector<std::vector<std::string>> entries; // good, bad and edge entries
};

const std::vector<FormCase>& formCases() {
    static const std::vector<FormCase> cases = {
        {"munsell",
         {Field::Hue, Field::Value, Field::Chroma},
         Field::Chroma,
         {{"5R", "4", "10"},
          {"7.5PB", "2", "10"},
          {"10RP", "9", "2"},
          {"3YR", "5.5", "0"},
          {"5R", "10", "0"},
          {"5R", "4", "41"},
          {"5N", "5", "4"},
          {"1Q", "5", "4"},
          {"5R", "five", "4"},
          {"5R", "1", "30"}}},
        {"xyz",
         {Field::X, Field::Y, Field::Z},
         Field::Z,
         {{"41.24", "21.26", "1.93"},
          {"18", "20", "22"},
          {"3.1", "2.5", "9.8"},
          {"0", "0", "0"},
          {"60", "70", "20"},
          {"15", "5", "80"},
          {"1,2.3", "1", "1"},
          {"50", "99.9", "50"}}},
        {"xy",
         {Field::SmallX, Field::SmallY, Field::Y},
         Field::SmallY,
         {{"0.3101", "0.3163", "20"},
          {"0.45", "0.4", "30"},
          {"0.2", "0.1", "5"},
          {"0.3", "0", "20"},
          {"x", "0.3", "20"}}},
        {"lab",
         {Field::L, Field::A, Field::B},
         Field::B,
         {{"50", "20", "-30"},
          {"50", "0", "0"},
          {"90", "-40", "80"},
          {"20", "60", "-90"},
          {"-17", "0", "0"},
          {"99", "0", "0"}}},
        {"rgb",
         {Field::R, Field::G, Field::Bl},
         Field::Bl,
         {{"10", "200", "30"},
          {"300", "-5", "12.5"},
          {"0", "0", "255"},
          {"abc", "1 28", "64xyz"},
          {"40000", "0", "0"},
          {"128", "128", "128"}}},
        {"cmyk",
         {Field::C, Field::M, Field::Ye, Field::K},
         Field::K,
         {{"0", "100", "100", "0"},
          {"20", "40", "60", "10"},
          {"0", "0", "0", "100"},
          {"150", "-3", "0", "0"},
          {"10", "20", "thirty", "0"}}},
    };
    return cases;
}

std::string csvLine(const std::vector<std::string>& values) {
    std::string line;
    for (const std::string& v : values) {
        if (!line.empty()) line += ',';
        appendCsvField(line, v);
    }
    return line;
}

// Every colour of every form through the program and through a workbench started as the window
// is, under two sets of options: a text the program writes is the workbench's text; a field the
// program leaves empty is one the chain did not write (it still holds the start-up text).
class SameTextsAsTheWorkbench : public ::testing::TestWithParam<int> {};

TEST_P(SameTextsAsTheWorkbench, ForEveryForm) {
    const bool withOptions = GetParam() == 1;
    const QStringList optionArgs =
        withOptions ? QStringList{"--illuminant", "D65", "--pwd", "--gamma", "1.8"} : QStringList{};
    for (const FormCase& form : formCases()) {
        std::string input;
        for (const auto& entry : form.entries)
            input += csvLine(entry) + "\n";
        const ZulRun run = convert(QStringList{"--from", QString::fromUtf8(form.name)} + optionArgs,
                                   QByteArray::fromStdString(input));
        const auto lines = run.lines();
        ASSERT_EQ(lines.size(), form.entries.size() + 1) << form.name << "\n" << run.err;
        EXPECT_EQ(lines[0], kHeader);

        int failures = 0;
        for (std::size_t i = 0; i < form.entries.size(); ++i) {
            ScriptedDialogs dialogs;
            Workbench wb(sharedTable(), dialogs);
            wb.startUp();
            if (withOptions) {
                wb.selectIlluminant(2);
                wb.setPwd(1);
                wb.setText(Field::Gamma, "1.8");
            }
            std::array<QString, 18> startUp;
            for (int f = 0; f < 18; ++f)
                startUp[f] = wb.text(static_cast<Field>(f));
            dialogs.clear();
            for (std::size_t k = 0; k < form.fields.size(); ++k)
                wb.setText(form.fields[k], QString::fromStdString(form.entries[i][k]));
            const bool ok = wb.enterPressed(form.enter);
            failures += ok ? 0 : 1;

            const auto got = csvFields(lines[i + 1]);
            ASSERT_EQ(got.size(), kColumns) << lines[i + 1];
            const std::string where = std::string(form.name) + " " + csvLine(form.entries[i]);
            for (int f = 0; f < 18; ++f) {
                const QString expected = wb.text(static_cast<Field>(f));
                if (got[f].empty())
                    EXPECT_EQ(expected, startUp[f]) << where << ", field " << f;
                else
                    EXPECT_EQ(got[f], expected.toStdString()) << where << ", field " << f;
            }
            QStringList note = dialogs.messages();
            for (const QString& mark : {wb.valueNote(), wb.munsellNote(), wb.rangeWarning()})
                if (!mark.isEmpty()) note << mark;
            EXPECT_EQ(got[18], note.join("; ").toStdString()) << where;
        }
        EXPECT_EQ(run.status, failures > 0 ? 1 : 0) << form.name << "\n" << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, SameTextsAsTheWorkbench, ::testing::Values(0, 1));

TEST(CliConvert, OneColourPerFormFromTheCommandLine) {
    const ZulRun munsell = convert({"--from", "munsell", "5R", "4", "10"});
    EXPECT_EQ(munsell.status, 0) << munsell.err;
    EXPECT_TRUE(munsell.err.empty());
    ASSERT_EQ(munsell.lines().size(), 2u);
    EXPECT_EQ(munsell.lines()[0], kHeader);
    auto f = csvFields(munsell.lines()[1]);
    EXPECT_EQ(f[0], "5R");
    EXPECT_EQ(f[4], formatPicture(12.0007458, "##0.00")); // Y of value 4

    for (const FormCase& form : formCases()) {
        QStringList args{"--from", form.name};
        for (const std::string& v : form.entries[0])
            args << QString::fromStdString(v);
        const ZulRun run = convert(args);
        EXPECT_EQ(run.status, 0) << form.name << run.err;
        ASSERT_EQ(run.lines().size(), 2u) << form.name;
        f = csvFields(run.lines()[1]);
        ASSERT_EQ(f.size(), kColumns);
        for (int i = 0; i < 18; ++i)
            EXPECT_FALSE(f[i].empty()) << form.name << " field " << i;
    }
    // A value goes into its field as typed.
    const ZulRun comma = convert({"--from", "xyz", "1,5", "2", "3"});
    EXPECT_EQ(comma.status, 1);
    ASSERT_EQ(comma.lines().size(), 2u);
    EXPECT_EQ(csvFields(comma.lines()[1])[18], "X: \"1,5\" is not a number");
    EXPECT_EQ(comma.err, "zul convert: 1 of 1 line failed (line 1)\n");

    // A value that looks like a header is still the colour: the window reads an unknown family
    // with number 0 as hue 100, which is 0.
    const ZulRun hue = convert({"--from", "munsell", "hue", "4", "10"});
    EXPECT_EQ(hue.status, 0);
    ASSERT_EQ(hue.lines().size(), 2u);
    EXPECT_EQ(csvFields(hue.lines()[1])[18], "Format Error");
}

TEST(CliConvert, NegativeValuesWithAndWithoutTheEndOfOptions) {
    const ZulRun ended = convert({"--from", "lab", "--", "50", "20", "-30"});
    const ZulRun plain = convert({"--from", "lab", "50", "20", "-30"});
    EXPECT_EQ(ended.status, 0) << ended.err;
    EXPECT_EQ(ended.out, plain.out);
    EXPECT_EQ(csvFields(ended.lines()[1])[10], "-30");
    // After "--" everything is a value, even an option's name.
    const ZulRun raw = convert({"--from", "xyz", "--", "--raw", "1", "2"});
    EXPECT_EQ(raw.status, 1);
    EXPECT_EQ(csvFields(raw.lines()[1])[18], "X: \"--raw\" is not a number");
}

TEST(CliConvert, StdinWithHeaderAndBadLinesInTheMiddle) {
    const ZulRun run = convert({"--from", "xyz"}, "X,Y,Z\r\n18,20,22\r\n1,2.3\r\n\r\n"
                                                  "\"1,2\",3,4\n  \t\n60,70,20");
    EXPECT_EQ(run.status, 1);
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(csvFields(lines[1])[0], "5.59G");
    EXPECT_EQ(lines[2], ",,,,,,,,,,,,,,,,,,\"expected 3 fields (X, Y, Z), got 2\"");
    EXPECT_EQ(lines[3], ",,,\"1,2\",3,4,,,,,,,,,,,,,\"X: \"\"1,2\"\" is not a number\"");
    EXPECT_FALSE(csvFields(lines[4])[0].empty()); // the stream goes on after failures
    // Input line numbers, the header and blank lines counted.
    EXPECT_EQ(run.err, "zul convert: 2 of 4 lines failed (lines 3, 5)\n");
}

TEST(CliConvert, HeaderOnlyWhenTheFirstFieldIsNeitherNumberNorHue) {
    EXPECT_TRUE(isHeaderLine("hue,value,chroma"));
    EXPECT_TRUE(isHeaderLine("R,G,B")); // a family name alone is no notation
    EXPECT_TRUE(isHeaderLine("\"L*\",a*,b*"));
    EXPECT_FALSE(isHeaderLine("5R,4,10"));
    EXPECT_FALSE(isHeaderLine(" 6.4 yr , 8.6, 10.4"));
    EXPECT_FALSE(isHeaderLine("-1.5e1,2,3"));
    EXPECT_FALSE(isHeaderLine("N 5.2/"));
    EXPECT_FALSE(isHeaderLine("1,5;2;3", ';')); // a decimal comma
    EXPECT_TRUE(isHueNotation("10RP"));
    EXPECT_FALSE(isHueNotation("RP"));
    EXPECT_FALSE(isHueNotation("5N"));

    // Only the first line: a later non-number is a failed colour, not a header.
    const ZulRun run = convert({"--from", "munsell"}, "5R,4,10\nhue,value,chroma\n5Y,8,4\n");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines().size(), 4u);
    EXPECT_EQ(csvFields(run.lines()[1])[0], "5R");
    EXPECT_EQ(csvFields(run.lines()[2])[18], "Format Error; Out of Munsell Range");
    EXPECT_EQ(csvFields(run.lines()[3])[0], "5Y");
}

float rawNumber(const std::string& text) {
    float v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_EQ(r.ptr, text.data() + text.size()) << text;
    return v;
}

TEST(CliConvert, RawMunsellGivesTheEnginesFloats) {
    const ZulRun run = convert({"--raw", "--from", "munsell", "--illuminant", "d50"},
                               "5R,4,10\n7.5PB,9.8,4\n10RP,2,6\n5R,1,30\n");
    EXPECT_EQ(run.status, 1);
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "hue,value,chroma,X,Y,Z,x,y,note");
    const char* const entries[3][3] = {
        {"5R", "4", "10"}, {"7.5PB", "9.8", "4"}, {"10RP", "2", "6"}};
    for (int i = 0; i < 3; ++i) {
        std::string notation = entries[i][0];
        float hue = converth(notation);
        if (hue >= 100) hue -= 100;
        float value = static_cast<float>(parseStrict(entries[i][1]));
        const CieColour c = mun2xyz(hue, value, static_cast<float>(parseStrict(entries[i][2])),
                                    *sharedTable(), Conditions{1, false});
        const auto f = csvFields(lines[static_cast<std::size_t>(i) + 1]);
        ASSERT_EQ(f.size(), 9u);
        const float expected[8] = {
            hue, value, static_cast<float>(parseStrict(entries[i][2])), c.X, c.Y, c.Z, c.x, c.y};
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(rawNumber(f[k]), expected[k]) << i << " " << k;
        EXPECT_EQ(f[8], "");
    }
    EXPECT_EQ(csvFields(lines[2])[1], "9.5"); // the clamped value
    EXPECT_EQ(csvFields(lines[4])[8], "beyond the renotation data");
}

TEST(CliConvert, RawXyzGivesTheEnginesFloatsAndTheMark) {
    const ZulRun run = convert({"--raw", "--from", "xyz", "--pwd"},
                               "hue,value,chroma\n18,20,22\n41.24,21.26,1.93\n15,5,80\n1,2,x\n");
    EXPECT_EQ(run.status, 1);
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "hue,value,chroma,extrapolated,note");
    const CellIndex index(*sharedTable());
    const float xyz[3][3] = {{18, 20, 22}, {41.24f, 21.26f, 1.93f}, {15, 5, 80}};
    for (int i = 0; i < 3; ++i) {
        float y = xyz[i][1];
        const MunsellColour m = xyzmun(xyz[i][0], y, xyz[i][2], index, true);
        const auto f = csvFields(lines[static_cast<std::size_t>(i) + 1]);
        ASSERT_EQ(f.size(), 5u);
        EXPECT_EQ(rawNumber(f[0]), m.hue);
        EXPECT_EQ(rawNumber(f[1]), m.value);
        EXPECT_EQ(rawNumber(f[2]), m.chroma);
        EXPECT_EQ(f[3], std::to_string(m.extrapolated));
    }
    EXPECT_EQ(csvFields(lines[4])[4], "Z: \"x\" is not a number");
}

TEST(CliConvert, ExitStatusAndUsage) {
    EXPECT_EQ(convert({"--from", "rgb", "1", "2", "3"}).status, 0);
    EXPECT_EQ(convert({"--from", "munsell", "5R", "10.5", "4"}).status, 1);

    const std::vector<QStringList> bad = {
        {},
        {"--from"},
        {"--from", "hsv"},
        {"--from", "xyz", "--illuminant", "A"},
        {"--from", "xyz", "--gamma", "4"},
        {"--from", "xyz", "--gamma", "two"},
        {"--from", "xyz", "--frm", "xyz"},
        {"--from", "lab", "--raw"},
        {"--from", "xyz", "1", "2"},
        {"--from=cmyk", "1", "2", "3"},
    };
    for (const QStringList& args : bad) {
        const ZulRun run = convert(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
        EXPECT_NE(run.err.find("Usage: zul convert --from"), std::string::npos) << run.err;
    }
    EXPECT_NE(convert({"--from", "xyz", "1", "2"}).err.find("takes 3 values (X, Y, Z), got 2"),
              std::string::npos);
    const ZulRun unknown = runZul({"transmogrify"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command \"transmogrify\""), std::string::npos);
}

TEST(CliConvert, HelpSaysItAll) {
    const ZulRun top = runZul({"--help"});
    EXPECT_EQ(top.status, 0);
    EXPECT_NE(top.out.find("zul convert --from"), std::string::npos);
    const ZulRun help = convert({"--help"});
    EXPECT_EQ(help.status, 0);
    // "xy" and "--" alone would be found inside "xyz" and "--from".
    for (const char* word : {"munsell", "xyz", " xy ", "lab", "rgb", "cmyk", "--illuminant", "D65",
                             "--pwd", "--gamma", "--raw", " -- ", kHeader, "Exit status", "2 bad"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST(CliConvert, MissingOrBrokenTableIsOneMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile broken(dir.filePath("Muncie.dat"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("3101, 3163, what\n");
    broken.close();
    // The working directory is searched first.
    const ZulRun run = runZul({"convert", "--from", "xyz", "1", "2", "3"}, {}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err.rfind("zul convert: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Muncie.dat"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST(CliConvert, LongInputComesOutInInputOrder) {
    // R runs through 0..255 and G counts the line; three batches and more per worker.
    std::string input = "R,G,B\n";
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        input += std::to_string(i % 256) + "," + std::to_string(i / 256) + ",64\n";
    const ZulRun run = convert({"--from", "rgb"}, QByteArray::fromStdString(input));
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(n) + 1);
    for (int i = 0; i < n; ++i) {
        const auto f = csvFields(lines[static_cast<std::size_t>(i) + 1]);
        ASSERT_EQ(f[11], std::to_string(i % 256)) << i;
        ASSERT_EQ(f[12], std::to_string(i / 256)) << i;
    }
}

TEST(CliConvert, AnswersEachLineBeforeTheInputEnds) {
    QProcess p;
    startZul(p, {"convert", "--from", "munsell"});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray got;
    for (const char* line : {"5R,4,10\n", "5Y,8,4\n"}) {
        p.write(line);
        const QByteArray colour = QByteArray(line).left(2);
        while (!got.contains("\n" + colour) && p.waitForReadyRead(10000))
            got += p.readAll();
        EXPECT_TRUE(got.contains("\n" + colour)) << line << got.toStdString();
    }
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
}

TEST(CliConvert, StreamOrderDoesNotDependOnWorkersOrBatches) {
    cli::ConvertOptions options;
    options.from = cli::Form::Xyz;
    const cli::ConverterFactory factory = [&] {
        return cli::makeConverter(sharedTable(), options);
    };
    std::string input = "\xEF\xBB\xBFX,Y,Z\n";
    for (int i = 0; i < 997; ++i)
        input += std::to_string(i % 90 + 1) + "," + std::to_string(i % 97 + 1) + ",\"" +
                 std::to_string(i % 50 + 1) + "\"" + (i % 101 == 0 ? ",9" : "") + "\r";
    std::istringstream one(input), many(input);
    std::ostringstream outOne, outMany;
    const std::string header = cli::outputHeader(options);
    const auto a = cli::convertStream(one, outOne, header, factory, 1, 100000);
    const auto b = cli::convertStream(many, outMany, header, factory, 3, 7);
    EXPECT_EQ(outOne.str(), outMany.str());
    EXPECT_EQ(a.lines, 997);
    EXPECT_EQ(b.lines, 997);
    EXPECT_EQ(a.failed, 10);
    EXPECT_EQ(b.failed, 10);
    EXPECT_EQ(b.firstFailed, (std::vector<long>{2, 103, 204, 305, 406}));
}

TEST(CliCsv, SplitsAsTheFieldReaderDoesAndWritesRfcQuoting) {
    for (const std::string line :
         {"1,2,3", " 1 ,\t2\t, 3 ", "1,2,3,", ",,", "\"1,5\",2", "\"a\" junk , b", "\"unclosed, x",
          "one", "  ", "", "5R,\"4\",10"}) {
        std::vector<std::string> fields{"stale", "strings", "kept", "before", "and", "more"};
        splitCsvLine(line, fields);
        EXPECT_EQ(fields, splitFields(line)) << line;
    }
    std::vector<std::string> fields;
    splitCsvLine("\"say \"\"hi\"\"\",x", fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"say \"hi\"", "x"}));

    std::string out;
    appendCsvField(out, std::string_view("plain"));
    out += '|';
    appendCsvField(out, QStringLiteral("a,b"));
    out += '|';
    appendCsvField(out, QString::fromUtf8("say \"hi\" \u2014 now"));
    out += '|';
    appendCsvField(out, std::string_view("two\nlines"));
    EXPECT_EQ(out, "plain|\"a,b\"|\"say \"\"hi\"\" \xE2\x80\x94 now\"|\"two\nlines\"");
}

// `zul chart`: headless charts on the offscreen platform.
TEST(CliChart, HuePageCsvAndColorCheckerPatchOne) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("h.csv");
    ZulRun r = runZul({"chart", "hue", "5R", "--csv", csv});
    ASSERT_EQ(r.status, 0) << r.err;
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.front(), "element,notation,R,G,B,in_reach,out_of_range,x,y");
    int inReach = 0;
    for (const QString& line : lines.mid(1))
        if (line.split(',')[5] == "1") ++inReach;
    EXPECT_EQ(inReach, 83);
    EXPECT_EQ(lines.size(), 1 + 136); // 135 chips and the black one
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith("55,5.00R 4/10,"); }),
              1);

    r = runZul({"chart", "colorchecker", "--csv", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.lines().size(), 25u);
    EXPECT_EQ(csvFields(r.lines()[1])[2] + "," + csvFields(r.lines()[1])[3] + "," +
                  csvFields(r.lines()[1])[4],
              "114,82,68");

    // PNG at a scale, PDF, and the D65 page differs from the C page.
    r = runZul({"chart", "value", "5", "--scale", "2", "--png", dir.filePath("v.png"), "--pdf",
                dir.filePath("v.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(QFile::exists(dir.filePath("v.png")));
    EXPECT_TRUE(QFile::exists(dir.filePath("v.pdf")));
    const ZulRun c = runZul({"chart", "tolerance", "50", "40", "20"});
    const ZulRun d = runZul({"chart", "tolerance", "50", "40", "20", "--illuminant", "D65"});
    ASSERT_EQ(c.status, 0);
    EXPECT_EQ(c.lines().size(), 8u);
    EXPECT_NE(c.out, d.out);
}

TEST(CliChart, UsageAndFailures) {
    EXPECT_EQ(runZul({"chart"}).status, 2);
    EXPECT_EQ(runZul({"chart", "pie"}).status, 2);
    EXPECT_EQ(runZul({"chart", "hue"}).status, 2);
    EXPECT_EQ(runZul({"chart", "value", "5", "--gamma", "7"}).status, 2);
    EXPECT_EQ(runZul({"chart", "value", "5", "--scale", "0"}).status, 2);
    const ZulRun bad = runZul({"chart", "hue", "5Q"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("5Q"), std::string::npos);
    QTemporaryDir dir;
    EXPECT_EQ(runZul({"chart", "hue", "5R", "--png", dir.filePath("no/such.png")}).status, 1);
    EXPECT_EQ(runZul({"chart", "colorchecker", "--ccnames", dir.filePath("none.csv")}).status, 1);
    const ZulRun help = runZul({"--help"});
    EXPECT_NE(help.out.find("zul chart"), std::string::npos);
    EXPECT_EQ(runZul({"chart", "--help"}).status, 0);
    // An unknown window for --open stops before any window is made.
    const ZulRun open = runZul({"--open", "hue,sky"});
    EXPECT_EQ(open.status, 2);
    EXPECT_NE(open.err.find("\"sky\""), std::string::npos);
}

} // namespace
} // namespace zul::testing
