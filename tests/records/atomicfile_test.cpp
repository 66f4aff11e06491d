#include "records/atomicfile.h"
#include "support/testfiles.h"
#include "workbench/palette.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir dir;
};

TEST_F(AtomicFileTest, StreamedPiecesReplaceTheFileOnlyAtCommit) {
    const QString path = dir.filePath("out.csv");
    ASSERT_EQ(writeFileAtomically(path, "old\n"), QString());
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        // Small pieces held back, pieces larger than the buffer written past it, in order;
        // more than the buffer holds, so some of it has reached the temporary file.
        QByteArray expected;
        char mark = 'a';
        for (int size : {1000, 1000, 150000, 10, 70000, 65535, 1, 200000, 5}) {
            const QByteArray piece(size, mark++);
            expected += piece;
            ASSERT_TRUE(file.write(piece));
        }
        EXPECT_EQ(contentOf(path), "old\n");
        ASSERT_EQ(file.commit(), QString());
        EXPECT_EQ(contentOf(path), expected);
    }
    EXPECT_EQ(entries(), QStringList{"out.csv"});
}

TEST_F(AtomicFileTest, AbandonedWriteLeavesTheOldFileAndNoTemporary) {
    const QString path = dir.filePath("zul.cfg");
    ASSERT_EQ(writeFileAtomically(path, "CE7000\n1\n"), QString());
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        file.write(QByteArray(100000, 'y'));
    } // no commit: an error path that returned early
    EXPECT_EQ(contentOf(path), "CE7000\n1\n");
    EXPECT_EQ(entries(), QStringList{"zul.cfg"});
}

TEST_F(AtomicFileTest, FailureNamesTheFileAndTheReason) {
    const QString path = dir.filePath("missing-folder/out.txt");
    const QString message = writeFileAtomically(path, "data");
    EXPECT_TRUE(message.startsWith("Could not write \"" + path + "\": ")) << message.toStdString();
    EXPECT_TRUE(message.endsWith("Nothing was written.")) << message.toStdString();

    AtomicFile unopened(dir.filePath("x"));
    EXPECT_FALSE(unopened.write("data"));
    EXPECT_FALSE(unopened.commit().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("x")));
}

TEST_F(AtomicFileTest, KeepsTheModeOfTheFileItReplaces) {
    const QString path = dir.filePath("LastPalette.txt");
    ASSERT_EQ(writeFileAtomically(path, "a.csv"), QString());
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_EQ(writeFileAtomically(path, "b.csv"), QString());
    EXPECT_EQ(contentOf(path), "b.csv");
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
}

// A palette whose last line lost its line end (edited by hand, or an append cut short) keeps
// that line, and the new record still starts a line of its own.
TEST_F(AtomicFileTest, PaletteAppendAfterAnUnfinishedLineStartsANewLine) {
    const QString path = dir.filePath("p.csv");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"typed by hand\",\"no line end\"");
    }
    ASSERT_EQ(appendPaletteLine(path, "\"record\"\r\n"), QString());
    ASSERT_EQ(appendPaletteLine(path, "\"next\"\r\n"), QString());
    EXPECT_EQ(contentOf(path), "\"typed by hand\",\"no line end\"\r\n\"record\"\r\n\"next\"\r\n");
}

} // namespace
} // namespace zul::testing
