#include "qc/report.h"
#include "records/atomicfile.h"

#include "records/csvline.h"
#include "text/numtext.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zul {

namespace {

constexpr const char* kResultColumns =
    "L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict\n";
constexpr int kNumberColumns = 13;

void appendNumber(std::string& out, double v, char delimiter) {
    std::string text = formatPicture(v, "0.00");
    if (delimiter == ';') std::replace(text.begin(), text.end(), '.', ',');
    out += text;
    out += delimiter;
}

// ΔE of the tolerance's formula from the standard to `sample`.
double judgedDifference(const QcReport& r, const LabD& sample) {
    return evaluate(r.standard, {sample}, r.tolerance).judged;
}

// The distance along `step` (a unit direction in CIELAB) at which the formula reaches the limit.
double reach(const QcReport& r, double dl, double da, double db) {
    const LabD s = r.standard.lab;
    auto at = [&](double t) {
        return judgedDifference(r, {s.l + t * dl, s.a + t * da, s.b + t * db});
    };
    double hi = 1;
    while (at(hi) < r.tolerance.limit && hi < 1e4)
        hi *= 2;
    double lo = 0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (at(mid) < r.tolerance.limit ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

void QcReport::evaluateAll() {
    for (QcSample& s : samples)
        if (s.colour) s.result = evaluate(standard, *s.colour, tolerance);
}

int QcReport::count(QcVerdict v) const {
    return static_cast<int>(std::count_if(samples.begin(), samples.end(), [v](const QcSample& s) {
        return s.colour && s.result.verdict == v;
    }));
}

int QcReport::failedReadings() const {
    return static_cast<int>(
        std::count_if(samples.begin(), samples.end(), [](const QcSample& s) { return !s.colour; }));
}

std::string qcHeader(const std::vector<std::string>& idNames, char delimiter) {
    std::string out;
    for (const std::string& name : idNames) {
        appendCsvField(out, name, delimiter);
        out += delimiter;
    }
    std::string results = kResultColumns;
    std::replace(results.begin(), results.end(), ',', delimiter);
    return out + results;
}

void appendQcRow(std::string& out, const QcSample& s, char delimiter) {
    for (const std::string& id : s.ids) {
        appendCsvField(out, id, delimiter);
        out += delimiter;
    }
    if (!s.colour) {
        out.append(kNumberColumns, delimiter);
        appendCsvField(out, "ERROR: " + s.error, delimiter);
        out += '\n';
        return;
    }
    const QcResult& r = s.result;
    for (double v : {s.colour->lab.l, s.colour->lab.a, s.colour->lab.b, r.lab.dL, r.lab.dC,
                     r.lab.dH, r.lab.dE, r.de94.dE, r.cmc.dE, r.de00.dE})
        appendNumber(out, v, delimiter);
    if (r.hasMunsell) {
        for (double v : {r.munsell.dHue, r.munsell.dValue, r.munsell.dChroma})
            appendNumber(out, v, delimiter);
    } else {
        out.append(3, delimiter);
    }
    out += verdictText(r.verdict);
    out += '\n';
}

std::string qcCsv(const QcReport& r, char delimiter) {
    std::string out = qcHeader(r.idNames, delimiter);
    for (const QcSample& s : r.samples)
        appendQcRow(out, s, delimiter);
    return out;
}

QColor verdictColour(QcVerdict v) {
    switch (v) {
    case QcVerdict::Pass:
        return QColor(0, 150, 60);
    case QcVerdict::Warn:
        return QColor(220, 150, 0);
    case QcVerdict::Fail:
        return QColor(210, 30, 30);
    }
    return Qt::black;
}

double toleranceRadius(const QcReport& r, double angle) {
    return reach(r, 0, std::cos(angle), std::sin(angle));
}

double lightnessReach(const QcReport& r, bool up) {
    return reach(r, up ? 1 : -1, 0, 0);
}

void paintAbPlot(QPainter& p, const QRectF& area, const QcReport& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, Qt::white);
    constexpr int kSteps = 120;
    std::vector<QPointF> contour;
    double extent = 0;
    for (int i = 0; i < kSteps; ++i) {
        const double angle = 2 * std::numbers::pi * i / kSteps;
        const double radius = toleranceRadius(r, angle);
        contour.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
        extent = std::max(extent, radius);
    }
    for (const QcSample& s : r.samples)
        if (s.colour)
            extent = std::max({extent, std::abs(s.result.lab.da), std::abs(s.result.lab.db)});
    extent *= 1.15;
    const double side = std::min(area.width(), area.height()) - 40;
    const QPointF centre = area.center();
    const double scale = side / 2 / extent;
    auto at = [&](double da, double db) {
        return QPointF(centre.x() + da * scale, centre.y() - db * scale);
    };

    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.drawLine(at(-extent, 0), at(extent, 0));
    p.drawLine(at(0, -extent), at(0, extent));
    p.setPen(Qt::black);
    const QFontMetricsF fm(p.font());
    p.drawText(at(extent, 0) + QPointF(-fm.horizontalAdvance("+a* redder"), -4), "+a* redder");
    p.drawText(at(-extent, 0) + QPointF(2, -4), "greener");
    p.drawText(at(0, extent) + QPointF(4, fm.ascent()), "+b* yellower");
    p.drawText(at(0, -extent) + QPointF(4, -4), "bluer");

    QPainterPath path;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const QPointF q = at(contour[i].x(), contour[i].y());
        if (i == 0)
            path.moveTo(q);
        else
            path.lineTo(q);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(40, 90, 200), 1.5));
    p.drawPath(path);
    // The warning contour: the tolerance contour scaled by the warning fraction (every formula
    // grows linearly along a ray from the standard).
    p.setPen(QPen(QColor(40, 90, 200), 1, Qt::DashLine));
    QPainterPath warn;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const QPointF q = at(contour[i].x() * r.tolerance.warn, contour[i].y() * r.tolerance.warn);
        if (i == 0)
            warn.moveTo(q);
        else
            warn.lineTo(q);
    }
    warn.closeSubpath();
    p.drawPath(warn);

    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawEllipse(at(0, 0), 3, 3);
    for (const QcSample& s : r.samples) {
        if (!s.colour) continue;
        p.setPen(QPen(Qt::black, 0.5));
        p.setBrush(verdictColour(s.result.verdict));
        p.drawEllipse(at(s.result.lab.da, s.result.lab.db), 4.5, 4.5);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawText(area.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString("\u0394a* \u0394b*   " +
                                      qcFormulaCaption(r.tolerance.formula, r.tolerance.lc) +
                                      " \u2264 " + plainText(r.tolerance.limit)));
    p.restore();
}

void paintLightnessBar(QPainter& p, const QRectF& area, const QcReport& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, Qt::white);
    const double up = lightnessReach(r, true), down = lightnessReach(r, false);
    double extent = std::max(up, down);
    for (const QcSample& s : r.samples)
        if (s.colour) extent = std::max(extent, std::abs(s.result.lab.dL));
    extent *= 1.15;
    const QFontMetricsF fm(p.font());
    const double top = area.top() + fm.height() + 6, bottom = area.bottom() - fm.height() - 6;
    const double mid = (top + bottom) / 2;
    const double scale = (bottom - top) / 2 / extent;
    const double x = area.center().x();
    const double half = std::min(18.0, area.width() / 4);
    auto y = [&](double dl) { return mid - dl * scale; };

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 230, 250));
    p.drawRect(QRectF(QPointF(x - half, y(up)), QPointF(x + half, y(-down))));
    p.setPen(QPen(QColor(40, 90, 200), 1.5));
    p.drawLine(QPointF(x - half, y(up)), QPointF(x + half, y(up)));
    p.drawLine(QPointF(x - half, y(-down)), QPointF(x + half, y(-down)));
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    p.setPen(Qt::black);
    p.drawLine(QPointF(x - half - 4, mid), QPointF(x + half + 4, mid));
    p.drawText(QRectF(area.left(), area.top(), area.width(), fm.height() + 4), Qt::AlignCenter,
               "\u0394L* lighter");
    p.drawText(QRectF(area.left(), bottom + 2, area.width(), fm.height() + 4), Qt::AlignCenter,
               "darker");
    for (const QcSample& s : r.samples) {
        if (!s.colour) continue;
        p.setPen(QPen(verdictColour(s.result.verdict), 2.5));
        p.drawLine(QPointF(x - half + 3, y(s.result.lab.dL)),
                   QPointF(x + half - 3, y(s.result.lab.dL)));
    }
    p.restore();
}

namespace {
bool paintQcPdf(QIODevice& device, const QcReport& r, const QString& date, QString* error);
} // namespace

bool writeQcPdf(const QString& fileName, const QcReport& r, const QString& date, QString* error) {
    // Written as every whole-file output: a temporary file renamed over the target, so a
    // failure or a kill leaves the old report, and a planted link is refused.
    AtomicFile file(fileName);
    if (!file.open()) {
        if (error) *error = file.reason();
        return false;
    }
    if (!paintQcPdf(file.device(), r, date, error)) return false;
    const QString failure = file.commit();
    if (!failure.isEmpty() && error) *error = file.reason();
    return failure.isEmpty();
}

namespace {
bool paintQcPdf(QIODevice& device, const QcReport& r, const QString& date, QString* error) {
    QPdfWriter pdf(&device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(96);
    pdf.setTitle("Quality Control");
    pdf.setCreator("ZUL");
    QPainter p(&pdf);
    if (!p.isActive()) {
        if (error) *error = "the PDF could not be started";
        return false;
    }
    const QRectF page(0, 0, pdf.width(), pdf.height());
    QFont font = p.font();
    font.setPointSizeF(9);
    p.setFont(font);
    const QFontMetricsF fm(font);
    double y = 0;
    QFont title = font;
    title.setPointSizeF(14);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QPointF(0, y + QFontMetricsF(title).ascent()), "Quality Control");
    y += QFontMetricsF(title).height() + 6;
    p.setFont(font);
    const QcTolerance& t = r.tolerance;
    const QStringList head = {
        QString("Date: %1").arg(date),
        QString("Standard: %1   L* %2  a* %3  b* %4")
            .arg(QString::fromStdString(r.standardName))
            .arg(QString::fromStdString(formatPicture(r.standard.lab.l, "0.00")))
            .arg(QString::fromStdString(formatPicture(r.standard.lab.a, "0.00")))
            .arg(QString::fromStdString(formatPicture(r.standard.lab.b, "0.00"))),
        QString("Conditions: %1").arg(QString::fromStdString(r.conditions)),
        QString::fromStdString("Tolerance: " + qcFormulaCaption(t.formula, t.lc) + " " +
                               plainText(t.limit) + ", warning at " + plainText(t.warn * 100) +
                               " %"),
        QString("Samples: %1   PASS %2   WARN %3   FAIL %4   not read %5")
            .arg(r.samples.size())
            .arg(r.count(QcVerdict::Pass))
            .arg(r.count(QcVerdict::Warn))
            .arg(r.count(QcVerdict::Fail))
            .arg(r.failedReadings()),
    };
    for (const QString& line : head) {
        p.drawText(QPointF(0, y + fm.ascent()), line);
        y += fm.height();
    }
    y += 8;
    const double plot = std::min(page.width() * 0.6, 340.0);
    paintAbPlot(p, QRectF(0, y, plot, plot), r);
    paintLightnessBar(p, QRectF(plot + 20, y, 90, plot), r);
    y += plot + 12;

    // The table: the CSV's columns, one line a sample, on as many pages as it takes.
    std::vector<std::string> columns = r.idNames;
    for (const char* c : {"L*", "a*", "b*", "dL*", "dC*", "dH*", "dE76", "dE94", "dECMC", "dE00",
                          "dHue", "dValue", "dChroma", "verdict"})
        columns.push_back(c);
    const double width = page.width() / static_cast<double>(columns.size());
    auto row = [&](const std::vector<std::string>& cells, const QColor& last) {
        if (y + fm.height() > page.height()) {
            pdf.newPage();
            y = 0;
        }
        for (std::size_t i = 0; i < cells.size() && i < columns.size(); ++i) {
            p.setPen(i + 1 == columns.size() ? last : Qt::black);
            p.drawText(QRectF(i * width, y, width - 2, fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter,
                       fm.elidedText(QString::fromStdString(cells[i]), Qt::ElideRight, width - 2));
        }
        y += fm.height();
    };
    row(columns, Qt::black);
    for (const QcSample& s : r.samples) {
        std::string line;
        appendQcRow(line, s);
        line.pop_back();
        std::vector<std::string> cells;
        splitCsvLine(line, cells);
        row(cells, s.colour ? verdictColour(s.result.verdict) : Qt::black);
    }
    p.end();
    return true;
}
} // namespace

} // namespace zul
