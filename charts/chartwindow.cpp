#include "charts/chartwindow.h"

#include "charts/chartpaint.h"

#include <QDate>
#include <QKeyEvent>
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
    setFocusPolicy(Qt::StrongFocus); // a screen reader reaches the chart and its description
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
    // The keyboard's chip, on the screen only (not in prints and exports).
    const std::span<const ChartChip> chips = m_owner.keyboardChips();
    const int focus = m_owner.m_focusChip;
    if (hasFocus() && focus >= 0 && static_cast<std::size_t>(focus) < chips.size()) {
        const ChartChip& c = chips[static_cast<std::size_t>(focus)];
        const double margin = c.half + 40;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 30, Qt::DashLine));
        p.drawRect(QRectF(c.cx - margin, c.cy - margin, 2 * margin, 2 * margin));
    }
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
    m_printButton = new QPushButton("&PRINT", this);
    m_printButton->setObjectName("Command1");
    m_printButton->setToolTip("Print this chart on the default printer");
    connect(m_printButton, &QPushButton::clicked, this, &ChartWindow::print);
    m_saveAsButton = new QPushButton("Save &as\u2026", this);
    m_saveAsButton->setObjectName("saveAs");
    m_saveAsButton->setToolTip("Save this chart as PDF or PNG");
    connect(m_saveAsButton, &QPushButton::clicked, this, &ChartWindow::saveAs);
}

void ChartWindow::setChartFace(const char* name, const QString& caption, const QColor& background,
                               const QColor& text) {
    setObjectName(name);
    setWindowTitle(caption);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background);
    if (text.isValid()) pal.setColor(QPalette::WindowText, text);
    setPalette(pal);
    setAutoFillBackground(true);
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

void ChartWindow::moveChipFocus(int dx, int dy) {
    const std::span<const ChartChip> chips = keyboardChips();
    m_focusChip = nextChip(chips, m_focusChip, dx, dy);
    if (m_focusChip < 0) return;
    const ChartChip& c = chips[static_cast<std::size_t>(m_focusChip)];
    chipFocused(c);
    m_canvas->setAccessibleDescription(QString::fromStdString(c.notation));
    m_canvas->update();
}

void ChartWindow::keyPressEvent(QKeyEvent* event) {
    const std::span<const ChartChip> chips = keyboardChips();
    if (chips.empty()) return QWidget::keyPressEvent(event);
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
        if (m_focusChip >= 0 && static_cast<std::size_t>(m_focusChip) < chips.size())
            chipChosen(chips[static_cast<std::size_t>(m_focusChip)]);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
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
