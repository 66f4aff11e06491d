#pragma once
// A quality-control report: the standard, the tolerance, the samples with their differences and
// verdicts; its CSV table, its plots (a*b* around the standard, L* beside it, each with the
// tolerance drawn) on any paint device, and the whole report as a PDF.
#include "qc/tolerance.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace zul {

struct QcSample {
    std::vector<std::string> ids; // the sample's identifying fields
    std::optional<QcColour> colour;
    std::string error; // why there is no colour
    QcResult result;
};

struct QcReport {
    std::string standardName; // as typed or chosen: "5R 4/14", "palette entry 3"
    QcColour standard;
    QcTolerance tolerance;
    std::string conditions; // illuminant and observer, adaptation
    std::vector<std::string> idNames = {"id"};
    std::vector<QcSample> samples;

    // Judges every sample that has a colour against the standard.
    void evaluateAll();
    int count(QcVerdict v) const;
    int failedReadings() const;
};

// The CSV header, the copied ID names first:
// id,L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict
std::string qcHeader(const std::vector<std::string>& idNames, char delimiter = ',');
// One sample's row (line break included); numbers with two decimals (a decimal comma with ';').
// A sample without a colour has empty numbers and "ERROR: reason" as its verdict.
void appendQcRow(std::string& out, const QcSample& s, char delimiter = ',');
std::string qcCsv(const QcReport& r, char delimiter = ',');

// The colour a verdict is drawn in.
QColor verdictColour(QcVerdict v);

// The a*b* plane around the standard: the samples' Δa*, Δb* as dots in their verdict colours,
// the tolerance's contour at the standard's lightness, axes labelled with the directions.
void paintAbPlot(QPainter& p, const QRectF& area, const QcReport& r);
// The lightness bar: ΔL* of the samples against the lightness tolerance (the limit at Δa* =
// Δb* = 0).
void paintLightnessBar(QPainter& p, const QRectF& area, const QcReport& r);

// How far the tolerance's formula reaches from the standard in a*b* at `angle` (radians) and
// along L* (sign of `up`), by bisection; the contour the plots draw.
double toleranceRadius(const QcReport& r, double angle);
double lightnessReach(const QcReport& r, bool up);

// The report (conditions, date, standard, table and plots) as an A4 PDF; false with `error`
// when the file cannot be written.
bool writeQcPdf(const QString& fileName, const QcReport& r, const QString& date, QString* error);

} // namespace zul
