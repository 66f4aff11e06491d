#include "charts/huepagewindow.h"

#include "charts/chartpaint.h"
#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

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
    setObjectName("book");
    setWindowTitle(kHuePageCaption);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kHuePageBackground);
    setPalette(pal);
    setAutoFillBackground(true);

    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName("VScroll1");
    m_scroll->setRange(0, 100);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(10);
    connect(m_scroll, &QScrollBar::valueChanged, this, &HuePageWindow::scrolled);

    m_info = new QLabel(this);
    m_info->setObjectName("info");
    m_info->setMinimumWidth(200);

    auto* grid = new QGridLayout(this);
    m_canvas->setFocusPolicy(Qt::StrongFocus);
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
        // The keyboard's chip, on the screen only (not in prints and exports).
        if (m_focusChip >= 0 && p.device() == m_canvas && m_canvas->hasFocus()) {
            const ChartChip& c = m_page->chips[static_cast<std::size_t>(m_focusChip)];
            const double margin = c.half + 40;
            p.save();
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 30, Qt::DashLine));
            p.drawRect(QRectF(c.cx - margin, c.cy - margin, 2 * margin, 2 * margin));
            p.restore();
        }
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

void HuePageWindow::moveChipFocus(int dx, int dy) {
    if (!m_page) return;
    const auto& chips = m_page->chips;
    if (m_focusChip < 0) {
        // The first arrow lands on the first chip painted.
        for (const ChartChip& c : chips)
            if (c.painted) {
                m_focusChip = c.element;
                break;
            }
    } else {
        // The nearest painted chip in the arrow's direction, counting sideways distance twice.
        const ChartChip& from = chips[static_cast<std::size_t>(m_focusChip)];
        double best = 0;
        int chosen = -1;
        for (const ChartChip& c : chips) {
            if (!c.painted) continue;
            const double along = (c.cx - from.cx) * dx + (c.cy - from.cy) * dy;
            if (along <= 1) continue;
            const double across = std::fabs((c.cx - from.cx) * dy - (c.cy - from.cy) * dx);
            const double cost = along + 2 * across;
            if (chosen < 0 || cost < best) {
                best = cost;
                chosen = c.element;
            }
        }
        if (chosen >= 0) m_focusChip = chosen;
    }
    if (m_focusChip < 0) return;
    const ChartChip& c = chips[static_cast<std::size_t>(m_focusChip)];
    m_info->setText(chipReadout(c, m_workbench.illuminant()));
    m_canvas->setAccessibleDescription(QString::fromStdString(c.notation));
    m_canvas->update();
}

void HuePageWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return moveChipFocus(-1, 0);
    case Qt::Key_Right:
        return moveChipFocus(1, 0);
    case Qt::Key_Up:
        return moveChipFocus(0, -1);
    case Qt::Key_Down:
        return moveChipFocus(0, 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_page && m_focusChip >= 0) {
            const ChartChip& c = m_page->chips[static_cast<std::size_t>(m_focusChip)];
            chartPressed(QPointF(c.cx, c.cy));
        }
        return;
    default:
        ChartWindow::keyPressEvent(event);
    }
}

void HuePageWindow::chartHovered(const QPointF& at) {
    if (!m_page) return;
    const ChartChip* chip = m_page->chipAt(at.x(), at.y());
    if (!chip) return;
    m_info->setText(chipReadout(*chip, m_workbench.illuminant()));
}

} // namespace zul
