#include "viewer/paletteview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace zul {

PaletteView::PaletteView(QWidget* parent)
    : QWidget(parent), m_table(std::make_shared<PointTable>()) {
    setObjectName("Picture1");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_options.font = viewFont();
}

void PaletteView::changed() {
    m_dirty = true;
    update();
}

void PaletteView::setTable(std::shared_ptr<const PointTable> table) {
    m_table = table ? std::move(table) : std::make_shared<PointTable>();
    changed();
}

void PaletteView::setBars(const ViewBars& bars) {
    const bool same = bars.rotation == m_bars.rotation && bars.tilt == m_bars.tilt &&
                      bars.zoom == m_bars.zoom && bars.panX == m_bars.panX &&
                      bars.panY == m_bars.panY;
    m_bars = bars;
    if (!same) changed();
}

void PaletteView::setSelected(long entry) {
    if (entry == m_options.selected) return;
    m_options.selected = entry;
    changed();
}

void PaletteView::setNumbers(bool on) {
    if (on == m_options.numbers) return;
    m_options.numbers = on;
    changed();
}

const QImage& PaletteView::frame() {
    if (m_image.size() != size()) {
        m_image = QImage(size(), QImage::Format_RGB32);
        m_dirty = true;
    }
    if (m_dirty && !m_image.isNull()) {
        renderView(m_image, *m_table, view(), m_options);
        m_dirty = false;
        ++m_frames;
        emit frameDrawn();
    }
    return m_image;
}

QPointF PaletteView::modelAt(QPointF pixel) const {
    const PixelMapping map(view(), width(), height());
    return {map.modelX(pixel.x()), map.modelY(pixel.y())};
}

void PaletteView::paintEvent(QPaintEvent*) {
    const QImage& image = frame();
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void PaletteView::resizeEvent(QResizeEvent* event) {
    m_dirty = true;
    QWidget::resizeEvent(event);
}

void PaletteView::mousePressEvent(QMouseEvent* event) {
    m_pressAt = m_dragFrom = event->position().toPoint();
    m_pressing = true;
    m_dragging = false;
}

void PaletteView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressing || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    // A hand's tremble is still a press.
    if (!m_dragging && (at - m_pressAt).manhattanLength() < 4) return;
    m_dragging = true;
    const QPoint step = at - m_dragFrom;
    m_dragFrom = at;
    if (!step.isNull()) emit dragged(step.x(), step.y());
}

void PaletteView::mouseReleaseEvent(QMouseEvent* event) {
    const bool identify = m_pressing && !m_dragging;
    m_pressing = m_dragging = false;
    if (!identify) return;
    // Pixel centres: the press lands on the pixel's model position, as the dots are drawn.
    const QPointF m = modelAt(QPointF(m_pressAt) + QPointF(0.5, 0.5));
    emit pressed(event->button(), static_cast<float>(m.x()), static_cast<float>(m.y()));
}

void PaletteView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        emit stepped(-1);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        emit stepped(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit chosen(event->modifiers() & Qt::ShiftModifier ? 1 : 0);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PaletteView::wheelEvent(QWheelEvent* event) {
    m_wheelRest += event->angleDelta().y();
    const int notches = m_wheelRest / 120; // 15 degrees a notch
    m_wheelRest -= notches * 120;
    if (notches != 0) emit zoomed(notches);
    event->accept();
}

} // namespace zul
