#pragma once
// Synthetic pictures for the imaging tests, and one QApplication for the whole program.
#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

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

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_imaging";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

} // namespace zul::testing
