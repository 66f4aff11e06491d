// `zul qc` run as a user runs it: IDs kept with --columns, good, failing and unreadable lines,
// the exit statuses, and the same numbers as the window's reading.
#include "qc/reading.h"
#include "records/csvline.h"
#include "support/testfiles.h"
#include "support/zulprocess.h"
#include "text/numtext.h"
#include "workbench/workbench_fixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

class CliQc : public WorkbenchTest {
protected:
    QString write(const QByteArray& contents) {
        return writeFile(dir.filePath("batch.csv"), contents);
    }
    QTemporaryDir dir;
};

TEST_F(CliQc, FileWithIdsGoodFailingAndUnreadableLines) {
    const QString file = write("roll,L*,a*,b*\n"
                               "R1,52.10,40.50,20.20\n"
                               "R2,52.60,40.90,20.20\n"
                               "R3,50.00,37.00,18.00\n"
                               "R4,52.10,oops,20.20\n");
    const ProgramRun run = runZul({"qc", "--standard", "52.1,40.5,20.2", "--from", "lab",
                                   "--columns", "roll,L*,a*,b*", file});
    EXPECT_EQ(run.status, 1);
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 5u) << run.out << run.err;
    EXPECT_EQ(lines[0],
              "roll,L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict");
    const auto r1 = csvFields(lines[1]);
    ASSERT_EQ(r1.size(), 15u);
    EXPECT_EQ(r1[0], "R1");
    EXPECT_EQ(r1[10], "0.00");
    EXPECT_EQ(r1[14], "PASS");
    EXPECT_EQ(csvFields(lines[3])[14], "FAIL");
    EXPECT_EQ(csvFields(lines[4])[0], "R4");
    EXPECT_EQ(csvFields(lines[4])[14].substr(0, 7), "ERROR: ");
    EXPECT_EQ(run.err, "zul qc: 1 of 4 samples failed the tolerance; 1 line not read (line 5)\n");

    // The window's reading of the same sample gives the same ΔE2000.
    EntryConverter reader(sharedTable(), wb->options());
    const QcReading standard = readColour(reader, EntryForm::Lab, {"52.1", "40.5", "20.2"});
    const QcReading sample = readColour(reader, EntryForm::Lab, {"52.60", "40.90", "20.20"});
    const QcResult expected = evaluate(*standard.colour, *sample.colour, {});
    const auto r2 = csvFields(lines[2]);
    EXPECT_EQ(r2[10], formatPicture(expected.de00.dE, "0.00"));
    EXPECT_EQ(r2[14], verdictText(expected.verdict));
}

TEST_F(CliQc, ExitStatusFollowsTheWorstSampleAndTheFormula) {
    struct Case {
        QStringList args;
        QByteArray input;
        int status;
        const char* lastVerdict;
    };
    const Case cases[] = {
        // Munsell standard and samples; numbered IDs without --columns.
        {{"--standard", "5R 4/10", "--from", "munsell"}, "5R,4,10\n5R 4/10\n", 0, "PASS"},
        {{"--standard", "52,40,20", "--from", "lab", "--limit", "3", "--formula", "de76"},
         "52,42.5,20\n",
         0,
         "WARN"},
        {{"--standard", "52,40,20", "--from", "lab", "--formula", "cmc", "--lc", "1:1"},
         "52,42.5,20\n",
         1,
         "FAIL"},
        {{"--standard", "52,40,20", "--from", "lab", "--limit-l", "0.1"},
         "52.2,40,20\n",
         1,
         "FAIL"},
        {{"--standard", "xyz:20,21.5,23", "--from", "xyz"}, "20,21.5,23\n", 0, "PASS"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runZul(QStringList{"qc"} + c.args, c.input);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(run.status, c.status) << what << "\n" << run.err;
        const auto lines = run.lines();
        ASSERT_GE(lines.size(), 2u) << what;
        const auto last = csvFields(lines.back());
        ASSERT_EQ(last.size(), 15u) << what;
        EXPECT_EQ(last[14], c.lastVerdict) << what;
        EXPECT_EQ(last[0], std::to_string(lines.size() - 1)) << what;
    }
}

TEST_F(CliQc, UsageErrorsSayWhat) {
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"--from", "lab"}, "zul qc: --standard is required"},
        {{"--standard", "50,0,0"}, "zul qc: --from is required"},
        {{"--standard", "50,0", "--from", "lab"}, "zul qc: --standard \"50,0\" is neither"},
        {{"--standard", "5R 44/2", "--from", "lab"}, "zul qc: --standard \"5R 44/2\": "},
        {{"--standard", "50,0,0", "--from", "lab", "--formula", "de2000"},
         "zul qc: unknown formula \"de2000\""},
        {{"--standard", "50,0,0", "--from", "lab", "--lc", "2"}, "zul qc: --lc must be"},
        {{"--standard", "50,0,0", "--from", "lab", "--limit", "-1"},
         "zul qc: --limit must be a number above 0"},
        {{"--standard", "50,0,0", "--from", "lab", "--warn", "80"}, "zul qc: --warn must be"},
        {{"--standard", "50,0,0", "--from", "lab", "--columns", "id,L*,a*,Q"},
         "zul qc: --columns id,L*,a*,Q: no column for b*"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runZul(QStringList{"qc"} + c.args, "L*,a*,b*\n50,0,0\n");
        EXPECT_EQ(run.status, 2) << c.message << "\n" << run.err;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
    }
    const ProgramRun help = runZul({"qc", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    EXPECT_NE(runZul({"--help"}).out.find("zul qc --standard TEXT"), std::string::npos);
}

} // namespace
} // namespace zul::testing
