#include "charts/huepagewindow.h"

#include "charts/chartpaint.h"
#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace zul {

QString chipReadout(const ChartChip& chip, int illuminant) {
    if (chip.element == 9 && chip.notation == "N 0/0") return "N 0/0  black";
    if (!chip.inReach)
        return QString::fromStdString(chip.notation) + "  beyond the renotation data";
    const Lab lab = chipLab(chip, illuminant);
    auto f = [](double v, const char* pic) {
        return QString::fromStdString(formatPicture(v, pic));
    };
    return QString("%1   xyY %2 %3 %4   L*a*b* %5 %6 %7   RGB %8 %9 %10   %11")
        .arg(QString::fromStdString(chip.notation), f(chip.x, "0.0000"), f(chip.y, "0.0000"),
             f(chip.xyz.y, "##0.00"), f(lab.l, "##0.00"), f(lab.a, "##0.00"), f(lab.b, "##0.00"))
        .arg(chip.rgb[0])
        .arg(chip.rgb[1])
        .arg(chip.rgb[2])
        .arg(chip.outOfRange ? "out of RGB gamut" : "in gamut");
}

HuePageWindow::HuePageWindow(Workbench& workbench, ChartOutput output, QWidget* parent)
    : ChartWindow(workbench, std::move(output), parent) {
    setChartFace("book", kHuePageCaption, kHuePageBackground);

    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName("VScroll1");
    m_scroll->setRange(0, 100);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(10);
    connect(m_scroll, &QScrollBar::valueChanged, this, &HuePageWindow::scrolled);
    m_scroll->setAccessibleName("Hue");
    m_scroll->setToolTip("Hue of the page");

    m_info = new QLabel(this);
    m_info->setObjectName("info");
    m_info->setMinimumWidth(200);

    auto* grid = new QGridLayout(this);
    m_canvas->setAccessibleName("Hue page");
    grid->addWidget(m_canvas, 0, 0);
    grid->addWidget(m_scroll, 0, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_info, 1);
    row->addWidget(m_saveAsButton);
    row->addWidget(m_printButton);
    grid->addLayout(row, 1, 0, 1, 2);
    resize(860, 620);

    connect(&workbench, &Workbench::huePageRefresh, this, &ChartWindow::requestRefresh);
}

QSize HuePageWindow::designSize() const {
    return QSize(static_cast<int>(HuePageGeometry::kWidth),
                 static_cast<int>(HuePageGeometry::kHeight));
}

bool HuePageWindow::fillbook() {
    std::optional<HuePage> page = zul::fillbook(m_workbench.text(Field::Hue).toStdString(),
                                                m_workbench.table(), chartSettings(m_workbench));
    if (!page) return false;
    m_page = std::move(page);
    if (focusedChip() < 0)
        m_canvas->setAccessibleDescription(QStringLiteral("Hue %1: chips by value and chroma")
                                               .arg(QString::fromStdString(m_page->hueCaption)));
    m_scrollGuard = true;
    m_scroll->setValue(m_page->scroll);
    m_scrollGuard = false;
    m_canvas->update();
    return true;
}

std::optional<int> HuePageWindow::markedElement() const {
    if (!m_page) return std::nullopt;
    try {
        const double v = roundHalfEven(parseStrict(m_workbench.text(Field::Value).toStdString()));
        const double c =
            2 * roundHalfEven(parseStrict(m_workbench.text(Field::Chroma).toStdString()) / 2);
        if (v < 1 || v > 9 || c < 0 || c > 28) return std::nullopt;
        return static_cast<int>(5 * c + 9 - v);
    } catch (const Error&) {
        return std::nullopt;
    }
}

void HuePageWindow::paintChart(QPainter& p) {
    if (m_page) {
        paintHuePage(p, *m_page, markedElement());
    } else {
        p.fillRect(QRectF(0, 0, HuePageGeometry::kWidth, HuePageGeometry::kHeight),
                   kHuePageBackground);
    }
}

void HuePageWindow::scrolled(int position) {
    if (m_scrollGuard) return;
    m_workbench.setText(Field::Hue, QString::fromStdString(hconvert(static_cast<float>(position))));
    emit m_workbench.changed();
    fillbook();
}

void HuePageWindow::chartPressed(const QPointF& at) {
    if (!m_page) return;
    const ChartChip* chip = m_page->chipAt(at.x(), at.y());
    if (!chip || !chip->inReach) return; // background, an empty slot or a chip beyond the data
    if (chip->element == 9) { // the black chip: its RGB fills the fields, nothing converts
        const auto [r, g, b] = chip->rgb;
        m_workbench.swatchPressed(r, g, b);
        return;
    }
    enterChip(m_workbench, *chip);
}

void HuePageWindow::chartHovered(const QPointF& at) {
    if (!m_page) return;
    const ChartChip* chip = m_page->chipAt(at.x(), at.y());
    if (!chip) return;
    m_info->setText(chipReadout(*chip, m_workbench.illuminant()));
}

} // namespace zul
