#include "viewer/paletteview.h"

#include <QMouseEvent>
#include <QPainter>

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
    // Pixel centres: the press lands on the pixel's model position, as the dots are drawn.
    const QPointF m = modelAt(event->position() + QPointF(0.5, 0.5));
    emit pressed(event->button(), static_cast<float>(m.x()), static_cast<float>(m.y()));
}

} // namespace zul
