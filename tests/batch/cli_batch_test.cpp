// `zul batch`, `zul table` and the one-text notation of `zul convert` as a user runs them.
#include "batch_support.h"
#include "support/zulprocess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

using Result = ProgramRun;

Result zul(const QStringList& args, const QString& dir, const QByteArray& input = {}) {
    return runZul(args, input, dir);
}

class CliBatch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void write(const char* name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string read(const char* name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
    }
    QTemporaryDir dir;
};

TEST_F(CliBatch, ExitStatusesAndMessages) {
    EXPECT_EQ(zul({"batch"}, dir.path()).status, 2);
    EXPECT_EQ(zul({"batch", "7"}, dir.path()).status, 2);
    EXPECT_EQ(zul({"batch", "steps", "--time", "2026-13-01T00:00:00"}, dir.path()).status, 2);
    EXPECT_EQ(zul({"batch", "munsell"}, dir.path()).status, 2); // its input is chosen: -i
    EXPECT_EQ(zul({"batch", "steps", "--bogus"}, dir.path()).status, 2);

    const Result missing = zul({"batch", "steps"}, dir.path());
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("steps.txt: File not found"), std::string::npos) << missing.err;

    write("steps.txt", "5R\t5\t14\n");
    const Result ok = zul({"batch", "3"}, dir.path());
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.err.find("Total colors 1  Colors not displayed 0"), std::string::npos);
    const std::string first = read("stepsMUNSELL.txt");
    // Standard input and output give the same bytes.
    const Result piped = zul({"batch", "steps", "-i", "-", "-o", "-"}, dir.path(), "5R\t5\t14\n");
    EXPECT_EQ(piped.out, first);
}

TEST_F(CliBatch, PaletteTimeFixesTheRecordsAndSelfAppendIsRefused) {
    write("in.csv", "w,95,100,108\n");
    const QStringList args = {"batch",     "xyz", "-i",     "in.csv",
                              "--palette", "p",   "--time", "2026-03-04T05:06:07"};
    ASSERT_EQ(zul(args, dir.path()).status, 0);
    ASSERT_EQ(zul(args, dir.path()).status, 0);
    const auto lines = crlfLines(read("p.csv"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(lines[0].rfind("\"03-04-2026\",\"05:06:07\",\"w\",", 0), 0u);
    const Result self = zul({"batch", "xyz", "-i", "p.csv", "--palette", "p.csv"}, dir.path());
    EXPECT_EQ(self.status, 3);
    EXPECT_EQ(crlfLines(read("p.csv")).size(), 2u);
}

TEST_F(CliBatch, TableTwiceIsTheSameFile) {
    ASSERT_EQ(zul({"table"}, dir.path()).status, 0);
    const std::string first = read("muntable2.prn");
    ASSERT_EQ(zul({"table"}, dir.path()).status, 0);
    EXPECT_EQ(read("muntable2.prn"), first);
    const auto lines = crlfLines(first);
    for (std::size_t i = 3; i < lines.size(); ++i)
        ASSERT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 12) << lines[i];
    EXPECT_EQ(zul({"table", "--illuminant", "F2"}, dir.path()).status, 2);
}

TEST_F(CliBatch, ConvertTakesANotationInOneText) {
    const Result three = zul({"convert", "--from", "munsell", "5R", "4", "14"}, dir.path());
    const Result one = zul({"convert", "--from", "munsell", "5R 4/14"}, dir.path());
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, three.out);
    const Result stream = zul({"convert", "--from", "munsell"}, dir.path(), "5R 4/14\nN 5/\n");
    ASSERT_EQ(stream.status, 0) << stream.err;
    const auto lines = QString::fromStdString(stream.out).split('\n');
    EXPECT_EQ(lines[1].toStdString() + "\n", three.out.substr(three.out.find('\n') + 1));
    EXPECT_TRUE(lines[2].startsWith("N,5,0,"));
}

TEST_F(CliBatch, RecordsThatFailKeepWhatWasComputedAndGiven) {
    // A flat 105 % reflectance lies above value 10: no notation, but its X, Y, Z are known.
    std::string spectrum = "s1,flat,105";
    for (int i = 0; i < 40; ++i)
        spectrum += ",105";
    write("munfile1.txt", spectrum + "\n");
    const Result spectral = zul({"batch", "1"}, dir.path());
    EXPECT_EQ(spectral.status, 1) << spectral.err;
    const std::string out = read("munout.txt");
    const std::size_t line = out.find("s1");
    ASSERT_NE(line, std::string::npos) << out;
    // Zones of 14 columns: three texts, hue, value, chroma (empty), then X, Y, Z.
    const double y = std::stod(out.substr(line + 7 * 14, 14));
    EXPECT_NEAR(y, 105, 0.5) << out;
    EXPECT_NEAR(std::stod(out.substr(line + 6 * 14, 14)), 102.97, 0.5) << out;

    // A CIELAB record whose chain fails keeps its L*, a*, b* in the tail.
    write("lab_sRGB.csv", "-17,10,5\n50,0,0\n");
    const Result lab = zul({"batch", "6"}, dir.path());
    EXPECT_EQ(lab.status, 1) << lab.err;
    const std::string table = read("lab_sRGB.txt");
    EXPECT_NE(table.find(" 1 ,,,,,,,-17,10,5,,,\r\n"), std::string::npos) << table;
}

TEST(CliHelp, ListsBatchAndTable) {
    const Result help = zul({"--help"}, QDir::tempPath());
    EXPECT_NE(help.out.find("zul batch JOB"), std::string::npos);
    EXPECT_NE(help.out.find("zul table"), std::string::npos);
}

} // namespace
} // namespace zul::testing
