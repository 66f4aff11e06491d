#include "charts/chartwindow.h"

#include "charts/chartpaint.h"

#include <QDate>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace zul {

ChartSettings chartSettings(const Workbench& workbench) {
    return {workbench.conditions(), workbench.rgbSettings(), workbench.adaptEntries(),
            workbench.text(Field::Gamma).toStdString()};
}

ChartCanvas::ChartCanvas(ChartWindow& owner) : QWidget(&owner), m_owner(owner) {
    setObjectName("canvas");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize ChartCanvas::sizeHint() const {
    const QSize d = m_owner.designSize();
    return QSize(static_cast<int>(d.width() / kTwipsPerPixel),
                 static_cast<int>(d.height() / kTwipsPerPixel));
}

bool ChartCanvas::toDesign(const QPoint& pos, QPointF& design) const {
    const QSize d = m_owner.designSize();
    const QRect vp = fittedViewport(d, rect());
    if (vp.isEmpty() || !vp.contains(pos)) return false;
    design = QPointF((pos.x() + 0.5 - vp.x()) * d.width() / vp.width(),
                     (pos.y() + 0.5 - vp.y()) * d.height() / vp.height());
    return true;
}

void ChartCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSize d = m_owner.designSize();
    p.setViewport(fittedViewport(d, rect()));
    p.setWindow(QRect(QPoint(0, 0), d));
    p.setClipRect(QRect(QPoint(0, 0), d));
    m_owner.paintChart(p);
    ++m_owner.m_paints;
}

void ChartCanvas::mousePressEvent(QMouseEvent* e) {
    QPointF d;
    if (e->button() == Qt::LeftButton && toDesign(e->position().toPoint(), d))
        m_owner.chartPressed(d);
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* e) {
    QPointF d;
    if (toDesign(e->position().toPoint(), d)) m_owner.chartHovered(d);
}

ChartWindow::ChartWindow(Workbench& workbench, ChartOutput output, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workbench(workbench), m_output(std::move(output)) {
    m_canvas = new ChartCanvas(*this);
    m_printButton = new QPushButton("PRINT", this);
    m_printButton->setObjectName("Command1");
    connect(m_printButton, &QPushButton::clicked, this, &ChartWindow::print);
    m_saveAsButton = new QPushButton("Save as\u2026", this);
    m_saveAsButton->setObjectName("saveAs");
    connect(m_saveAsButton, &QPushButton::clicked, this, &ChartWindow::saveAs);
}

ChartPicture ChartWindow::picture() {
    return {windowTitle(), designSize(), [this](QPainter& p) { paintChart(p); },
            chartCaption(chartSettings(m_workbench), QDate::currentDate())};
}

void ChartWindow::requestRefresh() {
    m_pending = true;
    if (m_armed) return;
    m_armed = true;
    QTimer::singleShot(0, this, [this] {
        m_armed = false;
        flushRefresh();
    });
}

void ChartWindow::flushRefresh() {
    if (!m_pending) return;
    m_pending = false;
    ++m_recomputes;
    // A chart that cannot be computed keeps what it shows; the main chain is never disturbed.
    try {
        recompute();
    } catch (...) {
    }
    m_canvas->update();
}

void ChartWindow::print() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    bool printed = false;
    try {
        printed = m_output.print && m_output.print(picture());
    } catch (...) {
        printed = false;
    }
    if (!printed) m_workbench.dialogs().message("Printer not Found");
}

void ChartWindow::saveAs() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    saveChartAs(m_workbench.dialogs(), picture());
}

} // namespace zul
