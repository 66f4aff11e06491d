#pragma once
// Pictures as the picture window samples them: decoded once, turned upright by their EXIF
// orientation, converted from an embedded colour profile to sRGB, composited over white and held
// as 32-bit RGB. Sampling reads the pixels; nothing ever writes them.
#include "imaging/blockaverage.h"

#include <QImage>
#include <QString>

namespace zul {

// Qt's limit for one decoded image, raised for large photographs; a picture whose header
// promises more than this is refused before it is decoded.
inline constexpr int kPictureAllocationLimitMiB = 1024;

struct Picture {
    QImage image;    // Format_RGB32; null when nothing is loaded
    QString profile; // the embedded profile converted from, empty when there was none

    bool isNull() const { return image.isNull(); }
    PixelView view() const {
        if (image.isNull()) return {};
        return {image.constBits(), image.width(), image.height(), image.bytesPerLine()};
    }
};

struct PictureLoad {
    Picture picture;
    QString error; // names the file and the reader's reason; empty on success
};

// Reads a picture file of any format Qt can decode.
PictureLoad loadPicture(const QString& fileName);

// The same preparation for an image from elsewhere (the clipboard).
Picture preparePicture(QImage image);

// The open dialog's filter: every readable format first, then "*.jpg" and all files.
QString pictureFilter();

} // namespace zul
