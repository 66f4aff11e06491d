#pragma once
// The picture surface of the picture window: shows the picture at a zoom, reports presses and
// pointer movements in picture pixels, and draws the sampling flash and the palette grid as
// overlays, so the picture's pixels are never touched.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace zul {

class PictureArea : public QWidget {
    Q_OBJECT
public:
    // How long a sampled block shows inverted.
    static constexpr int kFlashMs = 200;

    explicit PictureArea(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    // The picture pixel under a point of the widget; nothing outside the picture.
    std::optional<QPoint> pixelAt(QPointF pos) const;

    // Shows the block (picture pixels) inverted for kFlashMs.
    void flash(const QRect& block);
    bool flashing() const { return !m_flash.isNull(); }
    // Lines at every block edge of an n x n grid over columns x rows blocks; 0 removes it.
    void setGrid(int n, int columns, int rows);
    int gridStep() const { return m_gridN; }

    QSize sizeHint() const override;

signals:
    void pressed(QPoint pixel);
    void moved(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Arrow keys move the keyboard point (Shift: ten pixels) as the pointer would; Enter or
    // Space presses there.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_image;
    double m_zoom = 1.0;
    QRect m_flash;
    QTimer m_flashTimer;
    int m_gridN = 0, m_gridColumns = 0, m_gridRows = 0;
    QPoint m_keyPoint; // picture pixel the keyboard works on
};

} // namespace zul
