#pragma once
// Reflectance curves overlaid: %R upwards, wavelength across, one colour per curve and a
// legend. One painter for the widget, images and the command line.
#include "spectral/spectrumfile.h"

#include <QColor>
#include <QWidget>

#include <vector>

class QPainter;

namespace zul::spectral {

// The colour of the curve at `index` (repeats after eight).
QColor curveColour(int index);

// Plot area inside `area` (the axes' box): wavelength 360..780 nm, 0..100 %R (more when a
// curve rises above 100, in steps of 20).
struct CurveAxes {
    QRectF plot;
    double topPercent = 100;
    QPointF at(double nm, double percent) const;
};
CurveAxes curveAxes(const QRectF& area, const std::vector<NamedSpectrum>& curves);

void paintCurves(QPainter& p, const QRectF& area, const std::vector<NamedSpectrum>& curves);

class CurveChart : public QWidget {
public:
    explicit CurveChart(QWidget* parent = nullptr);
    void setCurves(std::vector<NamedSpectrum> curves);
    const std::vector<NamedSpectrum>& curves() const { return m_curves; }
    QSize sizeHint() const override { return {520, 320}; }
    QSize minimumSizeHint() const override { return {260, 160}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<NamedSpectrum> m_curves;
};

} // namespace zul::spectral
