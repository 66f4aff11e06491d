// The paint routines sampled at the model's chip centres, at device pixel ratio 1 and 2, and
// the PDF export as a vector page.
#include "charts/chartpaint.h"
#include "workbench/workbench_fixture.h"

#include <QDate>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace zul::testing {
namespace {

// Device pixel of a design point in an image made by renderImage.
QPoint devicePixel(const QImage& image, QSize design, double x, double y) {
    const qreal dpr = image.devicePixelRatio();
    const QSize logical(static_cast<int>(std::lround(image.width() / dpr)),
                        static_cast<int>(std::lround(image.height() / dpr)));
    const QRect vp = fittedViewport(design, QRect(QPoint(0, 0), logical));
    return QPoint(static_cast<int>(std::floor((vp.x() + x * vp.width() / design.width()) * dpr)),
                  static_cast<int>(std::floor((vp.y() + y * vp.height() / design.height()) * dpr)));
}

QColor at(const QImage& image, QSize design, const ChartChip& c) {
    return image.pixelColor(devicePixel(image, design, c.cx, c.cy));
}

int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

class RenderTest : public ::testing::TestWithParam<qreal> {};

TEST_P(RenderTest, HuePageChipCentresHoldTheModelColours) {
    const auto page = fillbook("5R", *sharedTable(), {});
    ASSERT_TRUE(page);
    const ChartPicture pic = huePagePicture(*page);
    const QImage image = renderImage(pic, 1, GetParam());
    for (const ChartChip& c : page->chips) {
        const QColor want = c.painted ? chipColor(c) : kDesignFill;
        EXPECT_EQ(at(image, pic.design, c), want) << c.element;
    }
}

TEST_P(RenderTest, ValuePageDotCentresHoldTheModelColours) {
    float v = 5;
    const ValuePage page = plotvalue(v, *sharedTable(), {});
    const ChartPicture pic = valuePagePicture(page);
    const QImage image = renderImage(pic, 1, GetParam());
    for (const ChartChip& d : page.dots)
        EXPECT_EQ(at(image, pic.design, d), chipColor(d)) << d.notation;
}

TEST_P(RenderTest, ToleranceAndColorCheckerCentres) {
    const ToleranceSet set = MakeCTol({50, 40, 20}, {5, 5, 5}, *sharedTable(), {});
    const ChartPicture tol = tolerancePicture(set, true);
    const QImage a = renderImage(tol, 1, GetParam());
    for (const ToleranceSwatch& s : set.swatches)
        EXPECT_EQ(a.pixelColor(devicePixel(a, tol.design, s.cx, s.cy)),
                  QColor(s.rgb[0], s.rgb[1], s.rgb[2]));

    std::ifstream in(std::string(ZUL_SOURCE_DIR) + "/data/ccnames.csv", std::ios::binary);
    const ColorChecker cc = fillCC(readCcNames(in), *sharedTable(), {});
    const ChartPicture pic = colorCheckerPicture(cc);
    const QImage b = renderImage(pic, 1, GetParam());
    for (const ChartChip& p : cc.patches)
        EXPECT_EQ(at(b, pic.design, p), chipColor(p)) << p.element;
    EXPECT_EQ(at(b, pic.design, cc.patches[0]), QColor(114, 82, 68));
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatio, RenderTest, ::testing::Values(1.0, 2.0));

TEST(RenderMarks, DottedAndHatchedChipsHoldBothColours) {
    const auto page = fillbook("5R", *sharedTable(), {});
    ASSERT_TRUE(page);
    const ChartPicture pic = huePagePicture(*page);
    const QImage image = renderImage(pic, 2, 2);
    // Along the top edge: every column of a solid outline has a black pixel; a dotted one has
    // gaps where only the chip's own colour shows.
    auto edgeColumns = [&](const ChartChip& c, int& dark, int& gaps) {
        dark = gaps = 0;
        for (double x = c.cx - c.half + 40; x < c.cx + c.half - 40; x += 3) {
            const QPoint edge = devicePixel(image, pic.design, x, c.cy - c.half);
            bool black = false, fill = false;
            for (int dy = -2; dy <= 2; ++dy) {
                const QColor px = image.pixelColor(edge.x(), edge.y() + dy);
                black = black || distance(px, Qt::black) < 60;
                fill = fill || px == chipColor(c);
            }
            if (black) ++dark;
            if (!black && fill) ++gaps;
        }
    };
    int dotted = 0;
    for (const ChartChip& c : page->chips) {
        if (!c.painted || !c.inReach || c.element == 9) continue;
        int dark = 0, gaps = 0;
        edgeColumns(c, dark, gaps);
        EXPECT_GT(dark, 0) << c.notation;
        if (c.outOfRange) {
            ++dotted;
            EXPECT_GT(gaps, 0) << c.notation << ": a dotted outline shows the fill between dots";
        } else {
            EXPECT_EQ(gaps, 0) << c.notation << ": a solid outline is black all along";
        }
    }
    EXPECT_GT(dotted, 10);

    float v = 5;
    const ValuePage vp = plotvalue(v, *sharedTable(), {});
    const ChartPicture vpic = valuePagePicture(vp);
    const QImage vimage = renderImage(vpic, 4, 1);
    int hatched = 0;
    for (std::size_t i = 0; i < vp.dots.size(); ++i) {
        const ChartChip& d = vp.dots[i];
        if (!d.outOfRange) continue;
        // The inner side of the ring: later dots of the spoke lie outwards.
        const QColor fill = chipColor(d);
        const QColor hatch = fill.red() + fill.green() + fill.blue() < 300 ? Qt::white : Qt::black;
        int h = 0, f = 0;
        for (double r = d.half * 0.5; r < d.half * 0.9; r += 4)
            for (double a = 0; a < 2 * M_PI; a += 0.05) {
                const QColor px = vimage.pixelColor(devicePixel(
                    vimage, vpic.design, d.cx + r * std::cos(a), d.cy + r * std::sin(a)));
                if (distance(px, hatch) < 60) ++h;
                if (distance(px, fill) < 15) ++f;
            }
        EXPECT_GT(h, 0) << d.notation;
        EXPECT_GT(f, 0) << d.notation;
        ++hatched;
    }
    EXPECT_GT(hatched, 10);
}

TEST(Export, PdfIsOneVectorPageAndPngHasTheScaledSize) {
    QTemporaryDir dir;
    const auto page = fillbook("5R", *sharedTable(), {});
    ASSERT_TRUE(page);
    const ChartPicture pic = huePagePicture(*page);
    const QString pdf = dir.filePath("hue.pdf");
    EXPECT_EQ(saveChartPdf(pdf, pic), "");
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_FALSE(bytes.contains("/Subtype /Image")); // no embedded picture
    EXPECT_TRUE(bytes.contains("/Count 1"));
    EXPECT_FALSE(QFile::exists(dir.filePath(".hue.pdf.part")));

    const QString png = dir.filePath("hue.png");
    EXPECT_EQ(saveChartPng(png, pic, 2.5), "");
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(2050, 1350));
    EXPECT_NE(saveChartPng(png, pic, 0), "");
    // A folder that does not exist: a reason, no file.
    EXPECT_NE(saveChartPdf(dir.filePath("none/hue.pdf"), pic), "");
    EXPECT_NE(saveChartPng(dir.filePath("none/hue.png"), pic, 1), "");
}

// Dotted outlines stay dots on a page (at least 0.5 pt, not a 0.05 pt hairline), a wide chart
// fills a wide page, and every exported picture carries one caption line.
TEST(Export, PagesAreFilledOutlinesVisibleAndCaptioned) {
    QTemporaryDir dir;
    const ChartPicture pic = colorCheckerPicture(fillCC(CcNames{}, *sharedTable(), {}));
    auto outlineTwips = [&](QPaintDevice& device, const QRect& target) {
        QPainter p(&device);
        p.setViewport(fittedViewport(pic.design, target));
        p.setWindow(QRect(QPoint(0, 0), pic.design));
        return outlinePen(p, Qt::black, Qt::DotLine).widthF();
    };
    QImage screen(pictureSize(pic, 1), QImage::Format_RGB32);
    EXPECT_NEAR(outlineTwips(screen, screen.rect()), 2 * kTwipsPerPixel, 0.5); // two pixels
    QPdfWriter writer(dir.filePath("probe.pdf"));
    writer.setResolution(1200);
    writer.setPageSize(
        QPageSize(QSizeF(pic.design.width() / 20.0, pic.design.height() / 20.0), QPageSize::Point));
    writer.setPageMargins(QMarginsF());
    const double pageTwips = outlineTwips(writer, QRect(0, 0, writer.width(), writer.height()));
    EXPECT_GE(pageTwips / 20, 0.5); // points

    const ChartPicture plain = pic;
    ChartPicture captioned = pic;
    captioned.caption = chartCaption({{1, true}, {}, true, "1.8"}, QDate(2026, 12, 7));
    EXPECT_TRUE(captioned.caption.startsWith(
        QString::fromUtf8("Illuminant D5000 2\u00B0 Observer \u00B7 gamma 1.8 \u00B7 PWD on")))
        << captioned.caption.toStdString();
    for (const char* part : {"adapt on", "2026-12-07", "zul "})
        EXPECT_TRUE(captioned.caption.contains(part)) << part;

    const QString pdf = dir.filePath("cc.pdf");
    ASSERT_EQ(saveChartPdf(pdf, captioned), "");
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QRegularExpression box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(f.readAll()));
    ASSERT_TRUE(m.hasMatch());
    const QSize page = pageDesign(captioned);
    EXPECT_NEAR(m.captured(1).toDouble(), page.width() / 20.0, 1);
    EXPECT_NEAR(m.captured(2).toDouble(), page.height() / 20.0, 1);

    // The caption's strip under the chart: white, with dark text in it.
    const QImage image = renderImage(captioned, 1);
    EXPECT_EQ(image.height(), renderImage(plain, 1).height() + kCaptionStrip / kTwipsPerPixel);
    int dark = 0, white = 0;
    const int top = static_cast<int>(std::ceil(pic.design.height() / kTwipsPerPixel)) + 1;
    for (int y = top; y < image.height(); ++y)
        for (int x = 0; x < image.width() / 2; ++x) {
            const QColor px = image.pixelColor(x, y);
            if (distance(px, Qt::white) < 30) ++white;
            if (distance(px, Qt::black) < 200) ++dark;
        }
    EXPECT_GT(dark, 50);
    EXPECT_GT(white, dark);
}

} // namespace
} // namespace zul::testing
