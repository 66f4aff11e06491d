// `zul palette-from-picture` run as a user runs it.
#include "imaging_support.h"
#include "support/zulprocess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

struct CommandRun {
    int status = -1;
    QString out, err;
};

CommandRun zul(const QStringList& args, const QString& dir) {
    const ProgramRun r = runZul(args, {}, dir);
    return {r.status, QString::fromLocal8Bit(r.out), QString::fromLocal8Bit(r.err)};
}

TEST(PaletteFromPictureCommand, WritesOneRecordPerBlockOfTheShippedPicture) {
    QTemporaryDir dir;
    const CommandRun r =
        zul({"palette-from-picture", QString(ZUL_SOURCE_DIR) + "/data/TestImage.jpg", "--grid",
             "10", "-o", "T.CSV"},
            dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(dir.filePath("T.CSV"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    EXPECT_EQ(all.count('\n'), 2400);
    EXPECT_EQ(all.split('\n')[1].split(',')[2], "\" 0 10\"");
}

TEST(PaletteFromPictureCommand, DefaultNameAndBadUsage) {
    QTemporaryDir dir;
    QImage small(25, 12, QImage::Format_RGB32);
    small.fill(qRgb(100, 150, 200));
    ASSERT_TRUE(small.save(dir.filePath("leaf.png")));
    CommandRun r = zul({"palette-from-picture", "leaf.png", "--grid=5"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(dir.filePath("LEAF.CSV"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count('\n'), 10); // 5 x 2 blocks

    r = zul({"palette-from-picture", "leaf.png", "--grid", "13"}, dir.path());
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("at most 12"));
    r = zul({"palette-from-picture"}, dir.path());
    EXPECT_EQ(r.status, 2);
    r = zul({"palette-from-picture", "gone.jpg"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("gone.jpg"));
    r = zul({"palette-from-picture", "leaf.png", "-o", "no/such/dir/X.CSV"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("no/such/dir/X.CSV"));
}

} // namespace
} // namespace zul::testing
