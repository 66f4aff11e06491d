#pragma once
// The value page window (`book2`): the polar chart of one value, a value scroll bar that
// converts through the main window on release, the colour under the pointer in a swatch.
#include "charts/chartwindow.h"
#include "charts/valuepage.h"

#include <optional>

class QFrame;
class QLabel;
class QScrollBar;

namespace zul {

class ValuePageWindow : public ChartWindow {
    Q_OBJECT
public:
    ValuePageWindow(Workbench& workbench, ChartOutput output, QWidget* parent = nullptr);

    // Redraws the chart for `value` now.
    void plotvalue(float value);
    const std::optional<ValuePage>& page() const { return m_page; }
    // Design point of the main window's colour on this page, if it has one.
    std::optional<QPointF> markedPoint() const;

    QSize designSize() const override;
    void paintChart(QPainter& p) override;

protected:
    void recompute() override { plotvalue(m_requested); }
    void chartPressed(const QPointF& at) override;
    void chartHovered(const QPointF& at) override;
    std::span<const ChartChip> keyboardChips() const override {
        return m_page ? std::span<const ChartChip>(m_page->dots) : std::span<const ChartChip>();
    }
    // Dots overlap near the centre: the keyboard's dot is taken as it is, not by position.
    void chipChosen(const ChartChip& dot) override;
    void chipFocused(const ChartChip& dot) override { showDot(dot); }

private:
    void convertScroll(int position);
    void showDot(const ChartChip& dot); // readout, swatch and info line

    std::optional<ValuePage> m_page;
    float m_requested = 1;
    QLabel* m_title = nullptr;      // Label1
    QScrollBar* m_scroll = nullptr; // VScroll1
    QLabel* m_readout = nullptr;    // Label3
    QFrame* m_swatch = nullptr;     // Shape1
    QLabel* m_info = nullptr;
    bool m_scrollGuard = false;
};

} // namespace zul
