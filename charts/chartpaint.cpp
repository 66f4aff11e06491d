#include "charts/chartpaint.h"

#include "text/numtext.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace zul {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

void setFont(QPainter& p, double twips, bool bold = false) {
    QFont f = p.font();
    f.setPixelSize(static_cast<int>(twips));
    f.setBold(bold);
    p.setFont(f);
}

// Text anchored top-left at (x, y), as the chart's text output places it.
void textAt(QPainter& p, double x, double y, const QString& text) {
    p.drawText(QRectF(x, y, 4000, 400), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void textCentred(QPainter& p, const QRectF& r, const QString& text) {
    p.drawText(r, Qt::AlignCenter | Qt::TextDontClip, text);
}

QRectF chipRect(const ChartChip& c) {
    return QRectF(c.cx - c.half, c.cy - c.half, 2 * c.half, 2 * c.half);
}

QColor contrast(const QColor& c) {
    return c.red() + c.green() + c.blue() < 300 ? Qt::white : Qt::black;
}

} // namespace

// A dotted or dashed outline that reads as dots at any resolution: at least 0.75 pt (15 twips)
// on a page and two device pixels on the screen.
QPen outlinePen(const QPainter& p, const QColor& colour, Qt::PenStyle style) {
    const double devicePerTwip = std::abs(p.combinedTransform().m11());
    double width = kMinOutlineTwips;
    if (devicePerTwip > 0) width = std::max(width, 2 / devicePerTwip);
    return QPen(colour, width, style);
}

QColor chipColor(const ChartChip& c) {
    return QColor(c.rgb[0], c.rgb[1], c.rgb[2]);
}

void paintHuePage(QPainter& p, const HuePage& page, std::optional<int> marked) {
    using G = HuePageGeometry;
    p.fillRect(QRectF(0, 0, G::kWidth, G::kHeight), kHuePageBackground);
    QPen solid(Qt::black, 0);
    const QPen dotted = outlinePen(p, Qt::black, Qt::DotLine);
    // Crisp outlines: a dotted edge must read as dots, not as a grey smear.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const ChartChip& c : page.chips) {
        const QRectF r = chipRect(c);
        p.fillRect(r, c.painted ? chipColor(c) : kDesignFill);
        const bool outOfGamut = c.painted && c.inReach && c.outOfRange;
        p.setPen(outOfGamut ? dotted : solid);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
    p.restore();
    if (marked && *marked >= 0 && *marked < G::kElements) {
        const ChartChip& c = page.chips[static_cast<std::size_t>(*marked)];
        QPen ring(contrast(chipColor(c)), 40);
        p.setPen(ring);
        p.drawRect(chipRect(c).adjusted(60, 60, -60, -60));
    }
    p.setPen(Qt::black);
    setFont(p, 200);
    const double captionTop = G::kTop + G::kPitch * 9 + G::kChip + 40;
    for (int j = 0; j < G::kColumns; ++j)
        textCentred(p, QRectF(G::kLeft + G::kPitch * j, captionTop, G::kChip, 260),
                    qs(chromaCaption(j)));
    for (int r = 0; r < G::kRows; ++r)
        textCentred(p, QRectF(G::kLeft - 560, G::kTop + G::kPitch * r, 400, G::kChip),
                    qs(valueCaption(r)));
    setFont(p, 240, true);
    textAt(p, 200, captionTop + 320, qs(page.hueCaption));
    setFont(p, 180);
    textAt(p, G::kLeft, captionTop + 320, "Chroma \u2192");
}

void paintValuePage(QPainter& p, const ValuePage& page, std::optional<QPointF> marked) {
    using G = ValuePageGeometry;
    p.fillRect(QRectF(0, 0, G::kWidth, G::kHeight), kValuePageBackground);
    // Spoke-end notations first: a dot is never hidden under a neighbouring spoke's label.
    p.setPen(Qt::black);
    setFont(p, 170);
    for (const SpokeLabel& l : page.labels)
        textAt(p, l.x, l.y, qs(l.text));
    p.setPen(Qt::NoPen);
    for (const ChartChip& d : page.dots) {
        const QColor fill = chipColor(d);
        const QPointF centre(d.cx, d.cy);
        p.setBrush(fill);
        p.drawEllipse(centre, d.half, d.half);
        if (d.outOfRange) {
            // Cross-hatched ring, the middle kept plain: chords of the two diagonal line
            // families cut analytically (a clip path per dot is far slower, and a pattern
            // brush would turn into a picture in a PDF).
            QPen line(contrast(fill), 8);
            p.setPen(line);
            const double outer = d.half, inner = d.half * 0.4, step = d.half / 2.5;
            const double k = 1 / std::sqrt(2.0);
            for (const QPointF u : {QPointF(k, k), QPointF(k, -k)}) {
                const QPointF n(-u.y(), u.x());
                for (double off = -outer + step / 2; off < outer; off += step) {
                    const double h = std::sqrt(outer * outer - off * off);
                    const QPointF mid = centre + off * n;
                    if (std::abs(off) >= inner) {
                        p.drawLine(mid - h * u, mid + h * u);
                    } else {
                        const double hi = std::sqrt(inner * inner - off * off);
                        p.drawLine(mid - h * u, mid - hi * u);
                        p.drawLine(mid + hi * u, mid + h * u);
                    }
                }
            }
            p.setPen(Qt::NoPen);
        }
    }
    if (marked) {
        QPen ring(Qt::black, 30);
        p.setPen(ring);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(*marked, page.radius * 1.6, page.radius * 1.6);
        ring.setColor(Qt::white);
        ring.setWidthF(15);
        p.setPen(ring);
        p.drawEllipse(*marked, page.radius * 1.6, page.radius * 1.6);
    }
}

void paintTolerance(QPainter& p, const ToleranceSet& set, bool blackLines) {
    using G = ToleranceGeometry;
    p.fillRect(QRectF(0, 0, G::kWidth, G::kHeight), kToleranceBackground);
    for (const ToleranceSwatch& s : set.swatches) {
        const QRectF r(s.cx - s.half, s.cy - s.half, 2 * s.half, 2 * s.half);
        if (s.ok) {
            const QColor fill(s.rgb[0], s.rgb[1], s.rgb[2]);
            p.fillRect(r, fill);
            QPen pen(blackLines ? QColor(Qt::black) : fill, 30);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(15, 15, -15, -15));
        } else {
            p.setPen(outlinePen(p, Qt::darkGray, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            p.setPen(Qt::black);
            setFont(p, 180);
            textCentred(p, r, "not convertible");
        }
        p.setPen(Qt::black);
        double y = r.bottom() + 30;
        setFont(p, 170, true);
        textAt(p, r.left(), y, qs(s.direction) + (s.step.empty() ? "" : "   " + qs(s.step)));
        setFont(p, 170);
        y += 210;
        if (s.ok)
            textAt(p, r.left(), y,
                   qs(s.hue + " " + formatPicture(s.valueNumber, "#0.00") + "/" +
                      formatPicture(s.chromaNumber, "#0.00")));
        y += 210;
        if (s.step.empty())
            textAt(p, r.left(), y,
                   QString("L* %1  a* %2  b* %3")
                       .arg(qs(formatPicture(s.lab.l, "##0.00")),
                            qs(formatPicture(s.lab.a, "##0.00")),
                            qs(formatPicture(s.lab.b, "##0.00"))));
        else
            textAt(p, r.left(), y,
                   QString("\u0394E00 %1").arg(qs(formatPicture(s.deltaE00, "##0.00"))));
    }
}

void paintColorChecker(QPainter& p, const ColorChecker& chart) {
    using G = ColorCheckerGeometry;
    p.fillRect(QRectF(0, 0, G::kWidth, G::kHeight), kColorCheckerBackground);
    setFont(p, 200);
    for (const ChartChip& c : chart.patches) {
        const QRectF r = chipRect(c);
        if (c.inReach) {
            p.fillRect(r, chipColor(c));
        } else {
            p.fillRect(r, kColorCheckerDesignFill);
            p.setPen(Qt::white);
            textCentred(p, r, "n/a");
        }
    }
    p.setPen(Qt::white);
    setFont(p, 170);
    p.drawText(QRectF(G::kLeft, G::kHeight - 420, G::kWidth - 2 * G::kLeft, 300),
               Qt::AlignRight | Qt::AlignVCenter, "\u00A9 GretagMacbeth ColorChecker chart");
}

QString chartCaption(const ChartSettings& s, const QDate& date) {
    const int i =
        s.conditions.illuminant >= 0 && s.conditions.illuminant <= 2 ? s.conditions.illuminant : 0;
    QString illuminant =
        QString::fromUtf8(
            kIlluminants[static_cast<std::size_t>(i)].statusCaption.data(),
            static_cast<qsizetype>(kIlluminants[static_cast<std::size_t>(i)].statusCaption.size()))
            .simplified();
    illuminant[0] = illuminant[0].toUpper();
    return QStringLiteral(
               "%1 \u00B7 gamma %2 \u00B7 PWD %3 \u00B7 adapt %4 \u00B7 %5 \u00B7 zul %6")
        .arg(illuminant, qs(s.gamma), s.conditions.pwd ? "on" : "off", s.adapt ? "on" : "off",
             date.toString(Qt::ISODate), ZUL_VERSION);
}

ChartPicture huePagePicture(const HuePage& page, std::optional<int> marked) {
    using G = HuePageGeometry;
    return {kHuePageCaption, QSize(static_cast<int>(G::kWidth), static_cast<int>(G::kHeight)),
            [page, marked](QPainter& p) { paintHuePage(p, page, marked); }, QString()};
}

ChartPicture valuePagePicture(const ValuePage& page, std::optional<QPointF> marked) {
    using G = ValuePageGeometry;
    return {kValuePageCaption, QSize(static_cast<int>(G::kWidth), static_cast<int>(G::kHeight)),
            [page, marked](QPainter& p) { paintValuePage(p, page, marked); }, QString()};
}

ChartPicture tolerancePicture(const ToleranceSet& set, bool blackLines) {
    using G = ToleranceGeometry;
    return {kToleranceCaption, QSize(static_cast<int>(G::kWidth), static_cast<int>(G::kHeight)),
            [set, blackLines](QPainter& p) { paintTolerance(p, set, blackLines); }, QString()};
}

ChartPicture colorCheckerPicture(const ColorChecker& chart) {
    using G = ColorCheckerGeometry;
    return {kColorCheckerCaption, QSize(static_cast<int>(G::kWidth), static_cast<int>(G::kHeight)),
            [chart](QPainter& p) { paintColorChecker(p, chart); }, QString()};
}

} // namespace zul
