#pragma once
// A chart as something to draw: its design canvas (twips) and the routine that paints it in
// those units. The window, the printer, PDF and PNG export and the tests all draw through it.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace zul {

class Dialogs;

struct ChartPicture {
    QString title;
    QSize design; // twips
    std::function<void(QPainter&)> paint;
    // One line under the chart in pictures, PDFs and prints (the conditions it was drawn under);
    // none when empty.
    QString caption;
};

// Height of the caption line's strip below the design, twips.
inline constexpr int kCaptionStrip = 300;
// The design with the caption's strip, what pictures and pages are sized to.
QSize pageDesign(const ChartPicture& picture);

// Screen pixels at scale 1: 15 twips a pixel (96 dots per inch).
inline constexpr double kTwipsPerPixel = 15;

// The largest rectangle of the design's aspect centred in `target`.
QRect fittedViewport(QSize design, const QRect& target);
// Paints the picture into `target` of the painter's current coordinates, aspect preserved.
void renderPicture(QPainter& painter, const ChartPicture& picture, const QRect& target);
// Pixel size of the picture at `scale` (1 = screen size).
QSize pictureSize(const ChartPicture& picture, double scale);
// The picture as an image at `scale`, with device pixel ratio `dpr` (pixels = size * dpr).
QImage renderImage(const ChartPicture& picture, double scale, qreal dpr = 1);

// Export; each returns an empty string on success, otherwise the reason. The file is written
// whole or not at all.
QString saveChartPng(const QString& fileName, const ChartPicture& picture, double scale);
QString saveChartPdf(const QString& fileName, const ChartPicture& picture); // vector page

// "Save as…": asks for a file (PDF or PNG) and, for PNG, the scale; reports a failure.
void saveChartAs(Dialogs& dialogs, const ChartPicture& picture);

} // namespace zul
