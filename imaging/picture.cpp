#include "imaging/picture.h"

#include <QColorSpace>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace zul {

namespace {

constexpr qint64 kBytesPerPixel = 4;

QString sizeText(qint64 bytes) {
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 0) + " MiB";
}

// Each pixel over white by its alpha; opaque images are only converted.
QImage overWhite(const QImage& argb) {
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = in[x];
            const int a = qAlpha(p);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            o[x] = qRgb(blend(qRed(p)), blend(qGreen(p)), blend(qBlue(p)));
        }
    }
    return out;
}

} // namespace

Picture preparePicture(QImage image) {
    Picture p;
    if (image.isNull()) return p;
    const QColorSpace space = image.colorSpace();
    const bool alpha = image.hasAlphaChannel();
    image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return p; // out of memory
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) {
        image.convertToColorSpace(QColorSpace::SRgb);
        p.profile = space.description().isEmpty() ? QStringLiteral("embedded profile")
                                                  : space.description();
    }
    p.image = alpha ? overWhite(image) : image;
    // Drop any colour space tag: the pixels are sRGB now and are never converted again.
    p.image.setColorSpace(QColorSpace());
    return p;
}

PictureLoad loadPicture(const QString& fileName) {
    PictureLoad result;
    auto fail = [&](const QString& reason) {
        result.error = "Cannot open picture " + fileName + ": " + reason;
        return result;
    };
    if (fileName.isEmpty()) return fail("no file name");
    const QFileInfo info(fileName);
    if (!info.exists()) return fail("File not found");
    if (info.isDir()) return fail("it is a folder");
    if (!info.isFile()) return fail("it is not a regular file");

    QImageReader::setAllocationLimit(kPictureAllocationLimitMiB);
    QImageReader reader(fileName);
    reader.setAutoTransform(true); // EXIF orientation
    if (!reader.canRead()) return fail(reader.errorString());
    // The header's size, before anything is decoded: no bomb gets to allocate.
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 bytes = qint64(size.width()) * size.height() * kBytesPerPixel;
        if (size.isEmpty()) return fail("the picture has no pixels");
        if (bytes > qint64(kPictureAllocationLimitMiB) * 1024 * 1024)
            return fail(QString("the picture is %1 x %2 pixels (%3); at most %4 can be opened")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(sizeText(bytes),
                                 sizeText(qint64(kPictureAllocationLimitMiB) * 1024 * 1024)));
    }
    QImage image = reader.read();
    if (image.isNull()) return fail(reader.errorString());
    result.picture = preparePicture(std::move(image));
    if (result.picture.isNull()) return fail("not enough memory to convert the picture");
    return result;
}

QString pictureFilter() {
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << "*." + QString::fromLatin1(suffix).toLower();
    patterns.removeDuplicates();
    std::sort(patterns.begin(), patterns.end());
    return "Pictures|" + patterns.join(';') + "|*.jpg|*.jpg|All files|*";
}

} // namespace zul
