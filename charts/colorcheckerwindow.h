#pragma once
// The ColorChecker window (`CChecker`): the 24 patches under the current illuminant, gamma and
// tint, refilled whenever one of them changes.
#include "charts/chartwindow.h"
#include "charts/colorchecker.h"

#include <optional>

class QLabel;

namespace zul {

class ColorCheckerWindow : public ChartWindow {
    Q_OBJECT
public:
    ColorCheckerWindow(Workbench& workbench, ChartOutput output, QWidget* parent = nullptr);

    // Reads ccnames.csv and fills the chart now. A missing or faulty file fills what reads,
    // shows "n/a" for the rest and reports the first fault once.
    void fillCC();
    const std::optional<ColorChecker>& chart() const { return m_chart; }

    QSize designSize() const override;
    void paintChart(QPainter& p) override;

protected:
    void recompute() override { fillCC(); }
    void chartHovered(const QPointF& at) override;

private:
    void conditionsMayHaveChanged();

    std::optional<ColorChecker> m_chart;
    Workbench::Options m_filledUnder;
    QString m_reportedFault;
    QLabel* m_info = nullptr;
};

} // namespace zul
