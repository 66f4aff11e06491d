#pragma once
// Synthetic pictures for the imaging tests.
#include <QImage>

#include <gtest/gtest.h>

namespace zul::testing {

// A picture whose every pixel differs from its neighbours: blocks average to distinct colours.
inline QImage patternPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgb((x * 7 + y * 3) % 256, (x * 2 + y * 5 + 40) % 256,
                                (x * 11 + y * 13 + 90) % 256));
    return image;
}

inline QImage filledPicture(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace zul::testing
