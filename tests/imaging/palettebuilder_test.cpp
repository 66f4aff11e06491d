// Palettes cut from pictures: the records match what the main window writes for the same
// colours, in writing order, and the palette file is replaced only by a whole palette.
#include "imaging/palettebuilder.h"
#include "imaging/picture.h"
#include "imaging_support.h"
#include "support/testfiles.h"
#include "text/numtext.h"
#include "workbench/workbench_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <vector>

namespace zul::testing {
namespace {

QByteArrayList lines(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArrayList out = f.readAll().split('\n');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

// A record without its date and time: fields 3 to 22.
QByteArray withoutStamp(const QByteArray& line) {
    int commas = 0;
    for (qsizetype i = 0; i < line.size(); ++i)
        if (line[i] == ',' && ++commas == 2) return line.mid(i + 1);
    return {};
}

class PaletteBuilderTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        picture = preparePicture(patternPicture(400, 300));
    }
    PaletteBuildJob job(const QString& name, int n = 10) {
        PaletteBuildJob j;
        j.picture = picture.view();
        j.n = n;
        j.fileName = dir.filePath(name);
        j.table = sharedTable();
        j.options = wb->options();
        j.workers = 2;
        return j;
    }
    QTemporaryDir dir;
    Picture picture;
};

TEST_F(PaletteBuilderTest, RecordsMatchASerialRunOfTheWindowsChainAndSave) {
    // Options away from start-up, so a worker that ignored them would differ.
    wb->selectIlluminant(2);
    wb->setText(Field::Gamma, "1.8");
    const PaletteBuildResult r = buildPalette(job("PAL.CSV"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.written, 1200);
    EXPECT_EQ(r.failed, 0);

    const QByteArrayList built = lines(dir.filePath("PAL.CSV"));
    ASSERT_EQ(built.size(), 1200);
    EXPECT_TRUE(withoutStamp(built[0]).startsWith("\" 0 0\","));
    EXPECT_TRUE(withoutStamp(built[1]).startsWith("\" 0 10\","));
    EXPECT_TRUE(withoutStamp(built[30]).startsWith("\" 10 0\","));

    // The same blocks one after another on the main workbench: RGB, Enter, save with the tag.
    wb->setPaletteFile(dir.filePath("SERIAL.CSV"));
    const PaletteGrid grid = paletteGrid(400, 300, 10);
    for (std::int64_t k = 0; k < grid.blocks(); ++k) {
        const Rgb8 c = averageHalfEven(sumBlock(picture.view(), grid.x0(k), grid.y0(k), 10, 10));
        wb->clearEntries();
        wb->setText(Field::R, QString::number(c.r));
        wb->setText(Field::G, QString::number(c.g));
        wb->setText(Field::Bl, QString::number(c.b));
        ASSERT_TRUE(wb->rgbChain());
        wb->setTag(blockTag(grid.x0(k), grid.y0(k)));
        ASSERT_TRUE(wb->SaveData(1));
    }
    const QByteArrayList serial = lines(dir.filePath("SERIAL.CSV"));
    ASSERT_EQ(serial.size(), 1200);
    int differing = 0;
    for (int i = 0; i < 1200; ++i)
        if (withoutStamp(built[i]) != withoutStamp(serial[i])) {
            if (++differing < 4) ADD_FAILURE() << i << ": " << built[i].toStdString();
        }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(PaletteBuilderTest, ACancelledOrFailedBuildLeavesTheOldFileAsItWas) {
    const QString name = writeFile(dir.filePath("OLD.CSV"), "\"old\",\"record\"\r\n");

    std::atomic<bool> cancel{true};
    PaletteBuildJob j = job("OLD.CSV", 1); // 120,000 blocks: cancelled long before the end
    j.cancel = &cancel;
    const PaletteBuildResult r = buildPalette(j);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(lines(name), QByteArrayList{"\"old\",\"record\"\r"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"OLD.CSV"});

    // A granularity no block fits.
    j = job("OLD.CSV", 301);
    EXPECT_FALSE(buildPalette(j).error.isEmpty());
    EXPECT_EQ(lines(name), QByteArrayList{"\"old\",\"record\"\r"});
}

TEST_F(PaletteBuilderTest, ColoursMetAgainWriteTheSameRecordsAsTheChain) {
    // One-pixel blocks of a picture whose colours repeat: most records come from a worker's
    // memory of the colour, and must be what the chain writes.
    QImage image(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            image.setPixel(x, y, qRgb(x / 8 * 10, y / 6 * 10, (x + y) % 3 * 100));
    picture = preparePicture(image);
    wb->selectIlluminant(1);
    PaletteBuildJob j = job("REUSED.CSV", 1);
    const PaletteBuildResult reused = buildPalette(j);
    j.fileName = dir.filePath("CHAIN.CSV");
    j.reuseRecords = false;
    const PaletteBuildResult chain = buildPalette(j);
    ASSERT_TRUE(reused.ok() && chain.ok());
    EXPECT_EQ(reused.written, 30000);
    EXPECT_GT(reused.reused, 15000);
    EXPECT_EQ(chain.reused, 0);
    const QByteArrayList a = lines(dir.filePath("REUSED.CSV")),
                         b = lines(dir.filePath("CHAIN.CSV"));
    ASSERT_EQ(a.size(), 30000);
    ASSERT_EQ(b.size(), 30000);
    int differing = 0;
    for (int i = 0; i < 30000; ++i)
        if (withoutStamp(a[i]) != withoutStamp(b[i]) && ++differing < 4)
            ADD_FAILURE() << i << ": " << a[i].toStdString() << "\n" << b[i].toStdString();
    EXPECT_EQ(differing, 0);
}

TEST(PaletteNames, BlockTagsAreTheSignedTextsOfTheCorner) {
    std::mt19937 random(26);
    std::vector<int> corners;
    for (int v = 0; v < 100000; ++v)
        corners.push_back(v);
    for (int i = 0; i < 20000; ++i)
        corners.push_back(static_cast<int>(random() % 20'000'000));
    for (int v : {9'999'999, 10'000'000, 123'456'789, 2'147'483'647})
        corners.push_back(v);
    for (int v : corners)
        ASSERT_EQ(blockTag(v, 35).toStdString(),
                  signedText(static_cast<double>(v)) + signedText(35.0))
            << v;
}

TEST_F(PaletteBuilderTest, AnUnwritableFolderIsOneErrorNamingTheFile) {
    PaletteBuildJob j = job("no/such/folder/P.CSV");
    const PaletteBuildResult r = buildPalette(j);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("no/such/folder/P.CSV")) << r.error.toStdString();
    EXPECT_EQ(r.written, 0);
}

TEST(PaletteNames, OnlyTheFileNamePartIsUpperCasedAndCsvAddedOnce) {
    EXPECT_EQ(paletteFileFor("leaves"), "LEAVES.CSV");
    EXPECT_EQ(paletteFileFor("leaves.csv"), "LEAVES.CSV");
    EXPECT_EQ(paletteFileFor("/home/ann/Photos/leaves"), "/home/ann/Photos/LEAVES.CSV");
    EXPECT_EQ(paletteFileFor("leaf."), "LEAF..CSV");
    EXPECT_EQ(blockTag(0, 10), " 0 10");
    EXPECT_EQ(blockTag(120, 0), " 120 0");
}

TEST(PaletteNames, GranularityIsAWholeNumberThatFitsThePicture) {
    EXPECT_EQ(readGranularity("10", 400, 300).n, 10);
    EXPECT_EQ(readGranularity(" 300 ", 400, 300).n, 300);
    for (const char* bad : {"0", "-3", "301", "2.5", "ten", "40000", "99999999999999999999"}) {
        const GranularityAnswer g = readGranularity(bad, 400, 300);
        EXPECT_EQ(g.n, 0) << bad;
        EXPECT_FALSE(g.problem.isEmpty()) << bad;
    }
    EXPECT_EQ(readGranularity("40000", 50000, 50000).n, 0); // beyond 16 bits
}

} // namespace
} // namespace zul::testing
