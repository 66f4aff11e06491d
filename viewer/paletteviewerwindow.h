#pragma once
// The palette viewer window: loads a palette file off the window thread, shows it as a turning
// Munsell solid, identifies dots and compares two entries.
#include "viewer/compare.h"
#include "viewer/paletteloader.h"
#include "viewer/pointtable.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QScrollBar;

namespace zul {

class BackgroundTask;
class PaletteView;
class PointList;
class Workbench;

class PaletteViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr std::size_t kPaletteLimit = zul::kPaletteLimit;

    explicit PaletteViewerWindow(Workbench& workbench, QWidget* parent = nullptr);
    ~PaletteViewerWindow() override;

    // Mode 1: the palette last loaded (LastPalette.txt, else newpalette2.csv); 2: the main
    // window's current palette file; anything else: ask with the file dialog.
    void GetData(int mode);
    // Loads `fileName` in the background; a load already running is abandoned.
    void loadPalette(const QString& fileName);
    void cancelLoad();
    bool loading() const { return m_current != nullptr; }

    const PointTable& points() const { return *m_points; }
    QString loadedFile() const { return m_loadedFile; }
    bool rotating() const { return m_rotating; }

    void startRotation(); // "Rotate"
    void stopRotation();  // "Stop"
    // Presses on the view with the left and right button fill the two rows.
    void identify(Qt::MouseButton button, float x, float y);
    const std::optional<ColourSample>& row(int k) const {
        return m_rows[static_cast<std::size_t>(k)];
    }
    QString comparison() const;

    QString exportPalette(const QString& fileName); // by the name's suffix, .gpl or .ase
    void showHelp();
    void newPalette();

signals:
    // A load ended: `ok` when the whole file was read without a format error.
    void loadFinished(bool ok);
    // "New Palette": the main window is to be shown (the switchboard knows it).
    void mainWindowRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct LoadJob {
        QString fileName;
        std::unique_ptr<BackgroundTask> task;
        std::shared_ptr<PaletteLoadResult> result;
    };

    void buildControls();
    void buildMenus();
    void describeControls(); // accessible names and tooltips
    void viewChanged();
    void rotationTick();
    void showProgress(const LoadJob& job);
    void loadDone(LoadJob* job);
    void install(PointTable&& table);
    void selectEntry(long entry);
    void fillRow(int k, long entry);
    void setStatus(const QString& text, QColor background);
    void exportAs(const QString& filter, const QString& suffix);

    Workbench& m_wb;
    std::shared_ptr<const PointTable> m_points;
    QString m_loadedFile;
    bool m_loadRequested = false;
    bool m_rotating = false;

    PaletteView* m_view = nullptr;
    PointList* m_list = nullptr;
    QListView* m_listView = nullptr;
    QLineEdit* m_status = nullptr;
    QScrollBar* m_rotation = nullptr;
    QScrollBar* m_tilt = nullptr;
    QScrollBar* m_zoom = nullptr;
    QScrollBar* m_panX = nullptr;
    QScrollBar* m_panY = nullptr;
    QScrollBar* m_speed = nullptr;
    QPushButton* m_rotate = nullptr;
    QPushButton* m_stop = nullptr;
    QCheckBox* m_numbers = nullptr;
    std::array<QLineEdit*, 2> m_names{};
    std::array<QLineEdit*, 2> m_notations{};
    std::array<QFrame*, 2> m_swatches{};
    QLabel* m_compare = nullptr;
    std::array<std::optional<ColourSample>, 2> m_rows;

    QTimer m_rotationTimer;                       // Timer1
    std::vector<std::unique_ptr<LoadJob>> m_jobs; // running or awaiting their thread's end
    LoadJob* m_current = nullptr;
};

} // namespace zul
