// `zul convert` on files as spreadsheets keep them, run as the built program: named and numbered
// columns with sample IDs copied, semicolon files with decimal commas, a file argument, the
// reasons in the notes and the --adapt switch.
#include "records/csvline.h"
#include "support/testfiles.h"
#include "support/zulprocess.h"
#include "workbench/workbench_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sstream>

namespace zul::testing {
namespace {

using ZulOutput = ProgramRun;

ZulOutput convert(const QStringList& args, const QByteArray& input = {}) {
    return runZul(QStringList{"convert"} + args, input);
}

class CliFiles : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& contents) {
        return writeFile(dir.filePath(name), contents);
    }
    QTemporaryDir dir;
};

TEST_F(CliFiles, NamedColumnsCopyTheSampleIdsBeforeTheResults) {
    const QString file =
        write("samples.csv", "id,X,Y,Z\r\nS1,18,20,22\r\n=S2,1,5\r\nS3,x,20,22\r\n");
    const ZulOutput plain = convert({"--from", "xyz", "18", "20", "22"});
    const ZulOutput run = convert({"--from", "xyz", "--columns", "id,X,Y,Z", file});
    EXPECT_EQ(run.status, 1);
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[0], "id," + plain.lines()[0]);
    EXPECT_EQ(lines[1], "S1," + plain.lines()[1]); // the same texts as without columns
    // A short line: its ID still stands, formula-safe, with the reason.
    EXPECT_EQ(lines[2], "'=S2,,,,,,,,,,,,,,,,,,,\"expected 4 columns, got 3\"");
    // A failed colour echoes what was read and names the field.
    const auto failed = csvFields(lines[3]);
    ASSERT_EQ(failed.size(), 20u);
    EXPECT_EQ(failed[0], "S3");
    EXPECT_EQ(failed[4], "x");
    EXPECT_EQ(failed[19], "X: \"x\" is not a number");
    EXPECT_EQ(run.err, "zul convert: 2 of 3 lines failed (lines 3, 4)\n");

    // The form's columns alone, by name in any order of the file, or by number.
    const QString shuffled = write("shuffled.csv", "Z,note,X,Y\n22,first,18,20\n");
    const ZulOutput byName = convert({"--from", "xyz", "--columns", "X,Y,Z", shuffled});
    const ZulOutput byNumber = convert({"--from", "xyz", "--columns", "3,4,1", shuffled});
    EXPECT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, byNumber.out);
    EXPECT_EQ(byName.lines()[1], "first," + plain.lines()[1]);

    const ZulOutput missing = convert({"--from", "xyz", "--columns", "id,X,Y,W", file});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no column for Z"), std::string::npos) << missing.err;
}

TEST_F(CliFiles, NumberedColumnsWithoutAHeaderKeepTheFirstLine) {
    const ZulOutput run =
        convert({"--from", "munsell", "--columns", "2,3,4"}, "P1,5R,4,10\nP2,5Y,8,4\n");
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(csvFields(lines[0])[0], "column 1");
    EXPECT_EQ(csvFields(lines[1])[0], "P1");
    EXPECT_EQ(csvFields(lines[1])[1], "5R");
    EXPECT_EQ(csvFields(lines[2])[0], "P2");
}

TEST_F(CliFiles, AOneFieldNotationOnTheFirstLineIsASampleNotAHeader) {
    const QString file = write("first.csv", "N 5.2/\n5R 5/2\n");
    struct Case {
        QStringList args;
        QByteArray input;
        std::size_t rows; // below the header the program writes
        int status;
        std::string first; // the first row's first field
    };
    const Case cases[] = {
        {{"convert", "--from", "munsell", file}, {}, 2, 0, "N"},
        {{"convert", "--from", "munsell", "-"}, "5R 5/2\n", 1, 0, "5R"},
        {{"convert", "--from", "munsell", "--delimiter", ";", "-"}, "5R 5/2\n", 1, 0, "5R"},
        {{"qc", "--standard", "N 5.2/", "--from", "munsell", file}, {}, 2, 1, "1"},
        {{"qc", "--standard", "5R 5/2", "--from", "munsell", "-"}, "5R 5/2\n", 1, 0, "1"},
    };
    for (const Case& c : cases) {
        const ZulOutput run = runZul(c.args, c.input);
        const auto lines = run.lines();
        ASSERT_EQ(lines.size(), c.rows + 1) << c.args.join(' ').toStdString() << "\n" << run.out;
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(lines[1].substr(0, lines[1].find_first_of(",;")), c.first);
    }
}

TEST_F(CliFiles, SemicolonFilesWithDecimalCommas) {
    const ZulOutput comma =
        convert({"--from", "xyz", "--columns", "id,X,Y,Z"}, "id,X,Y,Z\nA,18.5,20.25,22\n");
    const ZulOutput semi =
        convert({"--from", "xyz", "--columns", "id,X,Y,Z", "--delimiter", ";", "-"},
                "id;X;Y;Z\nA;18,5;20,25;22\nB;1,5,2;3;4\n");
    EXPECT_EQ(semi.status, 1);
    const auto lines = semi.lines();
    ASSERT_EQ(lines.size(), 3u) << semi.out;
    const auto want = csvFields(comma.lines()[1]);
    const auto got = csvFields(lines[1], ';');
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        std::string expected = want[i];
        // Numbers with the decimal comma; notations as they are.
        if (i != 1) std::replace(expected.begin(), expected.end(), '.', ',');
        EXPECT_EQ(got[i], expected) << i;
    }
    EXPECT_EQ(csvFields(lines[0], ';')[4], "X");
    const auto failed = csvFields(lines[2], ';');
    EXPECT_EQ(failed[4], "1,5,2"); // echoed as typed
    EXPECT_NE(failed[19].find("X: "), std::string::npos);
}

TEST_F(CliFiles, NotesGiveTheReasonsWhenReadingFiles) {
    const QString file = write("m.csv", "hue,value,chroma\n5R,\"4,5\",10\nQ,5,0\n5R,9.8,0\n");
    const ZulOutput run = convert({"--from", "munsell", file});
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(csvFields(lines[1])[18],
              "Out of Munsell Range; Value: \"4,5\" is not a number; use a point");
    EXPECT_EQ(csvFields(lines[2])[18], "Format Error; Hue: \"Q\" is not a hue; use 5R, 2.5YR, ...");
    EXPECT_EQ(csvFields(lines[3])[18], "Value 9.8 was shown as 9.5, the table's top");
    // Standard input without the new options: no reasons, but a clamped value still says so.
    const ZulOutput before = convert({"--from", "munsell"}, "5R,9.8,0\n");
    EXPECT_EQ(csvFields(before.lines()[1])[18], "Value 9.8 was shown as 9.5, the table's top");

    const ZulOutput absent = convert({"--from", "xyz", dir.filePath("absent.csv")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("cannot read"), std::string::npos);
}

TEST_F(CliFiles, AdaptReadsEntriesUnderTheIlluminant) {
    const ZulOutput shown = convert({"--from", "munsell", "--illuminant", "D50", "5R", "5", "10"});
    const auto f = csvFields(shown.lines()[1]);
    const ZulOutput unadapted = convert(
        {"--from", "lab", "--illuminant", "D50", "--", f[8].c_str(), f[9].c_str(), f[10].c_str()});
    const ZulOutput adapted = convert({"--from", "lab", "--illuminant", "D50", "--adapt", "--",
                                       f[8].c_str(), f[9].c_str(), f[10].c_str()});
    EXPECT_EQ(csvFields(unadapted.lines()[1])[0], ".60R");
    const auto back = csvFields(adapted.lines()[1]);
    EXPECT_NEAR(std::stof(back[0]), 5, 0.1);
    EXPECT_NEAR(std::stof(back[1]), 5, 0.02);
    EXPECT_NEAR(std::stof(back[2]), 10, 0.1);
}

} // namespace
} // namespace zul::testing
