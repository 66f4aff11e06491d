#pragma once
// The "Spectral" window: the colorimetry of a spectrum under every illuminant and observer,
// its reflectance curve beside earlier ones, and the metamerism of two curves under A, F2 and
// F11. The first curve is the main window's current spectrum; when a new one arrives the old
// one stays as an earlier reading.
#include "spectral/curvechart.h"
#include "spectral/notation.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace zul {
class Workbench;
}

namespace zul::spectral {

// Illuminants of the metamerism table.
inline constexpr std::array<Illuminant, 3> kMetamerismTests = {Illuminant::A, Illuminant::F2,
                                                               Illuminant::F11};

class SpectralWindow : public QWidget {
    Q_OBJECT
public:
    explicit SpectralWindow(Workbench& workbench, QWidget* parent = nullptr);
    ~SpectralWindow() override;

    // Adds a curve (the table then shows it); the file's every spectrum for addFile. False
    // with the reason shown in a box when the file cannot be read.
    void addCurve(NamedSpectrum curve);
    bool addFile(const QString& path);
    void removeSelected();
    const std::vector<NamedSpectrum>& curves() const { return m_chart->curves(); }
    // Rereads the workbench's spectrum; a changed one becomes the new first curve.
    void refreshCurrent();

private:
    void showCurve(int index);
    void updateMetamerism();
    void rebuildLists();

    Workbench& m_workbench;
    NotationFinder m_notation;
    std::vector<double> m_current;
    int m_readings = 0;
    CurveChart* m_chart;
    QTableWidget* m_table;
    QLabel* m_summary;
    QListWidget* m_list;
    QComboBox* m_standard;
    QComboBox* m_sample;
    QTableWidget* m_metamerism;
};

} // namespace zul::spectral
