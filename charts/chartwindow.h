#pragma once
// What the four chart windows share: the canvas that draws the chart's picture scaled to the
// window, the "PRINT" and "Save as…" buttons, and refresh requests that recompute once per
// event-loop turn however many arrive.
#include "charts/chartpicture.h"
#include "charts/chip.h"
#include "workbench/workbench.h"

#include <QWidget>

#include <functional>
#include <span>

class QPushButton;

namespace zul {

// How a chart reaches paper; the program supplies its printing helper. False: no printer, or
// the job failed.
struct ChartOutput {
    std::function<bool(const ChartPicture&)> print;
};

class ChartWindow;

// Draws the owning window's chart and hands pointer positions over in design units.
class ChartCanvas : public QWidget {
public:
    explicit ChartCanvas(ChartWindow& owner);
    // Design-canvas point under a widget position; false outside the chart.
    bool toDesign(const QPoint& pos, QPointF& design) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    ChartWindow& m_owner;
};

class ChartWindow : public QWidget {
    Q_OBJECT
public:
    ChartWindow(Workbench& workbench, ChartOutput output, QWidget* parent = nullptr);

    // The chart as it stands, for printing and export (refers to this window).
    ChartPicture picture();
    virtual QSize designSize() const = 0;
    virtual void paintChart(QPainter& p) = 0;

    // Records a refresh; the chart is recomputed and repainted once, on the next event-loop
    // turn.
    void requestRefresh();
    // Carries out a recorded refresh now.
    void flushRefresh();
    bool refreshPending() const { return m_pending; }
    int paintCount() const { return m_paints; }
    int recomputeCount() const { return m_recomputes; }

    ChartCanvas* canvas() const { return m_canvas; }
    void print();  // "PRINT"
    void saveAs(); // "Save as…"

    // The chip under the keyboard (arrows move it to the nearest chip that way, Enter takes it
    // as a press would); -1 before the first arrow and after the chart's chips changed.
    int focusedChip() const { return m_focusChip; }
    void moveChipFocus(int dx, int dy);

protected:
    friend class ChartCanvas;
    // Recomputes the model from the workbench and the last request.
    virtual void recompute() = 0;
    virtual void chartPressed(const QPointF&) {}
    virtual void chartHovered(const QPointF&) {}
    // The chips the arrow keys step through; none: the keys do nothing.
    virtual std::span<const ChartChip> keyboardChips() const { return {}; }
    // Enter on the keyboard's chip; a press at its centre unless the chart says otherwise.
    virtual void chipChosen(const ChartChip& chip) { chartPressed(QPointF(chip.cx, chip.cy)); }
    // The keyboard reached `chip`: its readout, as the pointer over it would show.
    virtual void chipFocused(const ChartChip& chip) { chartHovered(QPointF(chip.cx, chip.cy)); }
    // Names and captions the window and fills it with its chart's background; `text`, where
    // valid, is the colour of its labels.
    void setChartFace(const char* name, const QString& caption, const QColor& background,
                      const QColor& text = QColor());
    // Forgets the keyboard's chip (the chart's chips were replaced).
    void clearChipFocus() { m_focusChip = -1; }
    void keyPressEvent(QKeyEvent* event) override;

    Workbench& m_workbench;
    ChartCanvas* m_canvas = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_saveAsButton = nullptr;

private:
    ChartOutput m_output;
    bool m_pending = false;
    bool m_armed = false;
    int m_paints = 0;
    int m_recomputes = 0;
    int m_focusChip = -1;
};

// The workbench's conditions as a chart needs them.
ChartSettings chartSettings(const Workbench& workbench);

} // namespace zul
