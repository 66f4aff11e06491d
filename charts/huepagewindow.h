#pragma once
// The hue page window (`book`): the chips of the main window's hue, a hue scroll bar, hover
// readout, a click sends the chip's colour to the RGB entry chain.
#include "charts/chartwindow.h"
#include "charts/huepage.h"

#include <optional>

class QLabel;
class QScrollBar;

namespace zul {

class HuePageWindow : public ChartWindow {
    Q_OBJECT
public:
    HuePageWindow(Workbench& workbench, ChartOutput output, QWidget* parent = nullptr);

    // Rebuilds the page for the hue in the main window's hue field now; false when that text
    // is not a hue (the page shown is kept).
    bool fillbook();
    const std::optional<HuePage>& page() const { return m_page; }
    std::optional<int> markedElement() const;

    QSize designSize() const override;
    void paintChart(QPainter& p) override;

protected:
    void recompute() override { fillbook(); }
    void chartPressed(const QPointF& at) override;
    void chartHovered(const QPointF& at) override;
    std::span<const ChartChip> keyboardChips() const override {
        return m_page ? std::span<const ChartChip>(m_page->chips) : std::span<const ChartChip>();
    }

private:
    void scrolled(int position);

    std::optional<HuePage> m_page;
    QScrollBar* m_scroll = nullptr; // VScroll1
    QLabel* m_info = nullptr;
    bool m_scrollGuard = false;
};

// Readout of a chip for the hover lines: notation, xyY, CIELAB, RGB and gamut state.
QString chipReadout(const ChartChip& chip, int illuminant);

} // namespace zul
