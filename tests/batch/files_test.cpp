// Outputs on disk: replaced only by a job that ran to its end; palettes appended safely.
#include "batch/output.h"
#include "batch_support.h"
#include "workbench/palette.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

std::string readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

void writeFile(const QString& name, const std::string& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A file sink whose disk fills up after `limit` bytes.
class FailingSink : public batch::ByteSink {
public:
    FailingSink(const QString& name, std::size_t limit) : m_file(name), m_limit(limit) {}
    bool open() { return m_file.open(); }
    bool write(std::string_view bytes) override {
        if (m_written + bytes.size() > m_limit) {
            m_file.write(bytes.substr(0, m_limit - m_written));
            return false;
        }
        m_written += bytes.size();
        return m_file.write(bytes);
    }
    bool commit() override { return m_file.commit(); }
    void discard() override { m_file.discard(); }
    QString error() const override { return "No space left on device"; }

private:
    batch::FileSink m_file;
    std::size_t m_limit, m_written = 0;
};

batch::BatchFiles filesOf(const QString& input, const QString& output, const QString& palette,
                          const QString& errors) {
    batch::BatchFiles f;
    f.input = input;
    f.output = output;
    f.palette = palette;
    f.errors = errors;
    return f;
}

class BatchFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(name); }
    batch::RunSettings settings() const {
        batch::RunSettings s;
        s.options = startOptions();
        s.workers = 2;
        s.batchLines = 2;
        return s;
    }
    QTemporaryDir dir;
};

TEST_F(BatchFilesTest, AWriteFailingHalfWayLeavesTheOldOutput) {
    writeFile(path("out.txt"), "previous table\r\n");
    std::string input;
    for (int i = 0; i < 40; ++i)
        input += "5R\t" + std::to_string(1 + i % 8) + "\t4\n";
    for (std::size_t limit : {std::size_t(0), std::size_t(10), std::size_t(500)}) {
        FailingSink sink(path("out.txt"), limit);
        ASSERT_TRUE(sink.open());
        const auto report =
            batch::runBatchStream(*batch::jobNamed("steps"), sharedTable(), stringReader(input),
                                  &sink, nullptr, nullptr, settings());
        EXPECT_EQ(report.exitStatus(), 3) << limit;
        EXPECT_EQ(report.error.toStdString(), "No space left on device");
        EXPECT_EQ(readAll(path("out.txt")), "previous table\r\n") << limit;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"}); // no temporaries
}

TEST_F(BatchFilesTest, MissingInputLeavesTheOldOutputAndSaysFileNotFound) {
    writeFile(path("stepsMUNSELL.txt"), "old\r\n");
    const batch::BatchFiles files = filesOf(path("steps.txt"), path("stepsMUNSELL.txt"), {}, {});
    const auto report =
        batch::runBatchFiles(*batch::jobNamed("steps"), sharedTable(), files, settings());
    EXPECT_EQ(report.error.toStdString(), "File not found");
    EXPECT_EQ(report.exitStatus(), 3);
    EXPECT_EQ(readAll(path("stepsMUNSELL.txt")), "old\r\n");
}

TEST_F(BatchFilesTest, RunningTwiceReplacesTheOutput) {
    writeFile(path("steps.txt"), "5R\t5\t14\n");
    const batch::BatchFiles files =
        filesOf(path("steps.txt"), path("stepsMUNSELL.txt"), {}, path("errors.csv"));
    const auto job = batch::jobNamed("steps");
    ASSERT_EQ(batch::runBatchFiles(*job, sharedTable(), files, settings()).exitStatus(), 0);
    const std::string first = readAll(path("stepsMUNSELL.txt"));
    writeFile(path("steps.txt"), "5R\t5\t14\n5R\t5\n");
    ASSERT_EQ(batch::runBatchFiles(*job, sharedTable(), files, settings()).exitStatus(), 1);
    EXPECT_EQ(readAll(path("stepsMUNSELL.txt")), first);
    EXPECT_EQ(readAll(path("errors.csv")).rfind("2,5R\t5,\"expected", 0), 0u);
}

TEST_F(BatchFilesTest, PaletteWithoutFinalLineBreakGetsOneFirst) {
    writeFile(path("p.csv"), "\"old\",\"record\"");
    writeFile(path("in.csv"), "a,95,100,108\nb,20,10,5\n");
    const batch::BatchFiles files = filesOf(path("in.csv"), {}, path("p.csv"), {});
    const auto report =
        batch::runBatchFiles(*batch::jobNamed("xyz"), sharedTable(), files, settings());
    ASSERT_EQ(report.exitStatus(), 0);
    const auto lines = crlfLines(readAll(path("p.csv")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\"old\",\"record\"");
    EXPECT_NE(lines[1].find("\"a\""), std::string::npos);
    EXPECT_NE(lines[2].find("\"b\""), std::string::npos);
}

TEST_F(BatchFilesTest, InteractiveSaveRepairsTheLastLineToo) {
    writeFile(path("q.csv"), "\"old\"");
    ASSERT_EQ(appendPaletteLine(path("q.csv"), "\"new\"\r\n"), QString());
    EXPECT_EQ(readAll(path("q.csv")), "\"old\"\r\n\"new\"\r\n");
    ASSERT_EQ(appendPaletteLine(path("q.csv"), "\"more\"\r\n"), QString());
    EXPECT_EQ(readAll(path("q.csv")), "\"old\"\r\n\"new\"\r\n\"more\"\r\n");
}

TEST_F(BatchFilesTest, AnInputThatIsThePaletteIsRefused) {
    writeFile(path("p.csv"), "a,95,100,108\r\n");
    const batch::BatchFiles files = filesOf(path("p.csv"), {}, dir.path() + "/./p.csv", {});
    const auto report =
        batch::runBatchFiles(*batch::jobNamed("xyz"), sharedTable(), files, settings());
    EXPECT_EQ(report.exitStatus(), 3);
    EXPECT_NE(report.error.indexOf("palette file itself"), -1) << report.error.toStdString();
    EXPECT_EQ(readAll(path("p.csv")), "a,95,100,108\r\n");
}

TEST_F(BatchFilesTest, ACancelledPaletteJobTakesItsRecordsBack) {
    writeFile(path("p.csv"), "\"old\"\r\n");
    batch::PaletteAppender appender(path("p.csv"));
    ASSERT_TRUE(appender.open());
    ASSERT_TRUE(appender.write("\"new\"\r\n"));
    appender.discard();
    EXPECT_EQ(readAll(path("p.csv")), "\"old\"\r\n");
    batch::PaletteAppender fresh(path("new.csv"));
    ASSERT_TRUE(fresh.open());
    fresh.discard();
    EXPECT_FALSE(QFile::exists(path("new.csv")));
}

} // namespace
} // namespace zul::testing
