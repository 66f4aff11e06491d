#pragma once
// The picture window: a picture from a file or the clipboard, the Munsell notation of the block
// under the pointer, and palettes cut from the whole picture.
#include "imaging/picture.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollArea;

namespace zul {

class PictureArea;

class PictureWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class DisplayMode { Click, Continuous };

    // Loads `picture` (a shipped data file name is looked up as the other data files) at once.
    explicit PictureWindow(Workbench& workbench,
                           const QString& picture = QStringLiteral("TestImage.jpg"),
                           QWidget* parent = nullptr);
    ~PictureWindow() override;

    // Loads the picture file name (useCurrentName) or one chosen in the open dialog. False when
    // the dialog was cancelled or there is no name; a file that cannot be read is reported.
    bool OpenPicture(bool useCurrentName);
    // Loads `file` as a chosen picture (a file dropped on the window).
    bool openPictureFile(const QString& file);
    // "&Load Picture": a chosen picture replaces the current one.
    void loadPicture();
    // "get clipboard".
    void getClipboard();
    // Averages the block around picture pixel (x, y), converts it on the workbench and shows the
    // result.
    void SamplePicture(int x, int y);
    // "&Make Palette of Image".
    void BuildPalette();
    // "&View 3D Palette": hands the built palette to the palette viewer.
    void viewPalette();
    void showHelp();

    void setDisplayMode(DisplayMode mode) { m_mode = mode; }
    DisplayMode displayMode() const { return m_mode; }
    // 1, 9, 25, 49 or 81 pixels.
    void setSamplePixels(int count);
    int halfWidth() const { return m_half; }
    void setFitToWindow(bool fit);

    const Picture& picture() const { return m_picture; }
    QString pictureFileName() const { return m_fileName; }
    bool paletteMade() const { return m_paletteMade; }
    QString builtPalette() const { return m_builtPalette; }
    PictureArea* pictureArea() const { return m_area; }
    // Threads a build uses; the machine's cores by default.
    void setWorkers(int workers) { m_workers = workers; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void setPicture(Picture picture);
    void clearPicture();
    void setStatus(const QString& text, const QColor& background);
    void updateZoom();
    void pictureMoved(QPoint pixel);

    Workbench& m_wb;
    Dialogs& m_dialogs;
    NonInteractiveDialogs m_probeDialogs;
    std::unique_ptr<Workbench> m_probe; // tries a continuous sample without raising a box

    QLineEdit* m_fileField = nullptr;   // Text2
    QLineEdit* m_widthField = nullptr;  // Text3
    QLineEdit* m_heightField = nullptr; // Text4
    QLineEdit* m_status = nullptr;      // Text1
    QLineEdit* m_notation = nullptr;    // Text5
    QLineEdit* m_position = nullptr;    // Text6
    QLineEdit* m_swatch = nullptr;      // Text7
    QLabel* m_profile = nullptr;
    QCheckBox* m_fit = nullptr;
    QScrollArea* m_scroll = nullptr;
    PictureArea* m_area = nullptr;
    QAction* m_viewAction = nullptr;
    QAction* m_makeAction = nullptr;

    Picture m_picture;
    QString m_fileName;
    DisplayMode m_mode = DisplayMode::Click;
    int m_half = 4;
    bool m_paletteMade = false;
    bool m_building = false;
    QString m_builtPalette;
    int m_workers = 0;
};

} // namespace zul
