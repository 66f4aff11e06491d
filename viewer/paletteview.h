#pragma once
// The view area (Picture1): shows the palette drawn into a backing image, redrawn only when
// something it shows has changed (the table, a scroll bar, the selection, the numbers box, the
// size), and reports presses in model units.
#include "viewer/pointtable.h"
#include "viewer/projection.h"
#include "viewer/renderer.h"

#include <QImage>
#include <QWidget>

#include <memory>

namespace zul {

class PaletteView : public QWidget {
    Q_OBJECT
public:
    explicit PaletteView(QWidget* parent = nullptr);

    void setTable(std::shared_ptr<const PointTable> table);
    void setBars(const ViewBars& bars);
    void setSelected(long entry);
    void setNumbers(bool on);

    const ViewBars& bars() const { return m_bars; }
    View view() const { return viewFrom(m_bars); }
    long selected() const { return m_options.selected; }
    // Frames drawn into the backing image so far.
    long frames() const { return m_frames; }
    // The image as last drawn (drawn now if something changed since).
    const QImage& frame();
    // Model position of a pixel of the view area.
    QPointF modelAt(QPointF pixel) const;

    QSize sizeHint() const override { return {600, 600}; }

signals:
    // A press released without moving: the dot under it is to be identified.
    void pressed(Qt::MouseButton button, float x, float y);
    // The left button held and moved by (dx, dy) pixels since the last report: turn and tilt.
    void dragged(int dx, int dy);
    // The wheel turned by `notches` (positive away from the user): zoom in.
    void zoomed(int notches);
    // An arrow key: the next (+1) or previous (-1) entry is to be chosen.
    void stepped(int step);
    // Enter (row 0) or Shift+Enter (row 1): the chosen entry fills that row.
    void chosen(int row);
    void frameDrawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changed();

    std::shared_ptr<const PointTable> m_table;
    ViewBars m_bars;
    RenderOptions m_options;
    QImage m_image;
    bool m_dirty = true;
    long m_frames = 0;
    QPoint m_pressAt;  // where the button went down
    QPoint m_dragFrom; // the last position a drag reported
    bool m_pressing = false;
    bool m_dragging = false;
    int m_wheelRest = 0; // eighths of a degree not yet a whole notch
};

} // namespace zul
