#pragma once
// The tolerance set window (`CTol`): the standard CIELAB colour, its six neighbours, the three
// tolerance scroll bars, "Black Lines", "Print" and "Save Palette".
#include "charts/chartwindow.h"
#include "charts/tolerance.h"

#include <QDateTime>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace zul {

class ToleranceWindow : public ChartWindow {
    Q_OBJECT
public:
    ToleranceWindow(Workbench& workbench, ChartOutput output, QWidget* parent = nullptr);

    // Rebuilds the set around `centre` now.
    void MakeCTol(const Lab& centre);
    const std::optional<ToleranceSet>& set() const { return m_set; }
    std::array<float, 3> tolerance() const { return m_tolerance; }

    // "Save Palette": writes Cpalette.csv in the working directory whole and hands it to the
    // palette viewer. False when nothing was written.
    bool savePalette();
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    QSize designSize() const override;
    void paintChart(QPainter& p) override;

protected:
    void recompute() override { MakeCTol(m_requested); }

private:
    void toleranceScrolled(int index, int position);
    void rebuildFromFields(); // scroll change and "Black Lines"
    void writeStepCaptions();

    std::optional<ToleranceSet> m_set;
    Lab m_requested;
    std::array<float, 3> m_tolerance{5, 5, 5};
    std::array<QLineEdit*, 3> m_centre{};  // Text2
    std::array<QScrollBar*, 3> m_scroll{}; // HScroll1
    std::array<QLabel*, 6> m_steps{};      // Label2
    QCheckBox* m_blackLines = nullptr;     // Check1
    QLabel* m_note = nullptr; // how CIELAB entries are read, as under the main window's caption
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};

} // namespace zul
