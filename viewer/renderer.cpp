#include "viewer/renderer.h"

#include "text/numtext.h"

#include <QPainter>
#include <QPainterPath>

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zul {

namespace {

constexpr int kMaxDiameter = 96; // larger dots (values far beyond 10) are drawn at this size
constexpr QRgb kRing = 0xff505050;

// Rows of a disc of each diameter d inside its d x d box: pixel (i, j) of the box is covered
// when its centre lies within d / 2 of the box centre. Each row holds its first covered column.
struct DiscSpans {
    std::array<std::vector<int>, kMaxDiameter + 1> first;
    DiscSpans() {
        for (int d = 1; d <= kMaxDiameter; ++d) {
            const double r = d / 2.0;
            std::vector<int>& f = first[static_cast<std::size_t>(d)];
            for (int j = 0; j < d; ++j) {
                const double v = j + 0.5 - r;
                int i = 0;
                while (i < d && (i + 0.5 - r) * (i + 0.5 - r) + v * v > r * r)
                    ++i;
                f.push_back(i);
            }
        }
    }
};

const DiscSpans& spans() {
    static const DiscSpans s;
    return s;
}

// Top-left pixel of the box of a disc of diameter d centred on the model position (px, py): an
// even diameter is centred on the nearest pixel corner, an odd one on the pixel's centre.
int boxStart(double p, int d) {
    if (d % 2 == 0) return static_cast<int>(std::floor(p + 0.5)) - d / 2;
    return static_cast<int>(std::floor(p)) - (d - 1) / 2;
}

// Filled disc of diameter d at (px, py), or with `hole` > 0 a ring around a hole of that diameter.
void disc(QImage& image, double px, double py, int d, QRgb colour, int hole = 0) {
    d = std::clamp(d, 1, kMaxDiameter);
    if (!(std::fabs(px) < 1e6 && std::fabs(py) < 1e6)) return;
    const int x0 = boxStart(px, d), y0 = boxStart(py, d);
    const int w = image.width(), h = image.height();
    if (x0 + d <= 0 || x0 >= w || y0 + d <= 0 || y0 >= h) return;
    const std::vector<int>& first = spans().first[static_cast<std::size_t>(d)];
    hole = hole > 0 && hole < d ? hole - (d - hole) % 2 : 0; // same parity: one centre
    const std::vector<int>* inner =
        hole > 0 ? &spans().first[static_cast<std::size_t>(hole)] : nullptr;
    const int margin = (d - hole) / 2;
    for (int j = 0; j < d; ++j) {
        const int y = y0 + j;
        if (y < 0 || y >= h) continue;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int f = first[static_cast<std::size_t>(j)];
        const int from = std::max(x0 + f, 0), to = std::min(x0 + d - 1 - f, w - 1);
        const int ij = j - margin;
        if (inner && ij >= 0 && ij < hole) {
            const int fi = (*inner)[static_cast<std::size_t>(ij)];
            const int holeFrom = x0 + margin + fi, holeTo = x0 + margin + hole - 1 - fi;
            for (int x = from; x <= to; ++x)
                if (x < holeFrom || x > holeTo) line[x] = colour;
            continue;
        }
        for (int x = from; x <= to; ++x)
            line[x] = colour;
    }
}

} // namespace

QFont viewFont() {
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(8.25);
    return f;
}

bool outOfDisplay(std::uint32_t colour, float value) {
    // Black is what the chain shows for a colour the display cannot; a real colour that dark
    // has a value near 0.
    return (colour & 0xffffffu) == 0 && value >= 0.5f;
}

int dotDiameter(float width) {
    const double d = roundHalfEven(static_cast<double>(width));
    if (!(d >= 1)) return 1;
    return d > kMaxDiameter ? kMaxDiameter : static_cast<int>(d);
}

void renderView(QImage& image, const PointTable& t, const View& v, const RenderOptions& o) {
    image.fill(kViewBackground);
    const PixelMapping map(v, image.width(), image.height());
    const double sinT = v.sinTilt, cosT = v.cosTilt;
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        auto at = [&](double x, double y) { return QPointF(map.px(float(x)), map.py(float(y))); };
        auto bigDot = [&](QPointF c, QColor colour) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(c, 5.0, 5.0);
        };
        // Ends of the value axis: black (value 0) below, white (value 10) above.
        bigDot(at(0, -20 * sinT), Qt::black);
        bigDot(at(0, 20 * sinT), Qt::white);
        // Hue directions: red, yellow, green and blue at 0, 90, 180 and 270 degrees.
        const std::array<QColor, 4> markers = {QColor(255, 0, 0), QColor(255, 255, 0),
                                               QColor(0, 255, 0), QColor(0, 0, 255)};
        for (int k = 0; k < 4; ++k) {
            const float a = v.rotation + static_cast<float>(90 * k) * kRadiansPerDegree;
            const QPointF end = at(20 * std::cos(a), 20 * std::sin(a) * cosT);
            bigDot(end, markers[static_cast<std::size_t>(k)]);
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(at(0, 0), end);
        }
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(at(0, 20 * sinT), at(0, -20 * sinT));
        // Names at the hue ends and a value scale beside the axis, so the solid reads without
        // the help text.
        p.setFont(o.font);
        const QFontMetricsF fm(o.font);
        static const char* const hueNames[] = {"5R", "5Y", "5G", "5B"};
        for (int k = 0; k < 4; ++k) {
            const float a = v.rotation + static_cast<float>(90 * k) * kRadiansPerDegree;
            const QPointF end = at(20 * std::cos(a), 20 * std::sin(a) * cosT);
            p.drawText(end + QPointF(7, fm.ascent() / 2), QString::fromLatin1(hueNames[k]));
        }
        if (std::fabs(sinT) > 0.2) {
            for (int value = 0; value <= 10; value += 1) {
                const QPointF tick = at(0, (value - 5) * 4 * sinT);
                p.drawLine(tick + QPointF(-3, 0), tick + QPointF(3, 0));
                if (value % 5 == 0)
                    p.drawText(tick + QPointF(-9 - fm.horizontalAdvance(QString::number(value)),
                                              fm.ascent() / 2),
                               QString::number(value));
            }
        }
        // Chroma rings 20, 10, 5 and 1 at value 5.
        p.setBrush(Qt::NoBrush);
        for (double r : {20.0, 10.0, 5.0, 1.0})
            p.drawEllipse(at(0, 0), r * map.scaleX, r * std::fabs(cosT) * map.scaleY);
    }

    // The dots, in table order: later entries cover earlier ones.
    const std::size_t n = t.size();
    for (std::size_t i = 0; i < n; ++i) {
        const ScreenPoint s = project(t, i, v);
        const double cx = map.px(s.x), cy = map.py(s.y);
        const float value = t.values[i];
        const int d = dotDiameter(value * 2 + 2);
        if (t.converted[i] && outOfDisplay(t.colours[i], value)) {
            // Shown black by the chain: a mark of its own, not a dot that looks like a black.
            disc(image, cx, cy, d, kOutOfDisplayMark, std::max(d - 4, 1));
            disc(image, cx, cy, std::max(d / 3, 1), kOutOfDisplayMark);
        } else if (t.converted[i])
            disc(image, cx, cy, d, t.colours[i]);
        else
            disc(image, cx, cy, d, kRing, d - 4); // no colour: a hollow ring
        if (static_cast<long>(i) == o.selected)
            disc(image, cx, cy, dotDiameter(value + 2), 0xffffffff);
    }

    if (o.numbers && n > 0) {
        QPainter p(&image);
        p.setFont(o.font);
        p.setPen(Qt::black);
        const QFontMetricsF fm(o.font);
        const double ascent = fm.ascent();
        for (std::size_t i = 0; i < n; ++i) {
            const ScreenPoint s = project(t, i, v);
            const double x = map.px(s.x), y = map.py(s.y);
            if (x < -100 || y < -100 || x > image.width() || y > image.height()) continue;
            // The text's top-left corner at the dot's centre, a blank where a sign would be.
            p.drawText(QPointF(x, y + ascent), QString::number(i + 1).prepend(' '));
        }
    }
}

} // namespace zul
