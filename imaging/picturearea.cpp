#include "imaging/picturearea.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zul {

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture1");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    m_flashTimer.setSingleShot(true);
    m_flashTimer.setInterval(kFlashMs);
    connect(&m_flashTimer, &QTimer::timeout, this, [this] {
        m_flash = QRect();
        update();
    });
}

void PictureArea::setImage(const QImage& image) {
    m_image = image;
    m_flash = QRect();
    m_flashTimer.stop();
    m_gridN = m_gridColumns = m_gridRows = 0;
    m_keyPoint = QPoint(image.width() / 2, image.height() / 2);
    resize(sizeHint());
    updateGeometry();
    update();
}

void PictureArea::setZoom(double zoom) {
    if (!(zoom > 0) || zoom == m_zoom) return;
    m_zoom = zoom;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize PictureArea::sizeHint() const {
    if (m_image.isNull()) return {0, 0};
    return {static_cast<int>(std::ceil(m_image.width() * m_zoom)),
            static_cast<int>(std::ceil(m_image.height() * m_zoom))};
}

std::optional<QPoint> PictureArea::pixelAt(QPointF pos) const {
    if (m_image.isNull()) return std::nullopt;
    const double x = std::floor(pos.x() / m_zoom);
    const double y = std::floor(pos.y() / m_zoom);
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return std::nullopt;
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

void PictureArea::flash(const QRect& block) {
    m_flash = block.intersected(m_image.rect());
    m_flashTimer.start();
    update();
}

void PictureArea::setGrid(int n, int columns, int rows) {
    m_gridN = n;
    m_gridColumns = columns;
    m_gridRows = rows;
    update();
}

void PictureArea::paintEvent(QPaintEvent* event) {
    if (m_image.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1);
    const QRectF exposed = event->rect();
    // Only the exposed part, so a large picture repaints quickly.
    const QRectF source(exposed.x() / m_zoom, exposed.y() / m_zoom, exposed.width() / m_zoom,
                        exposed.height() / m_zoom);
    p.drawImage(exposed, m_image, source);
    if (!m_flash.isNull()) {
        QImage block = m_image.copy(m_flash);
        block.invertPixels();
        p.drawImage(QRectF(m_flash.x() * m_zoom, m_flash.y() * m_zoom, m_flash.width() * m_zoom,
                           m_flash.height() * m_zoom),
                    block);
    }
    if (m_gridN > 0) {
        p.setPen(QPen(Qt::black, 0));
        const double h = m_image.height() * m_zoom, w = m_image.width() * m_zoom;
        for (int c = 0; c < m_gridColumns; ++c) {
            const double x = c * m_gridN * m_zoom;
            p.drawLine(QPointF(x, 0), QPointF(x, h));
        }
        for (int r = 0; r < m_gridRows; ++r) {
            const double y = r * m_gridN * m_zoom;
            p.drawLine(QPointF(0, y), QPointF(w, y));
        }
    }
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
    if (const auto px = pixelAt(event->position())) {
        m_keyPoint = *px;
        emit pressed(*px);
    }
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
    if (const auto px = pixelAt(event->position())) {
        m_keyPoint = *px;
        emit moved(*px);
    }
}

void PictureArea::keyPressEvent(QKeyEvent* event) {
    if (m_image.isNull()) return QWidget::keyPressEvent(event);
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    QPoint p = m_keyPoint;
    switch (event->key()) {
    case Qt::Key_Left:
        p.rx() -= step;
        break;
    case Qt::Key_Right:
        p.rx() += step;
        break;
    case Qt::Key_Up:
        p.ry() -= step;
        break;
    case Qt::Key_Down:
        p.ry() += step;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit pressed(m_keyPoint);
        return;
    default:
        return QWidget::keyPressEvent(event);
    }
    p.setX(std::clamp(p.x(), 0, m_image.width() - 1));
    p.setY(std::clamp(p.y(), 0, m_image.height() - 1));
    m_keyPoint = p;
    emit moved(p);
}

} // namespace zul
