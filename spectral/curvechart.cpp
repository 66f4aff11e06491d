#include "spectral/curvechart.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace zul::spectral {

namespace {
constexpr double kFirstNm = 360, kLastNm = 780;
} // namespace

QColor curveColour(int index) {
    static const QColor colours[] = {QColor(200, 30, 30), QColor(30, 90, 200),  QColor(20, 150, 60),
                                     QColor(220, 130, 0), QColor(140, 40, 170), QColor(0, 150, 160),
                                     QColor(120, 80, 40), QColor(90, 90, 90)};
    return colours[index % 8];
}

QPointF CurveAxes::at(double nm, double percent) const {
    return {plot.left() + (nm - kFirstNm) / (kLastNm - kFirstNm) * plot.width(),
            plot.bottom() - percent / topPercent * plot.height()};
}

CurveAxes curveAxes(const QRectF& area, const std::vector<NamedSpectrum>& curves) {
    double highest = 100;
    for (const NamedSpectrum& c : curves)
        for (double v : c.spectrum.values)
            if (std::isfinite(v)) highest = std::max(highest, v);
    CurveAxes a;
    a.topPercent = std::ceil(highest / 20) * 20;
    // Room for the %R labels on the left and the wavelength labels below.
    a.plot = area.adjusted(44, 12, -12, -36);
    return a;
}

void paintCurves(QPainter& p, const QRectF& area, const std::vector<NamedSpectrum>& curves) {
    p.save();
    p.fillRect(area, Qt::white);
    const CurveAxes a = curveAxes(area, curves);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(225, 225, 225));
    for (double nm = 400; nm <= kLastNm; nm += 50)
        p.drawLine(a.at(nm, 0), a.at(nm, a.topPercent));
    for (double r = 20; r <= a.topPercent; r += 20)
        p.drawLine(a.at(kFirstNm, r), a.at(kLastNm, r));
    p.setPen(Qt::black);
    p.drawRect(a.plot);
    const QFontMetricsF fm(p.font());
    for (double nm = 400; nm <= kLastNm; nm += 50) {
        const QString t = QString::number(nm);
        const QPointF q = a.at(nm, 0);
        p.drawText(QPointF(q.x() - fm.horizontalAdvance(t) / 2, q.y() + fm.ascent() + 3), t);
    }
    for (double r = 0; r <= a.topPercent; r += 20) {
        const QString t = QString::number(r);
        const QPointF q = a.at(kFirstNm, r);
        p.drawText(QPointF(q.x() - fm.horizontalAdvance(t) - 4, q.y() + fm.ascent() / 2 - 1), t);
    }
    const QString xTitle = "Wavelength (nm)";
    p.drawText(QPointF(a.plot.center().x() - fm.horizontalAdvance(xTitle) / 2,
                       a.plot.bottom() + 2 * fm.height() + 2),
               xTitle);
    p.drawText(QPointF(area.left() + 2, a.plot.top() - 1), "%R");

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(a.plot);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const Spectrum& s = curves[i].spectrum;
        QPainterPath path;
        bool started = false;
        for (std::size_t k = 0; k < s.values.size(); ++k) {
            if (!std::isfinite(s.values[k])) continue;
            const QPointF q = a.at(s.start + s.interval * static_cast<double>(k), s.values[k]);
            if (started)
                path.lineTo(q);
            else
                path.moveTo(q);
            started = true;
        }
        p.setPen(QPen(curveColour(static_cast<int>(i)), 2));
        p.drawPath(path);
    }
    p.setClipping(false);

    // Legend in the top left corner of the plot.
    double y = a.plot.top() + 6;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const QString name = QString::fromStdString(curves[i].name);
        p.setPen(QPen(curveColour(static_cast<int>(i)), 3));
        p.drawLine(QPointF(a.plot.left() + 8, y + fm.height() / 2),
                   QPointF(a.plot.left() + 26, y + fm.height() / 2));
        p.setPen(Qt::black);
        p.drawText(QPointF(a.plot.left() + 32, y + fm.ascent()), name);
        y += fm.height() + 2;
    }
    p.restore();
}

CurveChart::CurveChart(QWidget* parent) : QWidget(parent) {
    setObjectName("CurveChart");
    setAccessibleName("Reflectance curves");
    setAccessibleDescription("No curves");
}

void CurveChart::setCurves(std::vector<NamedSpectrum> curves) {
    m_curves = std::move(curves);
    // What the chart shows, for a screen reader: the curves in the legend's order.
    QStringList names;
    for (const NamedSpectrum& c : m_curves)
        names << QString::fromStdString(c.name);
    setAccessibleDescription(names.isEmpty() ? QStringLiteral("No curves")
                                             : QStringLiteral("%1 %2 over 360 to 780 nm: %3")
                                                   .arg(names.size())
                                                   .arg(names.size() == 1 ? "curve" : "curves")
                                                   .arg(names.join(", ")));
    update();
}

void CurveChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCurves(p, rect(), m_curves);
}

} // namespace zul::spectral
