// The renderer's pixels at known places, the exports read back, and `zul view`.
#include "records/paletterecord.h"
#include "viewer/palettefiles.h"
#include "viewer/paletteloader.h"
#include "viewer/renderer.h"

#include "support/zulprocess.h"
#include "viewer_support.h"
#include "workbench/workbench_fixture.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace zul::testing {
namespace {

struct Pixel {
    int x, y;
};
Pixel pixelOf(const PointTable& t, std::size_t i, const View& v, int size) {
    const PixelMapping m(v, size, size);
    const ScreenPoint p = project(t, i, v);
    return {static_cast<int>(std::floor(m.px(p.x))), static_cast<int>(std::floor(m.py(p.y)))};
}

// Length of the run of `colour` through (x, y) along the row.
int rowRun(const QImage& image, int x, int y, QRgb colour) {
    int left = x, right = x;
    while (left > 0 && image.pixel(left - 1, y) == colour)
        --left;
    while (right + 1 < image.width() && image.pixel(right + 1, y) == colour)
        ++right;
    return image.pixel(x, y) == colour ? right - left + 1 : 0;
}

struct ZulRun {
    int status = -1;
    QByteArray out, err;
};
ZulRun runZul(const QStringList& args) {
    const ProgramRun r = testing::runZul(args);
    return {r.status, QByteArray::fromStdString(r.out), QByteArray::fromStdString(r.err)};
}

class RenderTest : public WorkbenchTest {
protected:
    struct Drawn {
        QImage image;
        View view;
    };
    // The view of no palette zoomed out to 25, drawn 400 x 400: axes and markers alone.
    static Drawn emptyWideView() {
        Drawn d{QImage(400, 400, QImage::Format_RGB32), {}};
        ViewBars wide;
        wide.zoom = 25;
        d.view = viewFrom(wide);
        renderView(d.image, PointTable{}, d.view, RenderOptions{});
        return d;
    }
};

TEST_F(RenderTest, DotCentreShowsTheCommandLineConversionOf5R5_10) {
    const ZulRun convert = runZul({"convert", "--from", "munsell", "5R", "5", "10"});
    ASSERT_EQ(convert.status, 0) << convert.err.toStdString();
    const QList<QByteArray> fields = convert.out.split('\n').at(1).split(',');
    const QRgb expected = qRgb(fields[11].toInt(), fields[12].toInt(), fields[13].toInt());

    PaletteLoadRequest request;
    request.table = sharedTable();
    request.options = wb->options();
    const std::string text = record("A", "5R", "5", "10");
    std::size_t pos = 0;
    const ChunkReader read = [&](char* b, std::size_t n) {
        n = std::min(n, text.size() - pos);
        text.copy(b, n, pos);
        pos += n;
        return n;
    };
    const PaletteLoadResult r = loadPalette(read, request);
    ASSERT_EQ(r.points.size(), 1u);
    QImage image(600, 600, QImage::Format_RGB32);
    const View v = viewFrom(ViewBars{});
    renderView(image, r.points, v, RenderOptions{});
    const Pixel c = pixelOf(r.points, 0, v, 600);
    EXPECT_EQ(image.pixel(c.x, c.y), expected);
}

TEST_F(RenderTest, DotGrowsWithValueSelectionMarkIsSmallerRingsForUnconverted) {
    PointTable t;
    addPoint(t, 5, 10, 15, 0xff2040c0); // value 10: a 22-pixel dot
    addPoint(t, 55, 0, 15, 0xffc04020); // value 0: 2 pixels
    addPoint(t, 30, 5, 15, 0xff00ff00, false);
    QImage image(800, 800, QImage::Format_RGB32);
    ViewBars wide;
    wide.zoom = 30;
    const View v = viewFrom(wide);
    RenderOptions o;
    renderView(image, t, v, o);
    const Pixel p0 = pixelOf(t, 0, v, 800), p1 = pixelOf(t, 1, v, 800), p2 = pixelOf(t, 2, v, 800);
    EXPECT_EQ(rowRun(image, p0.x, p0.y, 0xff2040c0), 22);
    EXPECT_EQ(rowRun(image, p1.x, p1.y, 0xffc04020), 2);
    // No colour: a ring around the background.
    EXPECT_EQ(image.pixel(p2.x, p2.y), kViewBackground);
    EXPECT_NE(image.pixel(p2.x - 6, p2.y), kViewBackground);

    o.selected = 0;
    renderView(image, t, v, o);
    EXPECT_EQ(rowRun(image, p0.x, p0.y, 0xffffffff), 12);
    EXPECT_EQ(image.pixel(p0.x - 8, p0.y), 0xff2040c0u); // the colour stays round the mark
}

TEST_F(RenderTest, OutOfDisplayEntriesAreMarkedRealBlacksStayBlack) {
    PointTable t;
    addPoint(t, 5, 6, 18, 0xff000000);    // value 6 shown black: the display cannot show it
    addPoint(t, 55, 0.2f, 0, 0xff000000); // a real black near value 0
    QImage image(800, 800, QImage::Format_RGB32);
    ViewBars wide;
    wide.zoom = 30;
    const View v = viewFrom(wide);
    renderView(image, t, v, RenderOptions{});
    const Pixel p0 = pixelOf(t, 0, v, 800), p1 = pixelOf(t, 1, v, 800);
    EXPECT_EQ(image.pixel(p0.x, p0.y), kOutOfDisplayMark);
    EXPECT_EQ(image.pixel(p0.x - 4, p0.y), kViewBackground); // hollow between centre and ring
    EXPECT_EQ(image.pixel(p0.x - 6, p0.y), kOutOfDisplayMark);
    EXPECT_EQ(image.pixel(p1.x, p1.y), 0xff000000u);
}

TEST_F(RenderTest, HueEndsAndTheValueAxisAreLabelled) {
    const auto [image, v] = emptyWideView();
    const PixelMapping m(v, 400, 400);
    // Text beside the red marker's end, and at the value 10 tick left of the axis.
    auto inked = [&](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(image.pixel(x, y)) < 120;
        return n;
    };
    const QPoint red(static_cast<int>(m.px(20)), static_cast<int>(m.py(0)));
    EXPECT_GT(inked(QRect(red + QPoint(7, -6), QSize(16, 12))), 3);
    const QPoint top(static_cast<int>(m.px(0)), static_cast<int>(m.py(20 * v.sinTilt)));
    EXPECT_GT(inked(QRect(top + QPoint(-26, -6), QSize(18, 12))), 3);
}

TEST_F(RenderTest, AxesAndMarkersWithoutAPalette) {
    const auto [image, v] = emptyWideView();
    const PixelMapping m(v, 400, 400);
    auto at = [&](double x, double y) {
        return image.pixel(static_cast<int>(m.px(float(x))), static_cast<int>(m.py(float(y))));
    };
    EXPECT_EQ(at(0, -20 * v.sinTilt), qRgb(0, 0, 0));            // value 0 end
    EXPECT_EQ(at(0, 20 * v.sinTilt + 0.2), qRgb(255, 255, 255)); // value 10 end
    EXPECT_EQ(at(20.2, 0), qRgb(255, 0, 0));                     // red marker at hue angle 0
    EXPECT_EQ(at(-20.2, 0), qRgb(0, 255, 0));                    // green opposite
    EXPECT_EQ(image.pixel(5, 5), kViewBackground);
}

TEST_F(RenderTest, NumbersAreWrittenWhenAsked) {
    PointTable t;
    addPoint(t, 5, 1, 10, 0xff808080);
    QImage plain(400, 400, QImage::Format_RGB32), numbered(400, 400, QImage::Format_RGB32);
    RenderOptions o;
    o.font = viewFont();
    renderView(plain, t, viewFrom(ViewBars{}), o);
    o.numbers = true;
    renderView(numbered, t, viewFrom(ViewBars{}), o);
    const Pixel p = pixelOf(t, 0, viewFrom(ViewBars{}), 400);
    int changed = 0;
    for (int y = p.y; y < p.y + 14; ++y)
        for (int x = p.x + 2; x < p.x + 14; ++x)
            changed += plain.pixel(x, y) != numbered.pixel(x, y);
    EXPECT_GT(changed, 3);
}

TEST_F(RenderTest, ExportsReadBack) {
    ScratchFolder dir;
    PointTable t;
    addPoint(t, 5, 4, 10, 0xffc25a57);
    addPoint(t, 5, 9, 30, 0xff000000, false); // no colour: not exported
    addPoint(t, 25, 8, 6, 0xffd2c870);
    t.names[2] = "sand \u00e9"; // UTF-8 tag
    ASSERT_EQ(exportGpl(t, "Mine", "p.gpl"), "");
    const QStringList gpl = QString::fromUtf8(readFile("p.gpl")).split('\n');
    ASSERT_GE(gpl.size(), 6);
    EXPECT_EQ(gpl[0], "GIMP Palette");
    EXPECT_EQ(gpl[1], "Name: Mine");
    const QStringList body = gpl.mid(4).filter(QRegularExpression("\\S"));
    ASSERT_EQ(body.size(), 2);
    const QStringList first = body[0].split('\t');
    EXPECT_EQ(first[0].simplified(), "194 90 87");
    EXPECT_EQ(first[1], swatchName(t, 0));
    EXPECT_EQ(body[1].split('\t')[1], QString::fromUtf8("5R 8.000000/6.000000 sand \u00e9"));

    ASSERT_EQ(exportAse(t, "p.ase"), "");
    const QByteArray ase = readFile("p.ase");
    ASSERT_GT(ase.size(), 12);
    EXPECT_EQ(ase.left(4), "ASEF");
    auto u16 = [&](int at) { return qFromBigEndian<quint16>(ase.constData() + at); };
    auto u32 = [&](int at) { return qFromBigEndian<quint32>(ase.constData() + at); };
    EXPECT_EQ(u16(4), 1);
    EXPECT_EQ(u32(8), 2u);
    int at = 12;
    QStringList names;
    QList<QColor> colours;
    for (quint32 b = 0; b < 2; ++b) {
        ASSERT_EQ(u16(at), 0x0001);
        const int length = static_cast<int>(u32(at + 2));
        const int start = at + 6;
        const int chars = u16(start);
        QString name;
        for (int c = 0; c < chars - 1; ++c)
            name += QChar(u16(start + 2 + 2 * c));
        EXPECT_EQ(u16(start + 2 + 2 * (chars - 1)), 0); // terminated
        int p = start + 2 + 2 * chars;
        EXPECT_EQ(ase.mid(p, 4), "RGB ");
        float rgb[3];
        for (int k = 0; k < 3; ++k) {
            const quint32 bits = u32(p + 4 + 4 * k);
            std::memcpy(&rgb[k], &bits, 4);
        }
        EXPECT_EQ(u16(p + 16), 2);
        EXPECT_EQ(p + 18, start + length);
        names << name;
        colours << QColor::fromRgbF(rgb[0], rgb[1], rgb[2]);
        at = start + length;
    }
    EXPECT_EQ(at, ase.size());
    EXPECT_EQ(names, (QStringList{swatchName(t, 0), swatchName(t, 2)}));
    EXPECT_EQ(colours[0].rgb(), 0xffc25a57u);
    EXPECT_EQ(colours[1].rgb(), 0xffd2c870u);
}

TEST_F(RenderTest, CommandLineViewWritesThePicture) {
    ScratchFolder dir;
    writeFile("pal.csv", record("A", "5R", "5", "10") + record("B", "5PB", "4", "8"));
    ZulRun r = runZul({"view", "pal.csv", "--png", "out.png", "--size", "300", "--tilt", "30",
                       "--rotation", "-40", "--zoom", "12"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage image("out.png");
    ASSERT_EQ(image.size(), QSize(300, 300));
    // Where the point lands: ((sx - panX + zoom) / 2zoom * N, (panY + zoom - sy) / 2zoom * N).
    PointTable t;
    addPoint(t, 5, 5, 10, 0);
    ViewBars bars;
    bars.tilt = 30;
    bars.rotation = -40;
    bars.zoom = 12;
    const View v = viewFrom(bars);
    const ScreenPoint s = project(t, 0, v);
    const int px = static_cast<int>((s.x - 0 + 12) / 24 * 300);
    const int py = static_cast<int>((0 + 12 - s.y) / 24 * 300);
    const ZulRun convert = runZul({"convert", "--from", "munsell", "5R", "5", "10"});
    const QList<QByteArray> f = convert.out.split('\n').at(1).split(',');
    EXPECT_EQ(image.pixel(px, py), qRgb(f[11].toInt(), f[12].toInt(), f[13].toInt()));

    r = runZul({"view", "pal.csv", "--png", "out.png", "--zoom", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--zoom must be a whole number from 1 to 40"))
        << r.err.toStdString();
    EXPECT_EQ(runZul({"view", "pal.csv"}).status, 2);
    r = runZul({"view", "missing.csv", "--png", "m.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("missing.csv"));
    writeFile("bad.csv", record("A", "5R", "5", "10") + "\"x\",\"y\",\"z\",\"5R\",\"4\"\r\n");
    r = runZul({"view", "bad.csv", "--png", "b.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("line 2:")) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists("b.png")); // the good records are still drawn
}

} // namespace
} // namespace zul::testing
