// Picture loading: colour profiles, transparency, unreadable files and oversized headers.
#include "imaging/picture.h"
#include "imaging_support.h"

#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

namespace zul::testing {
namespace {

std::uint32_t crc32(const QByteArray& data) {
    std::uint32_t crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= static_cast<std::uint8_t>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& body) {
    QByteArray out(4, 0);
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), out.data());
    const QByteArray typed = QByteArray(type) + body;
    QByteArray crc(4, 0);
    qToBigEndian<quint32>(crc32(typed), crc.data());
    return out + typed + crc;
}

// A PNG whose header announces width x height pixels and that holds no image data.
QByteArray pngHeaderOnly(quint32 width, quint32 height) {
    QByteArray ihdr(13, 0);
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 2; // truecolour
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) +
           pngChunk("IDAT", QByteArray(16, 0)) + pngChunk("IEND", {});
}

TEST(Picture, AnEmbeddedProfileIsConvertedToSrgb) {
    QTemporaryDir dir;
    QImage p3 = filledPicture(8, 6, qRgb(200, 120, 60));
    p3.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    const QString file = dir.filePath("p3.png");
    ASSERT_TRUE(p3.save(file));

    const PictureLoad loaded = loadPicture(file);
    ASSERT_TRUE(loaded.error.isEmpty()) << loaded.error.toStdString();
    EXPECT_FALSE(loaded.picture.profile.isEmpty());
    const QColor shown = QColorSpace(QColorSpace::DisplayP3)
                             .transformationToColorSpace(QColorSpace::SRgb)
                             .map(QColor(200, 120, 60));
    const Rgb8 sample = *sampleAverage(loaded.picture.view(), 3, 3, 1);
    EXPECT_NEAR(sample.r, shown.red(), 1);
    EXPECT_NEAR(sample.g, shown.green(), 1);
    EXPECT_NEAR(sample.b, shown.blue(), 1);
    EXPECT_NE(sample, (Rgb8{200, 120, 60})); // the profile made a difference

    // Untagged pixels are taken as they are.
    const QString plain = dir.filePath("plain.png");
    ASSERT_TRUE(filledPicture(4, 4, qRgb(200, 120, 60)).save(plain));
    const PictureLoad untagged = loadPicture(plain);
    EXPECT_TRUE(untagged.picture.profile.isEmpty());
    EXPECT_EQ(*sampleAverage(untagged.picture.view(), 1, 1, 0), (Rgb8{200, 120, 60}));
}

TEST(Picture, TheExifOrientationIsApplied) {
    QTemporaryDir dir;
    const QString file = dir.filePath("turned.jpg");
    QImage wide = filledPicture(40, 20, qRgb(250, 250, 250));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            wide.setPixel(x, y, qRgb(0, 0, 0)); // dark left end
    QImageWriter writer(file, "jpeg");
    writer.setQuality(95);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(wide)) << writer.errorString().toStdString();

    const PictureLoad loaded = loadPicture(file);
    ASSERT_TRUE(loaded.error.isEmpty()) << loaded.error.toStdString();
    ASSERT_EQ(loaded.picture.image.size(), QSize(20, 40));
    // Turned a quarter clockwise: the dark end is at the top.
    EXPECT_LT(sampleAverage(loaded.picture.view(), 10, 3, 2)->r, 30);
    EXPECT_GT(sampleAverage(loaded.picture.view(), 10, 36, 2)->r, 220);
}

TEST(Picture, TransparencyIsCompositedOverWhite) {
    QImage argb(3, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(0, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(0, 0, 0, 255));
    argb.setPixel(2, 0, qRgba(0, 0, 0, 128));
    const Picture p = preparePicture(argb);
    ASSERT_EQ(p.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(*sampleAverage(p.view(), 0, 0, 0), (Rgb8{255, 255, 255}));
    EXPECT_EQ(*sampleAverage(p.view(), 1, 0, 0), (Rgb8{0, 0, 0}));
    EXPECT_EQ(*sampleAverage(p.view(), 2, 0, 0), (Rgb8{127, 127, 127}));
}

TEST(Picture, UnreadableFilesGiveOneErrorNamingTheFile) {
    QTemporaryDir dir;
    const PictureLoad missing = loadPicture(dir.filePath("nothere.jpg"));
    EXPECT_TRUE(missing.picture.isNull());
    EXPECT_TRUE(missing.error.contains("nothere.jpg"));

    QFile junk(dir.filePath("junk.jpg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is no picture");
    junk.close();
    const PictureLoad bad = loadPicture(junk.fileName());
    EXPECT_TRUE(bad.picture.isNull());
    EXPECT_TRUE(bad.error.contains("junk.jpg")) << bad.error.toStdString();
}

TEST(Picture, AHeaderPromisingMoreThanTheLimitIsRefusedBeforeDecoding) {
    QTemporaryDir dir;
    QFile bomb(dir.filePath("bomb.png"));
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(pngHeaderOnly(100000, 100000));
    bomb.close();
    const PictureLoad r = loadPicture(bomb.fileName());
    EXPECT_TRUE(r.picture.isNull());
    EXPECT_TRUE(r.error.contains("100000 x 100000")) << r.error.toStdString();
}

TEST(Picture, TheOpenFilterOffersEveryReadableFormatThenJpgThenAll) {
    const QString filter = pictureFilter();
    EXPECT_TRUE(filter.startsWith("Pictures|"));
    EXPECT_TRUE(filter.contains("*.png"));
    EXPECT_TRUE(filter.contains("*.jpeg"));
    EXPECT_TRUE(filter.endsWith("|*.jpg|*.jpg|All files|*"));
}

} // namespace
} // namespace zul::testing
