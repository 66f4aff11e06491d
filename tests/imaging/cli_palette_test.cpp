// `zul palette-from-picture` run as a user runs it.
#include "imaging_support.h"
#include "support/zulprocess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
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

// A picture with a black frame: the frame's blocks are the neutral black, and the palette
// they make is drawn whole.
TEST(PaletteFromPictureCommand, AFramedPictureMakesAPaletteTheViewerDraws) {
    QTemporaryDir dir;
    const QImage picture(QString(ZUL_SOURCE_DIR) + "/data/TestImage.jpg");
    ASSERT_FALSE(picture.isNull());
    QImage framed(picture.width() + 20, picture.height() + 20, QImage::Format_RGB32);
    framed.fill(Qt::black);
    QPainter painter(&framed);
    painter.drawImage(10, 10, picture);
    painter.end();
    ASSERT_TRUE(framed.save(dir.filePath("framed.jpg"), "JPEG", 95));

    CommandRun r = zul({"palette-from-picture", "framed.jpg", "-o", "framed.csv"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(dir.filePath("framed.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    int black = 0, lines = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.isEmpty()) continue;
        ++lines;
        const QList<QByteArray> fields = line.split(',');
        ASSERT_GE(fields.size(), 6);
        ASSERT_NE(fields[3], "\"\"") << line.toStdString(); // every record has a notation
        if (fields[3] == "\"N\"") {
            ++black;
            EXPECT_EQ(fields[5], "\"0.00\"") << line.toStdString();
        }
    }
    EXPECT_GT(black, 100); // the frame's corners and edges, at least
    EXPECT_GT(lines, black);

    r = zul({"view", "framed.csv", "--png", "v.png"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("notation")) << r.err.toStdString();
    EXPECT_FALSE(QImage(dir.filePath("v.png")).isNull());
}

// Palettes written before black had a notation: their empty records are counted once, the
// others drawn.
TEST(PaletteFromPictureCommand, RecordsWithoutANotationAreCountedAndTheRestDrawn) {
    QTemporaryDir dir;
    QFile f(dir.filePath("old.csv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"01-02-2026\",\"10:00:00\",\" 0 0\",\"\",\"\",\"\",\"0\",\"0\",\"0\"\r\n"
            "\"01-02-2026\",\"10:00:00\",\" 10 0\",\"5R\",\"5.00\",\"10.00\"\r\n"
            "\"01-02-2026\",\"10:00:00\",\" 20 0\",\"\",\"\",\"\"\r\n");
    f.close();
    const CommandRun r = zul({"view", "old.csv", "--png", "v.png"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.count("notation"), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("2 of 3 records have no Munsell notation")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("line 1")) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("v.png")));
}

} // namespace
} // namespace zul::testing
