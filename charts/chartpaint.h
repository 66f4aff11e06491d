#pragma once
// One paint routine per chart, drawing the model in design units (twips) on any painter: the
// window, the printer, PDF and PNG export and the tests.
#include "charts/chartpicture.h"
#include "charts/colorchecker.h"
#include "charts/huepage.h"
#include "charts/tolerance.h"
#include "charts/valuepage.h"

#include <QColor>
#include <QDate>
#include <QPen>

#include <optional>

class QPainter;

namespace zul {

inline const QColor kHuePageBackground(128, 128, 128);
inline const QColor kDesignFill(192, 192, 192);
inline const QColor kValuePageBackground(192, 192, 192);
inline const QColor kToleranceBackground(192, 192, 192);
inline const QColor kColorCheckerBackground(71, 67, 69);
inline const QColor kColorCheckerDesignFill(128, 128, 128);

QColor chipColor(const ChartChip& chip);

// Narrowest dotted outline, twips: 0.75 pt on a page drawn at the design's size.
inline constexpr double kMinOutlineTwips = 15;
QPen outlinePen(const QPainter& p, const QColor& colour, Qt::PenStyle style);

// `marked`: element of the current colour's chip, drawn with a white frame inside its outline.
void paintHuePage(QPainter& p, const HuePage& page, std::optional<int> marked = std::nullopt);
// `marked`: design point of the current colour (ringed).
void paintValuePage(QPainter& p, const ValuePage& page,
                    std::optional<QPointF> marked = std::nullopt);
void paintTolerance(QPainter& p, const ToleranceSet& set, bool blackLines);
void paintColorChecker(QPainter& p, const ColorChecker& chart);

ChartPicture huePagePicture(const HuePage& page, std::optional<int> marked = std::nullopt);
ChartPicture valuePagePicture(const ValuePage& page, std::optional<QPointF> marked = std::nullopt);
ChartPicture tolerancePicture(const ToleranceSet& set, bool blackLines);
ChartPicture colorCheckerPicture(const ColorChecker& chart);

// The caption line of a chart's pictures, PDFs and prints: illuminant and observer, gamma, PWD
// and adapt state, the date and the program with its version.
QString chartCaption(const ChartSettings& settings, const QDate& date);

// Captions of the windows.
inline constexpr const char* kHuePageCaption = "Munsell Book of Color";
inline constexpr const char* kValuePageCaption = "Munsell Value Page";
inline constexpr const char* kToleranceCaption = "Munsell Color Tolerance Set";
inline const QString kColorCheckerCaption = QStringLiteral("The Macbeth ColorChecker\u00AE");

} // namespace zul
